#include "support/OrdersTestSupport.h"

#include "db/StorageWalk.h"
#include "orders/AdressExInfo.h"

#include <limits>
#include <stdexcept>

namespace gs::test {

std::string ProfitStream(double profit, double commission)
{
    TAdressExInfo info;
    info.CurrentGewinn = profit;
    info.Vertreter_Provision = commission;
    std::string stream;
    info.SaveToStream(stream);
    return stream;
}

std::string ProfitStreamOfSize(double profit, double commission, size_t size)
{
    TAdressExInfo info;
    info.CurrentGewinn = profit;
    info.Vertreter_Provision = commission;
    std::string stream;
    info.SaveToStream(stream);
    if (size < stream.size())
        return std::string(size, '-');
    // The text's length prefix grows with the text: measure and adjust until the size is met.
    size_t text = size - stream.size();
    for (int attempt = 0; attempt < 4 && stream.size() != size; ++attempt) {
        std::string padding(text, ' ');
        for (size_t i = 0; i < text; ++i)
            padding[i] = static_cast<char>('a' + (i * 7 + i / 26) % 26); // no run a reader could confuse
        info.Warnings = padding;
        info.SaveToStream(stream);
        text += size - stream.size();
    }
    if (stream.size() != size)
        throw std::runtime_error("EXTB of " + std::to_string(size) + " bytes cannot be made");
    return stream;
}

void AppendOrder(TAdsTable& orders, const OrderDoc& d)
{
    orders.Append();
    orders.FieldByName("ID_ORDER").SetInteger(d.id);
    orders.FieldByName("POT").SetInteger(d.pot);
    orders.FieldByName("Status").SetInteger(d.status);
    orders.FieldByName("Date").SetDateTime(d.date);
    orders.FieldByName("WW_NETTO").SetFloat(d.net);
    orders.FieldByName("AdressName").SetString(d.name);
    orders.FieldByName("AdressID").SetInteger(d.id * 10);
    orders.FieldByName("EXTB").SetBytes(d.extb ? *d.extb : ProfitStream(d.profit, d.commission));
    orders.Post();
}

WalkChoice::WalkChoice(RunWalk walk) : minRows_(ads::StorageWalk::minRows), serverOrder_(ads::Cursor::serverOrderAllowed)
{
    ads::StorageWalk::minRows = walk == RunWalk::Index ? std::numeric_limits<std::int64_t>::max() : 0;
    ads::Cursor::serverOrderAllowed = walk == RunWalk::Storage;
}

WalkChoice::~WalkChoice()
{
    ads::StorageWalk::minRows = minRows_;
    ads::Cursor::serverOrderAllowed = serverOrder_;
}

const char* RunWalkName(RunWalk walk) { return walk == RunWalk::Index ? "index walk" : "storage order"; }

} // namespace gs::test
