#include "spool/render/ShapedTexts.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>

#include <cmath>
#include <cstring>

namespace gs {

namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

const char* const EuroUtf8 = "\xE2\x82\xAC";

bool Same(const ShapedText& a, const ShapedText& b)
{
    if (a.width != b.width || a.runs.size() != b.runs.size())
        return false;
    for (size_t r = 0; r < a.runs.size(); ++r)
        if (a.runs[r].font != b.runs[r].font || a.runs[r].glyphs != b.runs[r].glyphs ||
            a.runs[r].positions != b.runs[r].positions)
            return false;
    return true;
}

} // namespace

double EngineUnits(double x) { return std::trunc(x * 64) / 64; }

ShapedTexts::ShapedTexts(const QFont& font, QPaintDevice* device, size_t limit)
    : font_(font), device_(device), limit_(limit)
{
}

ShapedText ShapedTexts::shape(const QString& text) const
{
    ShapedText s;
    if (text.isEmpty())
        return s;
    // One line, left to right, as QPainter::drawText lays out a text at a point.
    QTextLayout layout(text, font_, device_);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setTextDirection(Qt::LeftToRight);
    option.setAlignment(Qt::AlignLeft);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    if (!line.isValid())
        return s;
    const double ascent = line.ascent();
    for (const QGlyphRun& run : line.glyphRuns()) {
        ShapedText::Run r;
        r.font = run.rawFont();
        const QList<quint32> glyphs = run.glyphIndexes();
        r.glyphs.assign(glyphs.begin(), glyphs.end());
        for (QPointF p : run.positions())
            r.positions.push_back(QPointF(p.x(), p.y() - ascent));
        s.runs.push_back(std::move(r));
    }
    s.width = line.horizontalAdvance();
    return s;
}

int ShapedTexts::ComposableIndex(unsigned char c)
{
    static const std::array<signed char, 256> table = [] {
        std::array<signed char, 256> t{};
        t.fill(-1);
        for (int i = 0; Composable[i]; ++i)
            t[static_cast<unsigned char>(Composable[i])] = static_cast<signed char>(i);
        return t;
    }();
    return table[c];
}

bool ShapedTexts::learnComposition()
{
    auto character = [](int i) { return i == Euro ? QString(QChar(0x20AC)) : QString(QChar(Composable[i])); };
    // Each character alone: one glyph of one font at the start.
    for (int i = 0; i < ComposableCount; ++i) {
        const ShapedText s = shape(character(i));
        if (s.runs.size() != 1 || s.runs[0].glyphs.size() != 1 || s.runs[0].positions[0] != QPointF(0, 0))
            return false;
        if (i == 0)
            composeFont_ = s.runs[0].font;
        else if (s.runs[0].font != composeFont_)
            return false;
        glyph_[i] = s.runs[0].glyphs[0];
        advance_[i] = s.width;
    }
    // Each pair: the same two glyphs, the second moved by the pair's kerning.
    for (int i = 0; i < ComposableCount; ++i)
        for (int k = 0; k < ComposableCount; ++k) {
            const ShapedText s = shape(character(i) + character(k));
            if (s.runs.size() != 1 || s.runs[0].font != composeFont_ || s.runs[0].glyphs.size() != 2 ||
                s.runs[0].glyphs[0] != glyph_[i] || s.runs[0].glyphs[1] != glyph_[k] ||
                s.runs[0].positions[1].y() != 0)
                return false;
            kerning_[i][k] = s.runs[0].positions[1].x() - advance_[i];
            if (s.width != advance_[i] + kerning_[i][k] + advance_[k])
                return false;
        }
    // Longer texts come out as the shaper makes them.
    for (const char* sample : {"0123456789", "9876543210", "-1.234.567,89 \xE2\x82\xAC", "11.11.2011 10:01",
                               "(100 %) +7/-1", "1111111", "000 000,00", "\xE2\x82\xAC 4711-0815"}) {
        ShapedText composed;
        if (!compose(sample, composed) || !Same(composed, shape(Q(sample))))
            return false;
    }
    return true;
}

bool ShapedTexts::compose(const std::string& text, ShapedText& out) const
{
    out.runs.resize(1);
    ShapedText::Run& run = out.runs[0];
    run.glyphs.clear();
    run.positions.clear();
    int previous = -1;
    double x = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        int index = ComposableIndex(static_cast<unsigned char>(text[i]));
        if (index < 0) {
            if (text.compare(i, 3, EuroUtf8) != 0)
                return false;
            index = Euro;
            i += 2;
        }
        if (previous >= 0)
            x += advance_[previous] + kerning_[previous][index];
        run.glyphs.push_back(glyph_[index]);
        run.positions.push_back(QPointF(x, 0));
        previous = index;
    }
    if (previous < 0)
        return false;
    run.font = composeFont_;
    out.width = x + advance_[previous];
    return true;
}

const ShapedText& ShapedTexts::shaped(const std::string& text)
{
    if (composition_ == Composition::Unknown)
        composition_ = learnComposition() ? Composition::Usable : Composition::Unusable;
    if (composition_ == Composition::Usable && compose(text, composed_))
        return composed_;
    const auto it = texts_.texts.find(text);
    if (it != texts_.texts.end())
        return it->second;
    return texts_.keep(text, shape(Q(text)), limit_);
}

const ShapedText& ShapedTexts::elided(const std::string& text, double width)
{
    std::string k(sizeof width, '\0');
    std::memcpy(k.data(), &width, sizeof width);
    k += text;
    const auto it = elided_.texts.find(k);
    if (it != elided_.texts.end())
        return it->second;
    const QString cut = QFontMetricsF(font_, device_).elidedText(Q(text), Qt::ElideRight, width);
    return elided_.keep(std::move(k), shape(cut), limit_);
}

const ShapedText& ShapedTexts::Cache::keep(std::string key, ShapedText text, size_t limit)
{
    size_t size = key.size() + 128; // the entry's own share of the table and its nodes
    for (const ShapedText::Run& run : text.runs)
        size += run.glyphs.size() * (sizeof(quint32) + sizeof(QPointF)) + sizeof(ShapedText::Run);
    if (bytes + size > limit) {
        texts.clear();
        bytes = 0;
    }
    bytes += size;
    return texts.emplace(std::move(key), std::move(text)).first->second;
}

void GlyphBatch::add(const ShapedText& text, QPointF origin)
{
    for (const ShapedText::Run& run : text.runs) {
        Part* part = nullptr;
        for (Part& p : parts_)
            if (p.font == run.font)
                part = &p;
        if (!part) {
            parts_.push_back({run.font, {}, {}});
            part = &parts_.back();
        }
        for (quint32 g : run.glyphs)
            part->glyphs.append(g);
        for (const QPointF& p : run.positions)
            part->positions.append(origin + p);
    }
}

void GlyphBatch::draw(QPainter& painter)
{
    for (Part& p : parts_) {
        if (p.glyphs.isEmpty())
            continue;
        {
            QGlyphRun run;
            run.setRawFont(p.font);
            run.setGlyphIndexes(p.glyphs);
            run.setPositions(p.positions);
            painter.drawGlyphRun(QPointF(0, 0), run);
        }
        // Emptied, not freed: the next page fills the same lists.
        p.glyphs.clear();
        p.positions.clear();
    }
}

} // namespace gs
