#include "settings/AutoActions.h"

#include "base/Text.h"

namespace gs {

namespace {

constexpr const char* kModeNames[] = {"aa_none", "aa_manual", "aa_auto"};
constexpr const char* kMailTypeNames[] = {"aa_html", "aa_pdf", "aa_text"};

template <typename Enum, size_t N>
Enum FromName(std::string_view name, const char* const (&names)[N], const char* what)
{
    for (size_t i = 0; i < N; ++i)
        if (EqualsNoCase(names[i], name))
            return static_cast<Enum>(i);
    throw StreamError("Ungültiger Wert für " + std::string(what) + ": " + std::string(name));
}

TAutoActionMode ModeOf(const StreamItem& item, std::string_view property)
{
    const StreamValue* v = item.Find(property);
    return v == nullptr ? TAutoActionMode::aa_none : AutoActionModeFromName(item.Identifier(property));
}

} // namespace

std::string AutoActionModeName(TAutoActionMode mode) { return kModeNames[static_cast<size_t>(mode)]; }

TAutoActionMode AutoActionModeFromName(std::string_view name)
{
    return FromName<TAutoActionMode>(name, kModeNames, "TAutoActionMode");
}

std::string AutoActionMailTypeName(TAutoActionMailType type) { return kMailTypeNames[static_cast<size_t>(type)]; }

TAutoActionMailType AutoActionMailTypeFromName(std::string_view name)
{
    return FromName<TAutoActionMailType>(name, kMailTypeNames, "TAutoActionMailType");
}

void TAutoActionItems::PadToCount()
{
    while (Items.size() < kCount)
        Items.emplace_back();
}

std::vector<TAutoActionItem> ReadAutoActionItems(std::string_view bytes)
{
    std::vector<TAutoActionItem> result;
    for (const StreamItem& s : ReadCollectionProperty(bytes, AutoActionItemsProperty)) {
        TAutoActionItem a;
        a.PDFFileAfterClose = ModeOf(s, "PDFFileAfterClose");
        a.PDFFileAfterSave = ModeOf(s, "PDFFileAfterSave");
        a.WVLAfterSave = ModeOf(s, "WVLAfterSave");
        a.WVLAfterClose = ModeOf(s, "WVLAfterClose");
        a.PrintAfterSendClose = ModeOf(s, "PrintAfterSendClose");
        a.SendAfterPrintClose = s.Boolean("SendAfterPrintClose", false);
        if (s.Find("DefaultMailType") != nullptr)
            a.DefaultMailType = AutoActionMailTypeFromName(s.Identifier("DefaultMailType"));
        a.BCC = s.Text("BCC");
        a.SLayout = s.Boolean("SLayout", false);
        a.NextDocByClose = s.Boolean("NextDocByClose", false);
        result.push_back(std::move(a));
    }
    return result;
}

std::string WriteAutoActionItems(const std::vector<TAutoActionItem>& items)
{
    std::vector<StreamItem> out;
    out.reserve(items.size());
    for (const TAutoActionItem& a : items) {
        StreamItem s;
        s.Add("PDFFileAfterClose", StreamValue::Identifier(AutoActionModeName(a.PDFFileAfterClose)));
        s.Add("PDFFileAfterSave", StreamValue::Identifier(AutoActionModeName(a.PDFFileAfterSave)));
        s.Add("WVLAfterSave", StreamValue::Identifier(AutoActionModeName(a.WVLAfterSave)));
        s.Add("WVLAfterClose", StreamValue::Identifier(AutoActionModeName(a.WVLAfterClose)));
        s.Add("PrintAfterSendClose", StreamValue::Identifier(AutoActionModeName(a.PrintAfterSendClose)));
        s.Add("SendAfterPrintClose", StreamValue::Boolean(a.SendAfterPrintClose));
        s.Add("DefaultMailType", StreamValue::Identifier(AutoActionMailTypeName(a.DefaultMailType)));
        s.Add("BCC", StreamValue::Text(a.BCC));
        s.Add("SLayout", StreamValue::Boolean(a.SLayout));
        s.Add("NextDocByClose", StreamValue::Boolean(a.NextDocByClose));
        out.push_back(std::move(s));
    }
    return WriteCollectionComponent(AutoActionItemsWrapperClass, AutoActionItemsProperty, out);
}

} // namespace gs
