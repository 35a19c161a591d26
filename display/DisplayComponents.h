#pragma once
// The module's own small display components: thin Qt widgets under the class names the host gives
// them, so that the colour skin (appearance/widgets/ColorWrapper.h) finds them by exact class name
// (metaObject()->className()), and with the host's published property names as Q_PROPERTYs, so that
// the skin sets them by name. The classes live in the global namespace because their class names
// are part of the skin file's contract ("TFlatButton_Color").
//
// Colours are host colours, 0x00BBGGRR with system colours 0x80000000 + n (base/HostColors.h);
// clNone lets the parent's background show through. "Visible" is the host's visibility switch: it
// shows or hides the component (reading it gives the component's own switch, not whether its
// parents are shown).
//
//   class            Qt base       published properties
//   TFlatButton      QPushButton   Color ColorDown ColorFocused ColorBorder ColorHighLight ColorShadow
//                                  Round Margin Spacing Visible
//   TFlatSpeedButton TFlatButton   as TFlatButton (takes no keyboard focus)
//   TFlatCheckBox    QCheckBox     Color Visible
//   TsCheckBox       QCheckBox     Color
//   TPanel           QFrame        Color BevelInner BevelOuter BevelWidth Visible Caption FontColor
//   TFlatPanel       QFrame        Color ColorHighLight ColorShadow Visible Caption FontColor
//   TFlatGroupBox    QGroupBox     Color ColorBorder
//   THTMLabel        QLabel        Color HTMLText (message markup, display/MessageMarkup.h)
//   TFlatMemo        QPlainTextEdit ColorFocused ColorFlat ColorBorder
//   TI_DBGrid        QTableView    Color FixedColor BorderStyle
//   TDCComboBox      QComboBox     Color DrawStyle Visible
//   TPageControl     QTabWidget    Visible
#include "base/HostColors.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>

#include <initializer_list>

namespace gs {
// Gives a widget a host colour as background in the given palette roles and its background role
// (auto-filled); clNone
// gives the roles back to the parent's palette and stops filling.
void SetHostBackground(QWidget* widget, HostColor color, std::initializer_list<QPalette::ColorRole> roles);
// The component's caption colour: clNone keeps the palette's text colour.
void SetHostForeground(QWidget* widget, HostColor color, std::initializer_list<QPalette::ColorRole> roles);
} // namespace gs

// A flat push button drawn by itself: face in Color (ColorDown while pressed, ColorFocused while it
// has the focus), a one-pixel border in ColorBorder, 3D edges in ColorHighLight / ColorShadow, corners
// rounded by Round pixels (0 square, then without 3D edges). Margin is the distance of glyph and
// text from the left edge (-1: centred), Spacing the gap between glyph and text.
class TFlatButton : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(quint32 Color READ color WRITE setColor)
    Q_PROPERTY(quint32 ColorDown READ colorDown WRITE setColorDown)
    Q_PROPERTY(quint32 ColorFocused READ colorFocused WRITE setColorFocused)
    Q_PROPERTY(quint32 ColorBorder READ colorBorder WRITE setColorBorder)
    Q_PROPERTY(quint32 ColorHighLight READ colorHighLight WRITE setColorHighLight)
    Q_PROPERTY(quint32 ColorShadow READ colorShadow WRITE setColorShadow)
    Q_PROPERTY(int Round READ round WRITE setRound)
    Q_PROPERTY(int Margin READ margin WRITE setMargin)
    Q_PROPERTY(int Spacing READ spacing WRITE setSpacing)
    Q_PROPERTY(bool Visible READ isShown WRITE setVisible)
public:
    explicit TFlatButton(QWidget* parent = nullptr);
    explicit TFlatButton(const QString& text, QWidget* parent = nullptr);

    quint32 color() const { return color_; }
    void setColor(quint32 c) { color_ = c; update(); }
    quint32 colorDown() const { return colorDown_; }
    void setColorDown(quint32 c) { colorDown_ = c; update(); }
    quint32 colorFocused() const { return colorFocused_; }
    void setColorFocused(quint32 c) { colorFocused_ = c; update(); }
    quint32 colorBorder() const { return colorBorder_; }
    void setColorBorder(quint32 c) { colorBorder_ = c; update(); }
    quint32 colorHighLight() const { return colorHighLight_; }
    void setColorHighLight(quint32 c) { colorHighLight_ = c; update(); }
    quint32 colorShadow() const { return colorShadow_; }
    void setColorShadow(quint32 c) { colorShadow_ = c; update(); }
    int round() const { return round_; }
    void setRound(int r) { round_ = qMax(0, r); update(); }
    int margin() const { return margin_; }
    void setMargin(int m) { margin_ = m; update(); }
    int spacing() const { return spacing_; }
    void setSpacing(int s) { spacing_ = qMax(0, s); update(); }
    bool isShown() const { return !isHidden(); }

    // The face colour for the present state (pressed, focused or normal).
    quint32 currentFaceColor() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    quint32 color_ = gs::clBtnFace;
    quint32 colorDown_ = gs::clBtnHighlight;
    quint32 colorFocused_ = gs::cl3DLight;
    quint32 colorBorder_ = gs::clBtnShadow;
    quint32 colorHighLight_ = gs::clBtnHighlight;
    quint32 colorShadow_ = gs::clBtnShadow;
    int round_ = 0;
    int margin_ = -1;
    int spacing_ = 4;
};

