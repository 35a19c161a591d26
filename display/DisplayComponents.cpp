#include "display/DisplayComponents.h"

#include "display/MessageMarkup.h"
#include "display/QtColors.h"

#include <QHeaderView>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <qdrawutil.h>

using gs::HostColorToQColor;

namespace gs {

void SetHostBackground(QWidget* widget, HostColor color, std::initializer_list<QPalette::ColorRole> roles)
{
    const QColor c = HostColorToQColor(color);
    if (!c.isValid()) {
        widget->setAutoFillBackground(false);
        widget->update();
        return;
    }
    QPalette pal = widget->palette();
    for (QPalette::ColorRole role : roles)
        pal.setColor(role, c);
    pal.setColor(widget->backgroundRole(), c); // the role auto-fill paints (Button for buttons)
    widget->setPalette(pal);
    widget->setAutoFillBackground(true);
}

void SetHostForeground(QWidget* widget, HostColor color, std::initializer_list<QPalette::ColorRole> roles)
{
    const QColor c = HostColorToQColor(color);
    if (!c.isValid())
        return;
    QPalette pal = widget->palette();
    for (QPalette::ColorRole role : roles) {
        pal.setColor(QPalette::Active, role, c);
        pal.setColor(QPalette::Inactive, role, c);
    }
    widget->setPalette(pal);
}

} // namespace gs

namespace {

// A one-pixel 3D edge around r: light at the top and left, dark at the bottom and right; an
// invalid colour leaves its side undrawn.
void DrawEdges(QPainter& p, const QRect& r, const QColor& light, const QColor& dark)
{
    if (light.isValid()) {
        p.setPen(light);
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
    }
    if (dark.isValid()) {
        p.setPen(dark);
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
    }
}


QString WithoutMnemonic(const QString& text)
{
    QString r;
    r.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) {
            ++i; // "&&" stands for one "&"; "&x" underlines x
        }
        r += text[i];
    }
    return r;
}

} // namespace

// --- TFlatButton ------------------------------------------------------------------------------

TFlatButton::TFlatButton(QWidget* parent) : QPushButton(parent) { setAutoDefault(false); }

TFlatButton::TFlatButton(const QString& text, QWidget* parent) : QPushButton(text, parent) { setAutoDefault(false); }

quint32 TFlatButton::currentFaceColor() const
{
    if (isDown() || isChecked())
        return colorDown_;
    if (hasFocus())
        return colorFocused_;
    return color_;
}

void TFlatButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QPalette& pal = palette();
    const bool down = isDown() || isChecked();
    const QColor face = HostColorToQColor(currentFaceColor(), pal);
    const QColor border = HostColorToQColor(colorBorder_, pal);
    const QColor light = HostColorToQColor(down ? colorShadow_ : colorHighLight_, pal);
    const QColor dark = HostColorToQColor(down ? colorHighLight_ : colorShadow_, pal);

    if (round_ > 0) {
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath path;
        path.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), round_, round_);
        if (face.isValid())
            p.fillPath(path, face);
        if (border.isValid()) {
            p.setPen(border);
            p.drawPath(path);
        }
    } else {
        if (face.isValid())
            p.fillRect(rect(), face);
        const QRect edge = rect().adjusted(1, 1, -1, -1); // just inside the border
        DrawEdges(p, edge, light, dark);
        if (border.isValid()) {
            p.setPen(border);
            p.drawRect(rect().adjusted(0, 0, -1, -1));
        }
    }

    // Glyph and text, centred or at Margin from the left edge.
    QRect content = rect().adjusted(3, 2, -3, -2);
    if (down)
        content.translate(1, 1);
    const QPixmap glyph = icon().isNull() ? QPixmap()
                                          : icon().pixmap(iconSize(), devicePixelRatio(),
                                                          isEnabled() ? QIcon::Normal : QIcon::Disabled);
    const int glyphWidth = glyph.isNull() ? 0 : iconSize().width();
    const QString shown = WithoutMnemonic(text());
    const int textWidth = shown.isEmpty() ? 0 : fontMetrics().horizontalAdvance(shown);
    const int total = glyphWidth + textWidth + (glyphWidth > 0 && textWidth > 0 ? spacing_ : 0);
    int x = margin_ < 0 ? content.left() + (content.width() - total) / 2 : content.left() + margin_;
    if (!glyph.isNull()) {
        p.drawPixmap(QPoint(x, content.top() + (content.height() - iconSize().height()) / 2), glyph);
        x += glyphWidth + (textWidth > 0 ? spacing_ : 0);
    }
    if (textWidth > 0) {
        const QRect textRect(x, content.top(), qMax(textWidth, content.right() - x + 1), content.height());
        style()->drawItemText(&p, textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, pal,
                              isEnabled(), text(), QPalette::ButtonText);
    }
}

