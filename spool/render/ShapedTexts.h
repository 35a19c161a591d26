#pragma once
// Cell texts shaped once and drawn as glyphs. A long list repeats most of its texts (names, dates,
// zones, amounts of nothing), and shaping a text (finding its glyphs, kerning, fallback fonts) is
// what drawing and measuring it cost most; so each distinct text of a font is shaped once, and its
// glyphs, their places and its width are kept for the next time it is drawn or measured.
//
// The texts that rarely repeat (order numbers, amounts) are made of digits, signs and blanks. Their
// glyphs are put together from each character's glyph and advance and the kerning of each pair of
// neighbours, which the shaper gives once per font; before that composition is used, it is checked
// against the shaper on sample texts, and a font whose shaping of these characters is more than
// glyph, advance and pair kerning (ligatures, contextual forms, fallback fonts) is always shaped.
//
// The glyphs are those QPainter::drawText would draw for the text, at the same places (positions in
// the paint engine's 1/64 units, taken from the same shaping), so a list looks exactly as drawn
// text by text. The cache is bounded by the bytes it holds (texts and glyphs): past its limit it
// starts anew, so a list of unique or long texts keeps memory flat.
//
// GlyphBatch collects the glyphs of many texts (a page's cells) and draws them in one glyph run per
// font: a PDF writer then writes one text object with one font and colour set-up for all of them,
// instead of one per text.
#include <QFont>
#include <QList>
#include <QPointF>
#include <QRawFont>

#include <array>
#include <string>
#include <unordered_map>
#include <vector>

class QPainter;
class QPaintDevice;

namespace gs {

struct ShapedText {
    struct Run {
        QRawFont font;
        std::vector<quint32> glyphs;
        std::vector<QPointF> positions; // from the text's start on its baseline (0, 0)
    };
    std::vector<Run> runs;
    double width = 0; // what QFontMetricsF::horizontalAdvance gives for the text
};

class ShapedTexts {
public:
    // font as it is drawn on device; limit: bytes of texts and glyphs kept (in each of the two
    // caches, whole and cut texts) before the cache starts anew.
    ShapedTexts(const QFont& font, QPaintDevice* device, size_t limit = 2 << 20);

    // text in UTF-8, as drawn (no line breaks). The reference holds until the next call.
    const ShapedText& shaped(const std::string& text);
    // The text cut at its end with "…" to fit width, as QFontMetricsF::elidedText cuts it (empty
    // when not even the ellipsis fits). The reference holds until the next call.
    const ShapedText& elided(const std::string& text, double width);

    // What the shaper makes of text, without cache or composition (tests compare with it).
    ShapedText shape(const QString& text) const;

private:
    // The characters composed: digits, blanks and the signs of numbers, amounts and dates.
    static constexpr const char* Composable = "0123456789 ,.-+%/:()";
    static constexpr int Euro = 20; // index of "€" after them
    static constexpr int ComposableCount = 21;
    static int ComposableIndex(unsigned char c);
    bool learnComposition();
    bool compose(const std::string& text, ShapedText& out) const;

    QFont font_;
    QPaintDevice* device_;
    size_t limit_;
    struct Cache {
        std::unordered_map<std::string, ShapedText> texts;
        size_t bytes = 0;
        // Keeps text, starting anew when the limit is reached.
        const ShapedText& keep(std::string key, ShapedText text, size_t limit);
    };
    Cache texts_;
    Cache elided_; // key: the width's bytes, then the text
    ShapedText composed_;                                  // the last composed text

    enum class Composition { Unknown, Usable, Unusable } composition_ = Composition::Unknown;
    QRawFont composeFont_;
    std::array<quint32, ComposableCount> glyph_{};
    std::array<double, ComposableCount> advance_{};
    std::array<std::array<double, ComposableCount>, ComposableCount> kerning_{};
};

class GlyphBatch {
public:
    // The text's glyphs with its start of baseline at origin.
    void add(const ShapedText& text, QPointF origin);
    // Draws what was added, one glyph run per font, in the painter's pen, and empties the batch.
    void draw(QPainter& painter);

private:
    struct Part {
        QRawFont font;
        QList<quint32> glyphs;
        QList<QPointF> positions;
    };
    std::vector<Part> parts_;
};

// x as the paint engines take a text's start: whole 1/64 units, cut towards zero.
double EngineUnits(double x);

} // namespace gs
