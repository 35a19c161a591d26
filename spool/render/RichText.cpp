#include "spool/render/RichText.h"

#include "base/Cp1252.h"
#include "base/Text.h"

#include <algorithm>
#include <cstdlib>
#include <map>

namespace gs {

namespace {

// Destinations whose content is never shown. Every "{\*\name ...}" group is skipped as well.
constexpr std::string_view SkippedDestinations[] = {
    "colortbl", "stylesheet", "info",      "pict",       "object",    "header",   "headerl", "headerr",
    "headerf",  "footer",     "footerl",   "footerr",    "footerf",   "footnote", "fldinst", "listtable",
    "listoverridetable",      "rsidtbl",   "generator",  "xmlnstbl",  "themedata", "colorschememapping",
    "latentstyles", "datastore", "filetbl", "revtbl",    "pgdsctbl",  "nonshppict", "mmathPr",
};

struct CharState {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int halfPoints = 24;
    int font = -1;
    int unicodeSkip = 1;  // \ucN: characters that follow a \u as its fallback
    bool skip = false;    // inside a destination that is not shown
    bool fontTable = false;
    bool ignorable = false; // inside a {\* ...} group
};

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

class Reader {
public:
    explicit Reader(std::string_view in) : in_(in) {}

    RichText run()
    {
        while (pos_ < in_.size()) {
            const char c = in_[pos_++];
            switch (c) {
            case '{':
                // Deeply nested input keeps one state per level; a cap keeps hostile input small.
                if (stack_.size() < 10000)
                    stack_.push_back(state_);
                else
                    ++overflow_;
                break;
            case '}':
                pendingSkip_ = 0;
                if (overflow_ > 0) {
                    --overflow_;
                } else if (!stack_.empty()) {
                    if (state_.fontTable && !stack_.back().fontTable)
                        finishFontName();
                    state_ = stack_.back();
                    stack_.pop_back();
                }
                break;
            case '\\':
                controlSequence();
                break;
            case '\r':
            case '\n':
                break;
            default:
                character(static_cast<unsigned char>(c));
            }
        }
        endParagraph(false);
        return std::move(result_);
    }

private:
    void controlSequence()
    {
        if (pos_ >= in_.size())
            return;
        const char c = in_[pos_];
        if (!IsLetter(c)) {
            ++pos_;
            controlSymbol(c);
            return;
        }
        const size_t start = pos_;
        while (pos_ < in_.size() && IsLetter(in_[pos_]))
            ++pos_;
        const std::string_view word = in_.substr(start, pos_ - start);
        bool hasParam = false;
        long param = 0;
        const size_t numStart = pos_;
        if (pos_ < in_.size() && (in_[pos_] == '-' || IsDigit(in_[pos_]))) {
            size_t p = pos_ + (in_[pos_] == '-' ? 1 : 0);
            const size_t digits = p;
            while (p < in_.size() && IsDigit(in_[p]) && p - digits < 10)
                ++p;
            if (p > digits) {
                hasParam = true;
                param = std::strtol(std::string(in_.substr(numStart, p - numStart)).c_str(), nullptr, 10);
                pos_ = p;
            }
        }
        if (pos_ < in_.size() && in_[pos_] == ' ')
            ++pos_; // the delimiter belongs to the control word
        controlWord(word, hasParam, param);
    }

    void controlSymbol(char c)
    {
        switch (c) {
        case '\'': {
            if (pos_ + 1 < in_.size() && HexValue(in_[pos_]) >= 0 && HexValue(in_[pos_ + 1]) >= 0) {
                const int byte = HexValue(in_[pos_]) * 16 + HexValue(in_[pos_ + 1]);
                pos_ += 2;
                character(static_cast<unsigned char>(byte));
            } else {
                // A cut escape: skip what hex digits there are.
                while (pos_ < in_.size() && HexValue(in_[pos_]) >= 0)
                    ++pos_;
            }
            break;
        }
        case '\\':
        case '{':
        case '}':
            character(static_cast<unsigned char>(c));
            break;
        case '~':
            unicode(0x00A0);
            break;
        case '_':
            unicode(0x2011);
            break;
        case '-': // optional hyphen: only shown where a line breaks; never here
            break;
        case '*':
            state_.skip = true;
            state_.ignorable = true;
            break;
        case '\r':
        case '\n':
            if (!state_.skip)
                endParagraph(true);
            break;
        case '\t':
            text("\t");
            break;
        default:
            break;
        }
    }

