#include "spool/render/ShapedTexts.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>

#include <cmath>

namespace gs {

namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

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
    s.runs = line.glyphRuns();
    for (QGlyphRun& run : s.runs) {
        QList<QPointF> positions = run.positions();
        for (QPointF& p : positions)
            p.ry() -= ascent;
        run.setPositions(positions);
    }
    s.width = line.horizontalAdvance();
    return s;
}

const ShapedText& ShapedTexts::shaped(const std::string& text)
{
    const auto it = texts_.find(text);
    if (it != texts_.end())
        return it->second;
    if (texts_.size() >= limit_)
        texts_.clear();
    return texts_.emplace(text, shape(Q(text))).first->second;
}

const ShapedText& ShapedTexts::elided(const std::string& text, double width, int key)
{
    std::string k = std::to_string(key);
    k += '\0';
    k += text;
    const auto it = elided_.find(k);
    if (it != elided_.end())
        return it->second;
    if (elided_.size() >= limit_)
        elided_.clear();
    const QString cut = QFontMetricsF(font_, device_).elidedText(Q(text), Qt::ElideRight, width);
    return elided_.emplace(std::move(k), shape(cut)).first->second;
}

void GlyphBatch::add(const ShapedText& text, QPointF origin)
{
    for (const QGlyphRun& run : text.runs) {
        const QRawFont font = run.rawFont();
        Part* part = nullptr;
        for (Part& p : parts_)
            if (p.font == font)
                part = &p;
        if (!part) {
            parts_.push_back({font, {}, {}});
            part = &parts_.back();
        }
        part->glyphs.append(run.glyphIndexes());
        for (const QPointF& p : run.positions())
            part->positions.append(origin + p);
    }
}

void GlyphBatch::draw(QPainter& painter)
{
    for (const Part& p : parts_) {
        QGlyphRun run;
        run.setRawFont(p.font);
        run.setGlyphIndexes(p.glyphs);
        run.setPositions(p.positions);
        painter.drawGlyphRun(QPointF(0, 0), run);
    }
    parts_.clear();
}

} // namespace gs