TFlatSpeedButton::TFlatSpeedButton(QWidget* parent) : TFlatButton(parent) { setFocusPolicy(Qt::NoFocus); }

TFlatSpeedButton::TFlatSpeedButton(const QString& text, QWidget* parent) : TFlatButton(text, parent)
{
    setFocusPolicy(Qt::NoFocus);
}

// --- check boxes --------------------------------------------------------------------------------

TFlatCheckBox::TFlatCheckBox(QWidget* parent) : QCheckBox(parent) {}
TFlatCheckBox::TFlatCheckBox(const QString& text, QWidget* parent) : QCheckBox(text, parent) {}

void TFlatCheckBox::setColor(quint32 c)
{
    color_ = c;
    gs::SetHostBackground(this, c, {QPalette::Window});
}

TsCheckBox::TsCheckBox(QWidget* parent) : QCheckBox(parent) {}
TsCheckBox::TsCheckBox(const QString& text, QWidget* parent) : QCheckBox(text, parent) {}

void TsCheckBox::setColor(quint32 c)
{
    color_ = c;
    gs::SetHostBackground(this, c, {QPalette::Window});
}

// --- TPanel -------------------------------------------------------------------------------------

TPanel::TPanel(QWidget* parent) : QFrame(parent)
{
    setColor(color_);
    applyBevels();
}

void TPanel::setColor(quint32 c)
{
    color_ = c;
    gs::SetHostBackground(this, c, {QPalette::Window});
}

void TPanel::setBevelInner(int b)
{
    if (b < bvNone || b > bvSpace)
        return;
    inner_ = b;
    applyBevels();
}

void TPanel::setBevelOuter(int b)
{
    if (b < bvNone || b > bvSpace)
        return;
    outer_ = b;
    applyBevels();
}

void TPanel::setBevelWidth(int w)
{
    if (w < 1)
        return;
    bevelWidth_ = w;
    applyBevels();
}

void TPanel::setFontColor(quint32 c)
{
    fontColor_ = c;
    gs::SetHostForeground(this, c, {QPalette::WindowText});
    update();
}

void TPanel::applyBevels()
{
    switch (outer_) {
    case bvLowered: setFrameStyle(QFrame::Panel | QFrame::Sunken); break;
    case bvRaised: setFrameStyle(QFrame::Panel | QFrame::Raised); break;
    default: setFrameStyle(QFrame::NoFrame); break;
    }
    setLineWidth(bevelWidth_);
    const int extra = (outer_ == bvSpace ? bevelWidth_ : 0) + (inner_ != bvNone ? bevelWidth_ : 0);
    setContentsMargins(extra, extra, extra, extra);
    update();
}

void TPanel::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter p(this);
    if (inner_ == bvLowered || inner_ == bvRaised) {
        const QRect r = contentsRect().adjusted(-bevelWidth_, -bevelWidth_, bevelWidth_, bevelWidth_);
        qDrawShadePanel(&p, r, palette(), inner_ == bvLowered, bevelWidth_);
    }
    if (!caption_.isEmpty()) {
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(contentsRect(), Qt::AlignCenter, caption_);
    }
}

// --- TFlatPanel ---------------------------------------------------------------------------------

TFlatPanel::TFlatPanel(QWidget* parent) : QFrame(parent)
{
    setContentsMargins(1, 1, 1, 1);
    setColor(color_);
}

void TFlatPanel::setColor(quint32 c)
{
    color_ = c;
    gs::SetHostBackground(this, c, {QPalette::Window});
}

void TFlatPanel::setFontColor(quint32 c)
{
    fontColor_ = c;
    gs::SetHostForeground(this, c, {QPalette::WindowText});
    update();
}

void TFlatPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect r = rect(); // right() and bottom() are the last pixel column and row
    const QColor light = HostColorToQColor(colorHighLight_, palette());
    const QColor dark = HostColorToQColor(colorShadow_, palette());
    DrawEdges(p, r, light, dark);
    if (!caption_.isEmpty()) {
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(contentsRect(), Qt::AlignCenter, caption_);
    }
}

