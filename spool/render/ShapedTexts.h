#pragma once
// Cell texts shaped once and drawn as glyphs. A long list repeats most of its texts (names, dates,
// zones, amounts of nothing), and shaping a text (finding its glyphs, kerning, fallback fonts) is
// what drawing and measuring it cost most; so each distinct text of a font is shaped once, and its
// glyphs, their places and its width are kept for the next time it is drawn or measured.
//
// The glyphs are those QPainter::drawText would draw for the text, at the same places (positions in
// the paint engine's 1/64 units, taken from the same shaping), so a list looks exactly as drawn
// text by text. The cache is bounded: past its limit it starts anew, so a list of unique texts
// keeps memory flat.
//
// GlyphBatch collects the glyphs of many texts (a page's cells) and draws them in one glyph run per
// font: a PDF writer then writes one text object with one font and colour set-up for all of them,
// instead of one per text.
#include <QFont>
#include <QGlyphRun>
#include <QList>
#include <QPointF>
#include <QRawFont>

#include <string>
#include <unordered_map>
#include <vector>

class QPainter;
class QPaintDevice;

namespace gs {

struct ShapedText {
    QList<QGlyphRun> runs; // glyphs placed from the text's start on its baseline (0, 0)
    double width = 0;      // what QFontMetricsF::horizontalAdvance gives for the text
};

class ShapedTexts {
public:
    // font as it is drawn on device; limit: texts kept before the cache starts anew.
    ShapedTexts(const QFont& font, QPaintDevice* device, size_t limit = 4000);

    // text in UTF-8, as drawn (no line breaks).
    const ShapedText& shaped(const std::string& text);
    // The text cut at its end with "…" to fit width, as QFontMetricsF::elidedText cuts it (empty
    // when not even the ellipsis fits); key tells apart the widths one caller uses (a column).
    const ShapedText& elided(const std::string& text, double width, int key);

private:
    ShapedText shape(const QString& text) const;

    QFont font_;
    QPaintDevice* device_;
    size_t limit_;
    std::unordered_map<std::string, ShapedText> texts_;
    std::unordered_map<std::string, ShapedText> elided_; // key: column number, NUL, text
};

class GlyphBatch {
public:
    // The text's glyphs with its start of baseline at origin.
    void add(const ShapedText& text, QPointF origin);
    bool empty() const { return parts_.empty(); }
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