// A flat button that takes no keyboard focus (tool bar buttons).
class TFlatSpeedButton : public TFlatButton {
    Q_OBJECT
public:
    explicit TFlatSpeedButton(QWidget* parent = nullptr);
    explicit TFlatSpeedButton(const QString& text, QWidget* parent = nullptr);
};

// A check box on its own background colour (clNone: the parent's).
class TFlatCheckBox : public QCheckBox {
    Q_OBJECT
    Q_PROPERTY(quint32 Color READ color WRITE setColor)
    Q_PROPERTY(bool Visible READ isShown WRITE setVisible)
public:
    explicit TFlatCheckBox(QWidget* parent = nullptr);
    explicit TFlatCheckBox(const QString& text, QWidget* parent = nullptr);
    quint32 color() const { return color_; }
    void setColor(quint32 c);
    bool isShown() const { return !isHidden(); }

private:
    quint32 color_ = gs::clNone;
};

// The skinnable check box (for example "Balken" on the chart's legend).
class TsCheckBox : public QCheckBox {
    Q_OBJECT
    Q_PROPERTY(quint32 Color READ color WRITE setColor)
public:
    explicit TsCheckBox(QWidget* parent = nullptr);
    explicit TsCheckBox(const QString& text, QWidget* parent = nullptr);
    quint32 color() const { return color_; }
    void setColor(quint32 c);

private:
    quint32 color_ = gs::clNone;
};

// A panel with two bevels and an optional centred caption. Bevels: 0 none, 1 lowered, 2 raised,
// 3 space (blank border of BevelWidth); the outer bevel is the frame shape, the inner one is drawn
// inside it. Out-of-range bevel values are ignored.
class TPanel : public QFrame {
    Q_OBJECT
    Q_PROPERTY(quint32 Color READ color WRITE setColor)
    Q_PROPERTY(int BevelInner READ bevelInner WRITE setBevelInner)
    Q_PROPERTY(int BevelOuter READ bevelOuter WRITE setBevelOuter)
    Q_PROPERTY(int BevelWidth READ bevelWidth WRITE setBevelWidth)
    Q_PROPERTY(bool Visible READ isShown WRITE setVisible)
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(quint32 FontColor READ fontColor WRITE setFontColor)
public:
    enum Bevel { bvNone = 0, bvLowered = 1, bvRaised = 2, bvSpace = 3 };

    explicit TPanel(QWidget* parent = nullptr);
    quint32 color() const { return color_; }
    void setColor(quint32 c);
    int bevelInner() const { return inner_; }
    void setBevelInner(int b);
    int bevelOuter() const { return outer_; }
    void setBevelOuter(int b);
    int bevelWidth() const { return bevelWidth_; }
    void setBevelWidth(int w);
    bool isShown() const { return !isHidden(); }
    QString caption() const { return caption_; }
    void setCaption(const QString& text) { caption_ = text; update(); }
    quint32 fontColor() const { return fontColor_; }
    void setFontColor(quint32 c);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void applyBevels();
    quint32 color_ = gs::clBtnFace;
    int inner_ = bvNone;
    int outer_ = bvRaised;
    int bevelWidth_ = 1;
    QString caption_;
    quint32 fontColor_ = gs::clNone;
};

// A flat panel: background Color, a one-pixel edge light at the top and left (ColorHighLight) and
// dark at the bottom and right (ColorShadow), and an optional centred caption in FontColor.
class TFlatPanel : public QFrame {
    Q_OBJECT
    Q_PROPERTY(quint32 Color READ color WRITE setColor)
    Q_PROPERTY(quint32 ColorHighLight READ colorHighLight WRITE setColorHighLight)
    Q_PROPERTY(quint32 ColorShadow READ colorShadow WRITE setColorShadow)
    Q_PROPERTY(bool Visible READ isShown WRITE setVisible)
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(quint32 FontColor READ fontColor WRITE setFontColor)
public:
    explicit TFlatPanel(QWidget* parent = nullptr);
    quint32 color() const { return color_; }
    void setColor(quint32 c);
    quint32 colorHighLight() const { return colorHighLight_; }
    void setColorHighLight(quint32 c) { colorHighLight_ = c; update(); }
    quint32 colorShadow() const { return colorShadow_; }
    void setColorShadow(quint32 c) { colorShadow_ = c; update(); }
    bool isShown() const { return !isHidden(); }
    QString caption() const { return caption_; }
    void setCaption(const QString& text) { caption_ = text; update(); }
    quint32 fontColor() const { return fontColor_; }
    void setFontColor(quint32 c);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    quint32 color_ = gs::clBtnFace;
    quint32 colorHighLight_ = gs::clWhite;
    quint32 colorShadow_ = gs::clBlack;
    QString caption_;
    quint32 fontColor_ = gs::clNone;
};

