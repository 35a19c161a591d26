#pragma once
// A small reader for the rich text that list jobs carry as their title (HTEXT) and footer (FTEXT):
// what the title converter writes, and the plainer kinds of rich text the host may store there.
//
// Understood: groups with their character state, paragraphs (\par, \pard, \line, \tab), bold,
// italic and underline switches (\b \b0 \i \i0 \ul \ulnone \plain), font sizes (\fsN, half points),
// the font table and font choices (\fN), paragraph alignment (\ql \qr \qc \qj), Windows-1252 byte
// escapes (\'xx), Unicode escapes (\uN with \ucN fallback skipping), the control symbols \\ \{ \}
// \~ \- \_ and binary data (\bin). Whole destinations that carry no visible text (font, colour and
// style tables, document information, pictures, every {\* ...} group) are skipped. Any other control
// word is skipped; its name is never shown as text.
//
// A text that does not start with "{\rtf" is taken as plain text, one paragraph per line.
// Input bytes are Windows-1252 (the host's code page); the result is UTF-8. Never raises: broken
// input (unbalanced braces, a cut escape) gives what could be read.
#include <string>
#include <string_view>
#include <vector>

namespace gs {

enum class TRichAlignment { Left, Right, Centre, Justify };

struct RichRun {
    std::string text;       // UTF-8; "\n" a line break inside the paragraph, "\t" a tab
    bool bold = false;
    bool italic = false;
    bool underline = false;
    double pointSize = 12;  // rich text's default when no \fs is given
    std::string font;       // from the font table; empty when unknown

    bool sameFormat(const RichRun& o) const
    {
        return bold == o.bold && italic == o.italic && underline == o.underline && pointSize == o.pointSize &&
               font == o.font;
    }
};

struct RichParagraph {
    std::vector<RichRun> runs;
    TRichAlignment alignment = TRichAlignment::Left;
    std::string text() const;
};

struct RichText {
    std::vector<RichParagraph> paragraphs;
    // The paragraphs' texts joined by "\n".
    std::string plainText() const;
    // True when no paragraph holds any character other than blanks.
    bool blank() const;
};

RichText ReadRichText(std::string_view bytes);

// Cuts the text to what a block of a page can show: at most maxParagraphs paragraphs (line breaks
// inside a paragraph count as paragraphs) and maxCharacters characters in all; a cut paragraph
// ends with "…". The rest is not laid out at all, so a huge title costs no more than a full one.
void CapRichText(RichText& text, size_t maxCharacters, size_t maxParagraphs);

// True when the bytes start (after blanks) with "{\rtf".
bool LooksLikeRichText(std::string_view bytes);

} // namespace gs
