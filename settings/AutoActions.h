#pragma once
// The automatic actions per document kind (settings item 1511): what happens after a document is
// saved, closed, printed or sent. Stored as the component stream of one TAutoActionItemsWrapper
// whose collection property AutoActionItems holds one TAutoActionItem per document kind 0 to 13.
#include "db/ComponentStream.h"

#include <string>
#include <string_view>
#include <vector>

namespace gs {

enum class TAutoActionMode { aa_none, aa_manual, aa_auto };
enum class TAutoActionMailType { aa_html, aa_pdf, aa_text };

// The enumeration identifiers as stored ("aa_none", ...); reading an unknown one raises StreamError.
std::string AutoActionModeName(TAutoActionMode mode);
TAutoActionMode AutoActionModeFromName(std::string_view name);
std::string AutoActionMailTypeName(TAutoActionMailType type);
TAutoActionMailType AutoActionMailTypeFromName(std::string_view name);

struct TAutoActionItem {
    TAutoActionMode PDFFileAfterClose = TAutoActionMode::aa_none;
    TAutoActionMode PDFFileAfterSave = TAutoActionMode::aa_none;
    TAutoActionMode WVLAfterSave = TAutoActionMode::aa_none;
    TAutoActionMode WVLAfterClose = TAutoActionMode::aa_none;
    TAutoActionMode PrintAfterSendClose = TAutoActionMode::aa_none;
    bool SendAfterPrintClose = false;
    TAutoActionMailType DefaultMailType = TAutoActionMailType::aa_html;
    std::string BCC; // several addresses separated by line breaks
    bool SLayout = false;
    bool NextDocByClose = false;

    bool operator==(const TAutoActionItem&) const = default;
};

// The automatic actions; after loading there are always 14 items, numbered 0 to 13 by position.
struct TAutoActionItems {
    std::vector<TAutoActionItem> Items;

    static constexpr size_t kCount = 14;
    // Appends items with defaults until there are kCount.
    void PadToCount();
};

inline constexpr const char* AutoActionItemsWrapperClass = "TAutoActionItemsWrapper";
inline constexpr const char* AutoActionItemsProperty = "AutoActionItems";

// The items of a stored stream (empty bytes give none); anything malformed raises StreamError.
std::vector<TAutoActionItem> ReadAutoActionItems(std::string_view bytes);
// The stream of a wrapper holding the items (every property written).
std::string WriteAutoActionItems(const std::vector<TAutoActionItem>& items);

} // namespace gs