    void controlWord(std::string_view w, bool hasParam, long param)
    {
        if (w == "bin") {
            // Binary data of the given length follows; it is never text.
            const size_t n = hasParam && param > 0 ? static_cast<size_t>(param) : 0;
            pos_ = std::min(in_.size(), pos_ + n);
            return;
        }
        if (w == "fonttbl") {
            state_.fontTable = true;
            state_.skip = true;
            return;
        }
        if (state_.fontTable && !state_.ignorable) {
            if (w == "f" && hasParam) {
                finishFontName();
                fontNumber_ = static_cast<int>(param);
                fontName_.clear();
            }
            return;
        }
        if (std::find(std::begin(SkippedDestinations), std::end(SkippedDestinations), w) !=
            std::end(SkippedDestinations)) {
            state_.skip = true;
            return;
        }
        if (w == "uc") {
            state_.unicodeSkip = hasParam && param >= 0 ? static_cast<int>(std::min(param, 10L)) : 1;
            return;
        }
        if (w == "u" && hasParam) {
            if (!state_.skip) {
                unicodeUnit(param);
                pendingSkip_ = state_.unicodeSkip;
            }
            return;
        }
        if (state_.skip)
            return;
        // A control word in the fallback of \u counts as one fallback character.
        if (pendingSkip_ > 0) {
            --pendingSkip_;
            return;
        }
        const bool on = !hasParam || param != 0;
        if (w == "par") {
            endParagraph(true);
        } else if (w == "pard") {
            alignment_ = TRichAlignment::Left;
        } else if (w == "line") {
            text("\n");
        } else if (w == "tab" || w == "cell") {
            text("\t");
        } else if (w == "row") {
            endParagraph(true);
        } else if (w == "b") {
            state_.bold = on;
        } else if (w == "i") {
            state_.italic = on;
        } else if (w == "ul") {
            state_.underline = on;
        } else if (w == "ulnone") {
            state_.underline = false;
        } else if (w == "plain") {
            state_.bold = state_.italic = state_.underline = false;
            state_.halfPoints = 24;
        } else if (w == "fs") {
            if (hasParam && param > 0 && param <= 3276)
                state_.halfPoints = static_cast<int>(param);
        } else if (w == "f") {
            if (hasParam)
                state_.font = static_cast<int>(param);
        } else if (w == "ql") {
            alignment_ = TRichAlignment::Left;
        } else if (w == "qr") {
            alignment_ = TRichAlignment::Right;
        } else if (w == "qc") {
            alignment_ = TRichAlignment::Centre;
        } else if (w == "qj") {
            alignment_ = TRichAlignment::Justify;
        } else if (w == "emdash") {
            unicode(0x2014);
        } else if (w == "endash") {
            unicode(0x2013);
        } else if (w == "bullet") {
            unicode(0x2022);
        } else if (w == "lquote") {
            unicode(0x2018);
        } else if (w == "rquote") {
            unicode(0x2019);
        } else if (w == "ldblquote") {
            unicode(0x201C);
        } else if (w == "rdblquote") {
            unicode(0x201D);
        }
        // Every other control word changes nothing that is drawn here.
    }

    void character(unsigned char byte)
    {
        if (state_.fontTable && !state_.ignorable) {
            if (byte == ';')
                finishFontName();
            else if (fontNumber_ >= 0)
                fontName_ += static_cast<char>(byte);
            return;
        }
        if (state_.skip)
            return;
        if (pendingSkip_ > 0) {
            --pendingSkip_;
            return;
        }
        if (byte < 0x80) {
            if (byte == '\t')
                text("\t");
            else if (byte >= 0x20)
                text(std::string(1, static_cast<char>(byte)));
            return;
        }
        text(Cp1252ToUtf8(std::string_view(reinterpret_cast<const char*>(&byte), 1)));
    }

    // \uN is one UTF-16 unit, signed 16-bit (some writers give 32768 ... 65535 unsigned); a
    // character beyond the basic plane comes as two of them, high surrogate first. A number outside
    // 16 bits and a surrogate without its partner read as U+FFFD.
    void unicodeUnit(long param)
    {
        if (param < -32768 || param > 65535) {
            unicode(0xFFFD);
            return;
        }
        const char32_t unit = static_cast<char32_t>(param < 0 ? param + 65536 : param);
        if (unit >= 0xDC00 && unit <= 0xDFFF && highSurrogate_) {
            const char32_t high = highSurrogate_;
            highSurrogate_ = 0;
            unicode(0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00));
            return;
        }
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            flushSurrogate();
            highSurrogate_ = unit;
            return;
        }
        unicode(unit >= 0xDC00 && unit <= 0xDFFF ? 0xFFFD : unit);
    }

    void flushSurrogate()
    {
        if (highSurrogate_) {
            highSurrogate_ = 0;
            unicode(0xFFFD);
        }
    }

