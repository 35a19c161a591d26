#include "orders/AddInfoLines.h"

#include "base/Error.h"
#include "db/ComponentStream.h"
#include "orders/CollectionScan.h"

#include <cstdint>
#include <utility>

namespace gs {

namespace {

constexpr const char* kWrapperClass = "TAddInfoLinesWrapper";
constexpr const char* kCollection = "AddInfoLines";
constexpr const char* kTextNames[8] = {"_1", "_2", "_3", "_4", "_5", "_6", "_7", "_8"};

// A 32-bit property keeps the low 32 bits of a wider stored number.
int Int32Of(long long v) { return static_cast<int>(static_cast<std::int32_t>(static_cast<std::uint32_t>(v))); }

std::string TextOf(const StreamComponent& c, std::string_view name)
{
    const StreamValue* v = c.Find(name);
    if (v == nullptr)
        return {};
    if (v->ValueKind() != StreamValue::Kind::Text)
        throw StreamError("Ungültiger Eigenschaftswert: " + std::string(name) + " ist kein Text");
    return v->AsText();
}

} // namespace

void TAddInfoLines::Clear()
{
    Lines.clear();
    Info1.clear();
    Info2 = 0;
}

void TAddInfoLines::LoadFromStream(std::string_view stream)
{
    Clear();
    if (stream.empty())
        return;
    const bool loaded = Guarded("additional info lines", [&] {
        thread_local CollectionScan scan;
        if (scan.scan(stream, kCollection)) {
            std::vector<TAddInfoLine> lines(scan.itemCount());
            for (size_t i = 0; i < lines.size(); ++i) {
                const auto props = scan.item(i);
                TAddInfoLine& l = lines[i];
                l.ORG_ID = Int32Of(ScanInteger(props, "ORG_ID", 0));
                std::string* texts[] = {&l._1, &l._2, &l._3, &l._4, &l._5, &l._6, &l._7, &l._8};
                for (int k = 0; k < 8; ++k)
                    *texts[k] = ScanText(props, kTextNames[k]);
                l.Forcedelete = ScanBoolean(props, "Forcedelete", false);
            }
            std::string info1 = ScanText(scan.root(), "Info1");
            const int info2 = Int32Of(ScanInteger(scan.root(), "Info2", 0));
            Lines = std::move(lines);
            SortByOrgId();
            Info1 = std::move(info1);
            Info2 = info2;
            return;
        }
        const StreamComponent c = ReadComponentStream(stream);
        std::vector<TAddInfoLine> lines;
        for (const StreamItem& item : c.Collection(kCollection)) {
            TAddInfoLine l;
            l.ORG_ID = Int32Of(item.Integer("ORG_ID", 0));
            std::string* texts[] = {&l._1, &l._2, &l._3, &l._4, &l._5, &l._6, &l._7, &l._8};
            for (int k = 0; k < 8; ++k)
                *texts[k] = item.Text(kTextNames[k]);
            l.Forcedelete = item.Boolean("Forcedelete", false);
            lines.push_back(std::move(l));
        }
        std::string info1 = TextOf(c, "Info1");
        const StreamValue* info2 = c.Find("Info2");
        const int info2Value = info2 ? Int32Of(info2->AsInteger()) : 0;
        Lines = std::move(lines);
        SortByOrgId();
        Info1 = std::move(info1);
        Info2 = info2Value;
    });
    if (!loaded)
        Clear();
}

std::string TAddInfoLines::SaveToStream() const
{
    std::vector<StreamItem> items;
    items.reserve(Lines.size());
    for (const TAddInfoLine& l : Lines) {
        StreamItem item;
        item.Add("ORG_ID", StreamValue::Integer(l.ORG_ID));
        const std::string* texts[] = {&l._1, &l._2, &l._3, &l._4, &l._5, &l._6, &l._7, &l._8};
        for (int k = 0; k < 8; ++k)
            item.Add(kTextNames[k], StreamValue::Text(*texts[k]));
        item.Add("Forcedelete", StreamValue::Boolean(l.Forcedelete));
        items.push_back(std::move(item));
    }
    return WriteCollectionComponent(kWrapperClass, kCollection, items,
                                    {{"Info1", StreamValue::Text(Info1)}, {"Info2", StreamValue::Integer(Info2)}});
}

void TAddInfoLines::SortByOrgId()
{
    if (Lines.empty())
        return;
    // The host's quicksort: the middle line's ORG_ID is the pivot, lines swap their contents. The
    // smaller part is sorted by recursion and the larger one in the loop, which gives the same
    // result with a recursion depth that stays logarithmic.
    auto sort = [this](auto& self, int lo, int hi) -> void {
        while (lo < hi) {
            int i = lo, j = hi;
            const int pivot = Lines[static_cast<size_t>(lo + (hi - lo) / 2)].ORG_ID;
            do {
                while (Lines[static_cast<size_t>(i)].ORG_ID < pivot)
                    ++i;
                while (Lines[static_cast<size_t>(j)].ORG_ID > pivot)
                    --j;
                if (i <= j) {
                    if (i != j)
                        std::swap(Lines[static_cast<size_t>(i)], Lines[static_cast<size_t>(j)]);
                    ++i;
                    --j;
                }
            } while (i <= j);
            if (j - lo < hi - i) {
                self(self, lo, j);
                lo = i;
            } else {
                self(self, i, hi);
                hi = j;
            }
        }
    };
    sort(sort, 0, static_cast<int>(Lines.size()) - 1);
}

} // namespace gs