// --- TFlatGroupBox ------------------------------------------------------------------------------

TFlatGroupBox::TFlatGroupBox(QWidget* parent) : QGroupBox(parent) {}
TFlatGroupBox::TFlatGroupBox(const QString& title, QWidget* parent) : QGroupBox(title, parent) {}

void TFlatGroupBox::setColor(quint32 c)
{
    color_ = c;
    gs::SetHostBackground(this, c, {QPalette::Window});
}

void TFlatGroupBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QString shown = WithoutMnemonic(title());
    const QFontMetrics fm(font());
    const int titleHeight = shown.isEmpty() ? 0 : fm.height();
    const QColor border = HostColorToQColor(colorBorder_, palette());
    if (border.isValid()) {
        p.setPen(border);
        p.drawRect(rect().adjusted(0, titleHeight / 2, -1, -1));
    }
    if (!shown.isEmpty()) {
        const QRect titleRect(6, 0, fm.horizontalAdvance(shown) + 6, titleHeight);
        p.fillRect(titleRect, palette().color(QPalette::Window));
        p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
        p.drawText(titleRect.adjusted(3, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, shown);
    }
}

// --- THTMLabel ----------------------------------------------------------------------------------

THTMLabel::THTMLabel(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::RichText);
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setOpenExternalLinks(false);
    setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    connect(this, &QLabel::linkActivated, this, [](const QString& target) { gs::OpenMessageLink(target); });
}

void THTMLabel::setColor(quint32 c)
{
    color_ = c;
    gs::SetHostBackground(this, c, {QPalette::Window});
}

void THTMLabel::setHTMLText(const QString& markup)
{
    markup_ = markup;
    setText(gs::MessageMarkupToRichText(markup));
}

// --- TFlatMemo ----------------------------------------------------------------------------------

TFlatMemo::TFlatMemo(QWidget* parent) : QPlainTextEdit(parent)
{
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setForegroundRole(QPalette::WindowText);
    refreshColors();
}

void TFlatMemo::focusInEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusInEvent(event);
    refreshColors();
}

void TFlatMemo::focusOutEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusOutEvent(event);
    refreshColors();
}

void TFlatMemo::refreshColors()
{
    QPalette pal = palette();
    const QColor back = HostColorToQColor(hasFocus() ? colorFocused_ : colorFlat_);
    if (back.isValid())
        pal.setColor(QPalette::Base, back);
    const QColor border = HostColorToQColor(colorBorder_);
    if (border.isValid())
        pal.setColor(QPalette::WindowText, border);
    setPalette(pal);
    setLineWidth(border.isValid() ? 1 : 0);
}

// --- TI_DBGrid ----------------------------------------------------------------------------------

TI_DBGrid::TI_DBGrid(QWidget* parent) : QTableView(parent) { setBorderStyle(borderStyle_); }

void TI_DBGrid::setColor(quint32 c)
{
    color_ = c;
    const QColor color = HostColorToQColor(c);
    if (!color.isValid())
        return;
    QPalette pal = palette();
    pal.setColor(QPalette::Base, color);
    setPalette(pal);
}

void TI_DBGrid::setFixedColor(quint32 c)
{
    fixedColor_ = c;
    const QColor color = HostColorToQColor(c);
    if (!color.isValid())
        return;
    for (QHeaderView* header : {horizontalHeader(), verticalHeader()}) {
        QPalette pal = header->palette();
        pal.setColor(QPalette::Button, color);
        pal.setColor(QPalette::Window, color);
        header->setPalette(pal);
    }
}

void TI_DBGrid::setBorderStyle(int style)
{
    if (style != bsNone && style != bsSingle)
        return;
    borderStyle_ = style;
    setFrameShape(style == bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
}

// --- TDCComboBox --------------------------------------------------------------------------------

TDCComboBox::TDCComboBox(QWidget* parent) : QComboBox(parent) {}

void TDCComboBox::setColor(quint32 c)
{
    color_ = c;
    const QColor color = HostColorToQColor(c);
    if (!color.isValid())
        return;
    QPalette pal = palette();
    pal.setColor(QPalette::Base, color);
    pal.setColor(QPalette::Button, color);
    setPalette(pal);
}

void TDCComboBox::setDrawStyle(int style)
{
    if (style < 0)
        return;
    drawStyle_ = style;
    setFrame(style == 0);
}

// --- TPageControl -------------------------------------------------------------------------------

TPageControl::TPageControl(QWidget* parent) : QTabWidget(parent) {}