    void unicode(char32_t c)
    {
        if (state_.skip || state_.fontTable)
            return;
        std::string s;
        AppendUtf8(s, c);
        text(s);
    }

    void text(const std::string& s)
    {
        if (state_.skip)
            return;
        flushSurrogate(); // a high surrogate followed by anything but its low one
        RichRun run;
        run.bold = state_.bold;
        run.italic = state_.italic;
        run.underline = state_.underline;
        run.pointSize = state_.halfPoints / 2.0;
        const auto font = fonts_.find(state_.font);
        if (font != fonts_.end())
            run.font = font->second;
        if (!current_.runs.empty() && current_.runs.back().sameFormat(run)) {
            current_.runs.back().text += s;
        } else {
            run.text = s;
            current_.runs.push_back(std::move(run));
        }
    }

    void endParagraph(bool explicitEnd)
    {
        if (!explicitEnd && current_.runs.empty())
            return; // nothing after the last \par
        current_.alignment = alignment_;
        result_.paragraphs.push_back(std::move(current_));
        current_ = {};
    }

    void finishFontName()
    {
        if (fontNumber_ < 0)
            return;
        std::string name = Cp1252ToUtf8(fontName_);
        const auto first = name.find_first_not_of(' ');
        name = first == std::string::npos ? std::string() : name.substr(first);
        while (!name.empty() && name.back() == ' ')
            name.pop_back();
        if (!name.empty())
            fonts_[fontNumber_] = name;
        fontNumber_ = -1;
        fontName_.clear();
    }

    std::string_view in_;
    size_t pos_ = 0;
    CharState state_;
    std::vector<CharState> stack_;
    size_t overflow_ = 0;
    int pendingSkip_ = 0;
    char32_t highSurrogate_ = 0; // a \u high surrogate waiting for its low one
    TRichAlignment alignment_ = TRichAlignment::Left;
    RichParagraph current_;
    RichText result_;
    std::map<int, std::string> fonts_;
    int fontNumber_ = -1;
    std::string fontName_;
};

RichText ReadPlainText(std::string_view bytes)
{
    RichText out;
    const std::string text = Cp1252ToUtf8(bytes);
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        RichParagraph p;
        if (end > start) {
            RichRun run;
            run.pointSize = 10;
            run.text = text.substr(start, end - start);
            p.runs.push_back(std::move(run));
        }
        out.paragraphs.push_back(std::move(p));
        if (end == text.size())
            break;
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    while (!out.paragraphs.empty() && out.paragraphs.back().runs.empty())
        out.paragraphs.pop_back();
    return out;
}

} // namespace

std::string RichParagraph::text() const
{
    std::string out;
    for (const RichRun& r : runs)
        out += r.text;
    return out;
}

std::string RichText::plainText() const
{
    std::string out;
    for (size_t i = 0; i < paragraphs.size(); ++i) {
        if (i)
            out += '\n';
        out += paragraphs[i].text();
    }
    return out;
}

bool RichText::blank() const
{
    for (const RichParagraph& p : paragraphs)
        for (const RichRun& r : p.runs)
            if (r.text.find_first_not_of(" \t\n") != std::string::npos)
                return false;
    return true;
}

bool LooksLikeRichText(std::string_view bytes)
{
    const size_t first = bytes.find_first_not_of(" \t\r\n");
    return first != std::string_view::npos && bytes.substr(first, 5) == "{\\rtf";
}

RichText ReadRichText(std::string_view bytes)
{
    if (!LooksLikeRichText(bytes))
        return ReadPlainText(bytes);
    return Reader(bytes).run();
}

void CapRichText(RichText& text, size_t maxCharacters, size_t maxParagraphs)
{
    size_t characters = 0;
    size_t lines = 0;
    for (size_t p = 0; p < text.paragraphs.size(); ++p) {
        std::vector<RichRun>& runs = text.paragraphs[p].runs;
        if (++lines > maxParagraphs) {
            text.paragraphs.resize(p);
            if (!text.paragraphs.empty())
                text.paragraphs.back().runs.push_back({"…"});
            return;
        }
        for (size_t r = 0; r < runs.size(); ++r) {
            std::string& t = runs[r].text;
            for (size_t i = 0; i < t.size(); ++i) {
                const auto c = static_cast<unsigned char>(t[i]);
                if ((c & 0xC0) == 0x80)
                    continue; // inside a character
                const bool lineFull = c == '\n' && ++lines > maxParagraphs;
                if (lineFull || ++characters > maxCharacters) {
                    t.resize(i);
                    t += "…";
                    runs.resize(r + 1);
                    text.paragraphs.resize(p + 1);
                    return;
                }
            }
        }
    }
}

} // namespace gs
