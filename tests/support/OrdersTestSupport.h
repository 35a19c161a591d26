#pragma once
// Orders tables for the statistics run's tests: documents written as the host writes them, with
// their profit and commission in EXTB, and the choice of walk a run takes (on the index or in
// storage order).
#include "base/Dates.h"
#include "db/AdsTable.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace gs::test {

struct OrderDoc {
    int id = 0;              // ID_ORDER
    TDateTime date = 0;
    int pot = 1;
    int status = 4;
    double net = 100;
    double profit = 0;       // CurrentGewinn
    double commission = 0;   // Vertreter_Provision
    std::string name = "Kunde";
    std::optional<std::string> extb = std::nullopt; // stored as given instead of the profit and commission
};

// The component stream of EXTB with the profit and the commission.
std::string ProfitStream(double profit, double commission);
// The same, a free text padding it to exactly size bytes; a size below the stream without the
// text gives that many bytes of "-", which hold no profit information.
std::string ProfitStreamOfSize(double profit, double commission, size_t size);

// Appends the document to the open, writable orders table (EXTB as ProfitStream, uncompressed).
void AppendOrder(TAdsTable& orders, const OrderDoc& doc);

// How a run walks the orders table while the object lives: on the index (a table file's walk on
// its SQL index, a server's walk along its date index) or in storage order (on a table file also
// for a few rows; on a server in its own order). A table file without the SQL index behind DATE
// is read in storage order either way.
enum class RunWalk { Index, Storage };
class WalkChoice {
public:
    explicit WalkChoice(RunWalk walk);
    ~WalkChoice();
    WalkChoice(const WalkChoice&) = delete;
    WalkChoice& operator=(const WalkChoice&) = delete;

private:
    std::int64_t minRows_;
    bool serverOrder_;
};
const char* RunWalkName(RunWalk walk);

} // namespace gs::test