// A group box drawn flat: background Color (clNone: the parent's), a one-pixel border in
// ColorBorder, the title over the top border. Not meant to be checkable.
class TFlatGroupBox : public QGroupBox {
    Q_OBJECT
    Q_PROPERTY(quint32 Color READ color WRITE setColor)
    Q_PROPERTY(quint32 ColorBorder READ colorBorder WRITE setColorBorder)
public:
    explicit TFlatGroupBox(QWidget* parent = nullptr);
    explicit TFlatGroupBox(const QString& title, QWidget* parent = nullptr);
    quint32 color() const { return color_; }
    void setColor(quint32 c);
    quint32 colorBorder() const { return colorBorder_; }
    void setColorBorder(quint32 c) { colorBorder_ = c; update(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    quint32 color_ = gs::clNone;
    quint32 colorBorder_ = gs::clBtnShadow;
};

// A label that shows message markup (HTMLText) as rich text, word-wrapped; links open through
// gs::OpenMessageLink.
class THTMLabel : public QLabel {
    Q_OBJECT
    Q_PROPERTY(quint32 Color READ color WRITE setColor)
    Q_PROPERTY(QString HTMLText READ htmlText WRITE setHTMLText)
public:
    explicit THTMLabel(QWidget* parent = nullptr);
    quint32 color() const { return color_; }
    void setColor(quint32 c);
    QString htmlText() const { return markup_; }
    void setHTMLText(const QString& markup);

private:
    quint32 color_ = gs::clNone;
    QString markup_;
};

// A flat plain-text box: background ColorFlat, ColorFocused while it has the focus, a one-pixel
// border in ColorBorder.
class TFlatMemo : public QPlainTextEdit {
    Q_OBJECT
    Q_PROPERTY(quint32 ColorFocused READ colorFocused WRITE setColorFocused)
    Q_PROPERTY(quint32 ColorFlat READ colorFlat WRITE setColorFlat)
    Q_PROPERTY(quint32 ColorBorder READ colorBorder WRITE setColorBorder)
public:
    explicit TFlatMemo(QWidget* parent = nullptr);
    quint32 colorFocused() const { return colorFocused_; }
    void setColorFocused(quint32 c) { colorFocused_ = c; refreshColors(); }
    quint32 colorFlat() const { return colorFlat_; }
    void setColorFlat(quint32 c) { colorFlat_ = c; refreshColors(); }
    quint32 colorBorder() const { return colorBorder_; }
    void setColorBorder(quint32 c) { colorBorder_ = c; refreshColors(); }

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void refreshColors();
    quint32 colorFocused_ = gs::clWindow;
    quint32 colorFlat_ = gs::clWindow;
    quint32 colorBorder_ = gs::clBtnShadow;
};

// The data grid: cell background Color, title and row-header background FixedColor, BorderStyle
// 0 none / 1 single line.
class TI_DBGrid : public QTableView {
    Q_OBJECT
    Q_PROPERTY(quint32 Color READ color WRITE setColor)
    Q_PROPERTY(quint32 FixedColor READ fixedColor WRITE setFixedColor)
    Q_PROPERTY(int BorderStyle READ borderStyle WRITE setBorderStyle)
public:
    enum { bsNone = 0, bsSingle = 1 };
    explicit TI_DBGrid(QWidget* parent = nullptr);
    quint32 color() const { return color_; }
    void setColor(quint32 c);
    quint32 fixedColor() const { return fixedColor_; }
    void setFixedColor(quint32 c);
    int borderStyle() const { return borderStyle_; }
    void setBorderStyle(int style);

private:
    quint32 color_ = gs::clWindow;
    quint32 fixedColor_ = gs::clBtnFace;
    int borderStyle_ = bsSingle;
};

// A combo box (year and period choice, input box): field and list background Color; DrawStyle 0
// with the usual frame, any other value flat without frame.
class TDCComboBox : public QComboBox {
    Q_OBJECT
    Q_PROPERTY(quint32 Color READ color WRITE setColor)
    Q_PROPERTY(int DrawStyle READ drawStyle WRITE setDrawStyle)
    Q_PROPERTY(bool Visible READ isShown WRITE setVisible)
public:
    explicit TDCComboBox(QWidget* parent = nullptr);
    quint32 color() const { return color_; }
    void setColor(quint32 c);
    int drawStyle() const { return drawStyle_; }
    void setDrawStyle(int style);
    bool isShown() const { return !isHidden(); }

private:
    quint32 color_ = gs::clWindow;
    int drawStyle_ = 0;
};

// The tab control of a window.
class TPageControl : public QTabWidget {
    Q_OBJECT
    Q_PROPERTY(bool Visible READ isShown WRITE setVisible)
public:
    explicit TPageControl(QWidget* parent = nullptr);
    bool isShown() const { return !isHidden(); }
};
