#include "base/Dialogs.h"

#include "base/Process.h"
#include "base/ProcessContext.h"
#include "base/Text.h"

#include <iostream>

namespace gs {

namespace {

enum class MarkupTag { None, LineBreak, Other };

// Whether the text between "<" and ">" is a tag of the message markup: B, I, U, S, SUB, SUP, FONT
// and A, opening (FONT and A with attributes) or closing, and BR and HR. Anything else, such as the
// "<=" of a filter text, is not markup and stays in the message.
MarkupTag ReadMarkupTag(std::string_view inner)
{
    std::string tag = UpperAscii(Trim(inner));
    bool closing = false;
    if (!tag.empty() && tag[0] == '/') {
        closing = true;
        tag = Trim(std::string_view(tag).substr(1));
    }
    if (!closing && (tag == "BR" || tag == "BR/" || tag == "BR /" || tag == "HR" || tag == "HR/" || tag == "HR /"))
        return MarkupTag::LineBreak;
    const size_t nameEnd = tag.find_first_of(" \t\r\n");
    const std::string name = tag.substr(0, nameEnd);
    const bool hasAttributes = nameEnd != std::string::npos;
    static const char* const plain[] = {"B", "I", "U", "S", "SUB", "SUP"};
    for (const char* p : plain)
        if (name == p && !hasAttributes)
            return MarkupTag::Other;
    if (name == "FONT" || name == "A")
        return closing && hasAttributes ? MarkupTag::None : MarkupTag::Other;
    return MarkupTag::None;
}

} // namespace

bool Dialogs::openDocument(const std::string& target) { return StartDetached({"xdg-open", target}); }

std::string StripMessageMarkup(const std::string& input)
{
    std::string text = input;
    // "#13#10" stands for a line break in the host's texts.
    for (size_t p = FindNoCase(text, "#13#10"); p != std::string::npos; p = FindNoCase(text, "#13#10", p))
        text.replace(p, 6, "<BR>");
    static const std::pair<const char*, const char*> entities[] = {
        {"&amp;", "&"},          {"&quot;", "\""},       {"&lt;", "<"},          {"&gt;", ">"},
        {"&nbsp;", " "},         {"&sect;", "\xC2\xA7"}, {"&para;", "\xC2\xB6"}, {"&copy;", "\xC2\xA9"},
        {"&reg;", "\xC2\xAE"},   {"&trade;", "\xE2\x84\xA2"}, {"&euro;", "\xE2\x82\xAC"},
        {"&permil;", "\xE2\x80\xB0"}};
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        if (text[i] == '<') {
            const size_t close = text.find('>', i);
            if (close != std::string::npos) {
                const MarkupTag tag = ReadMarkupTag(std::string_view(text).substr(i + 1, close - i - 1));
                if (tag != MarkupTag::None) {
                    if (tag == MarkupTag::LineBreak)
                        out += '\n';
                    i = close + 1;
                    continue;
                }
            }
        }
        if (text[i] == '&') {
            bool matched = false;
            for (const auto& [name, value] : entities) {
                const std::string_view n(name);
                if (std::string_view(text).substr(i, n.size()) == n) {
                    out += value;
                    i += n.size();
                    matched = true;
                    break;
                }
            }
            if (matched)
                continue;
        }
        out += text[i++];
    }
    return out;
}

std::string ConsoleMessageText(const std::string& text)
{
    // "Möglicher Fehler:" and its cause on one line, so that a log or a mail of a script's run
    // shows them together.
    std::string joined = text;
    const std::string prefix = PossibleErrorPrefix;
    for (size_t p = joined.find(prefix); p != std::string::npos; p = joined.find(prefix, p))
        joined.replace(p, prefix.size(), "<B>Möglicher Fehler:</B> ");
    return StripMessageMarkup(joined);
}

void ConsoleDialogs::showMessage(const std::string& text, const std::string& help, const std::string&)
{
    std::cerr << ConsoleMessageText(text) << '\n';
    if (!help.empty())
        std::cerr << StripMessageMarkup(help) << '\n';
}

bool ConsoleDialogs::askYesNo(const std::string& text, const std::string& help, const std::string& caption)
{
    showMessage(text, help, caption);
    return false;
}

std::string ConsoleDialogs::askInput(const InputRequest& request)
{
    return request.pickFromList && !request.items.empty() ? "-1" : std::string();
}

std::optional<std::string> ConsoleDialogs::chooseFolder(const std::string&, const std::string&) { return std::nullopt; }

std::optional<std::string> ConsoleDialogs::chooseSaveFile(const SaveFileRequest&) { return std::nullopt; }

void ShowMessageBox(const std::string& text, const std::string& help, const std::string& caption)
{
    ProcessContext::current().dialogs().showMessage(text, help, caption);
}

bool AskYesNo(const std::string& text, const std::string& help, const std::string& caption)
{
    return ProcessContext::current().dialogs().askYesNo(text, help, caption);
}

std::string AskInput(const InputRequest& request) { return ProcessContext::current().dialogs().askInput(request); }

} // namespace gs
