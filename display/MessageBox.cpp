#include "display/MessageBox.h"

#include "display/DisplayComponents.h"
#include "display/MessageMarkup.h"
#include "display/ClassRegistry.h"

#include <QApplication>
#include <QCompleter>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>

namespace gs {

namespace {

constexpr int kShortPanelHeight = 35; // message and question buttons
constexpr int kInputPanelHeight = 68; // input row and buttons: 33 more
constexpr int kPanelGap = 2;          // between the text and the button panel
constexpr int kHelpPadding = 5;       // FP_help is this much taller than its label
constexpr int kButtonHeight = 25;
constexpr int kMinimumTextHeight = 24;

QString FromUtf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QScrollArea* MakeTextArea(QWidget* parent, THTMLabel* label, const char* name)
{
    auto* area = new QScrollArea(parent);
    area->setObjectName(QString::fromLatin1(name));
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area->setAutoFillBackground(false);
    area->viewport()->setAutoFillBackground(false);
    label->setContentsMargins(8, 8, 8, 4);
    area->setWidget(label);
    return area;
}

int ButtonWidth(const QWidget* button, const QString& text)
{
    return qMax(75, button->fontMetrics().horizontalAdvance(text) + 24);
}

TFlatButton* MakeButton(QWidget* parent, const char* name, const QString& text)
{
    auto* b = new TFlatButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setFocusPolicy(Qt::StrongFocus);
    b->resize(ButtonWidth(b, text), kButtonHeight);
    return b;
}

TPanel* MakePanel(QWidget* parent, const char* name, int height)
{
    auto* p = new TPanel(parent);
    p->setObjectName(QString::fromLatin1(name));
    p->setBevelOuter(TPanel::bvNone);
    p->setGeometry(0, 0, TFSB_BOX::ClientWidth, height);
    p->hide();
    return p;
}

// Places buttons from the right edge leftwards, 6 pixels apart.
void PlaceFromRight(std::initializer_list<QWidget*> buttons, int y)
{
    int right = TFSB_BOX::ClientWidth - 8;
    for (QWidget* b : buttons) {
        if (b->isHidden())
            continue;
        b->move(right - b->width(), y);
        right -= b->width() + 6;
    }
}

// Raises and activates a window; windowless test platforms have no stacking order to change.
void BringToFront(QWidget* window)
{
    const QString platform = QGuiApplication::platformName();
    if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal"))
        window->raise();
    window->activateWindow();
}

bool IsEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

bool IsModifierKey(int key)
{
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta ||
           key == Qt::Key_AltGr;
}

} // namespace

TFSB_BOX::TFSB_BOX(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("FSB_BOX"));
    setModal(true);
    QFont f;
    f.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")});
    f.setPointSize(8);
    setFont(f);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);
    setWindowTitle(QString::fromUtf8(ApplicationTitle));

    build();
    ApplySkin(this);
    // The button panels always have the button face colour, whatever the skin says.
    for (TPanel* p : {pmsg_, pquestion_, pinput_})
        p->setColor(clBtnFace);
    relayout();
}

TFSB_BOX::~TFSB_BOX() = default;

void TFSB_BOX::build()
{
    messageLabel_ = new THTMLabel;
    messageLabel_->setObjectName(QStringLiteral("HTMLabel1"));
    messageArea_ = MakeTextArea(this, messageLabel_, "SBmessage");

    // Message
    pmsg_ = MakePanel(this, "Pmsg", kShortPanelHeight);
    image1_ = new QLabel(pmsg_);
    image1_->setObjectName(QStringLiteral("Image1"));
    image1_->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(24, 24));
    image1_->setGeometry(8, 5, 24, 24);
    fbHelpS_ = MakeButton(pmsg_, "FBhelpS", QStringLiteral("Hilfe"));
    fbBreak2_ = MakeButton(pmsg_, "FB_BREAK2", QStringLiteral("Schließen"));
    connect(fbHelpS_, &QPushButton::clicked, this, &TFSB_BOX::showHelp);
    connect(fbBreak2_, &QPushButton::clicked, this, [this] { done(ResultCancel); });

    // Question
    pquestion_ = MakePanel(this, "Pquestion", kShortPanelHeight);
    image2_ = new QLabel(pquestion_);
    image2_->setObjectName(QStringLiteral("Image2"));
    image2_->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(24, 24));
    image2_->setGeometry(8, 5, 24, 24);
    fbHelpQ_ = MakeButton(pquestion_, "FBhelpQ", QStringLiteral("Hilfe"));
    fbOk_ = MakeButton(pquestion_, "FB_OK", QStringLiteral("Ja"));
    fbBreak1_ = MakeButton(pquestion_, "FB_BREAK1", QStringLiteral("Nein"));
    connect(fbHelpQ_, &QPushButton::clicked, this, &TFSB_BOX::showHelp);
    connect(fbOk_, &QPushButton::clicked, this, [this] { done(ResultOk); });
    connect(fbBreak1_, &QPushButton::clicked, this, [this] { done(ResultCancel); });

    // Input
    pinput_ = MakePanel(this, "Pinput", kInputPanelHeight);
    inputLabel_ = new QLabel(QStringLiteral("Eingabe:"), pinput_);
    inputLabel_->setObjectName(QStringLiteral("LEingabe"));
    inputLabel_->setGeometry(8, 6, 52, 22);
    input_ = new TDCComboBox(pinput_);
    input_->setObjectName(QStringLiteral("FINPE"));
    input_->setGeometry(62, 6, ClientWidth - 62 - 8, 22);
    input_->setPlaceholderText(QStringLiteral("Eingabe"));
    fbHelpI_ = MakeButton(pinput_, "FB_HELPI", QStringLiteral("Hilfe"));
    fbICancel_ = MakeButton(pinput_, "FB_ICANCEL", QStringLiteral("Abbrechen"));
    fbIOk_ = MakeButton(pinput_, "FB_IOK", QStringLiteral("Übernehmen"));
    connect(fbHelpI_, &QPushButton::clicked, this, &TFSB_BOX::showHelp);
    connect(fbICancel_, &QPushButton::clicked, this, [this] { done(ResultCancel); });
    connect(fbIOk_, &QPushButton::clicked, this, [this] { done(ResultOk); });

    // Help
    fpHelp_ = MakePanel(this, "FP_help", 0);
    fpHelp_->setColor(clNone);
    helpLabel_ = new THTMLabel;
    helpLabel_->setObjectName(QStringLiteral("HTMLabel2"));
    helpArea_ = MakeTextArea(fpHelp_, helpLabel_, "SBhelp");

    for (QWidget* w : std::initializer_list<QWidget*>{fbHelpS_, fbBreak2_, fbHelpQ_, fbOk_, fbBreak1_, input_,
                                                       fbHelpI_, fbICancel_, fbIOk_})
        watchKeys(w);
}

void TFSB_BOX::watchKeys(QWidget* widget)
{
    widget->removeEventFilter(this);
    widget->installEventFilter(this);
}

void TFSB_BOX::prepare(Mode mode, const QString& text, const QString& help, const QString& caption)
{
    mode_ = mode;
    setResult(ResultNone);
    helpShown_ = false;
    help_ = help;
    fpHelp_->hide();
    helpLabel_->setHTMLText(QString());
    messageLabel_->setHTMLText(ExpandLineBreakCodes(text));
    setWindowTitle(caption.isEmpty() ? QString::fromUtf8(ApplicationTitle) : caption);

    pmsg_->setVisible(mode == Mode::Message);
    pquestion_->setVisible(mode == Mode::Question);
    pinput_->setVisible(mode == Mode::Input);
    const bool hasHelp = !help.isEmpty();
    for (TFlatButton* b : {fbHelpS_, fbHelpQ_, fbHelpI_}) {
        b->setVisible(hasHelp);
        b->setEnabled(true);
    }
    fbICancel_->setVisible(!(mode == Mode::Input && noCancel_));

    PlaceFromRight({fbBreak2_, fbHelpS_}, 5);
    PlaceFromRight({fbBreak1_, fbOk_, fbHelpQ_}, 5);
    PlaceFromRight({fbIOk_, fbICancel_, fbHelpI_}, 38);
    relayout();
    focusStart();
}

void TFSB_BOX::prepareMessage(const QString& text, const QString& help, const QString& caption)
{
    noCancel_ = false;
    prepare(Mode::Message, text, help, caption);
}

void TFSB_BOX::prepareQuestion(const QString& text, const QString& help, const QString& caption)
{
    noCancel_ = false;
    prepare(Mode::Question, text, help, caption);
}

void TFSB_BOX::prepareInput(const InputRequest& request)
{
    noCancel_ = request.noCancel;
    pickFromList_ = request.pickFromList && !request.items.empty();
    input_->clear();
    QStringList items;
    for (const std::string& item : request.items)
        items << FromUtf8(item);
    const QString defaultText = FromUtf8(request.defaultText);
    if (pickFromList_) {
        input_->setEditable(false);
        input_->addItems(items);
        input_->setCurrentIndex(input_->findText(defaultText, Qt::MatchFixedString));
    } else {
        input_->setEditable(true);
        input_->setInsertPolicy(QComboBox::NoInsert);
        input_->addItems(items);
        input_->setCurrentIndex(-1);
        input_->setEditText(defaultText);
        input_->lineEdit()->setPlaceholderText(QStringLiteral("Eingabe"));
        if (QCompleter* completer = input_->completer()) {
            completer->setCompletionMode(QCompleter::PopupCompletion);
            completer->setCaseSensitivity(Qt::CaseInsensitive);
        }
        watchKeys(input_->lineEdit());
    }
    prepare(Mode::Input, FromUtf8(request.prompt), FromUtf8(request.help), QString());
}

QString TFSB_BOX::inputResult() const
{
    const bool ok = result() == ResultOk;
    if (pickFromList_)
        return ok ? QString::number(input_->currentIndex()) : QStringLiteral("-1");
    return ok ? input_->currentText().trimmed() : QString();
}

TPanel* TFSB_BOX::buttonPanel() const
{
    switch (mode_) {
    case Mode::Question: return pquestion_;
    case Mode::Input: return pinput_;
    default: return pmsg_;
    }
}

int TFSB_BOX::maximumClientHeight() const
{
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    const int screenHeight = s ? s->geometry().height() : 768;
    return qRound(screenHeight * 0.7);
}

void TFSB_BOX::relayout()
{
    const int width = ClientWidth;
    const int panelHeight = mode_ == Mode::Input ? kInputPanelHeight : kShortPanelHeight;
    const int available = qMax(kMinimumTextHeight, maximumClientHeight() - kPanelGap - panelHeight);

    int textHeight = qMax(kMinimumTextHeight, messageLabel_->heightForWidth(width));
    int helpHeight = helpShown_ ? helpLabel_->heightForWidth(width) + kHelpPadding : 0;

    // Share the room between text and help when both do not fit; each scrolls inside its share.
    int textRoom = textHeight;
    int helpRoom = helpHeight;
    if (textHeight + helpHeight > available) {
        const int half = available / 2;
        if (helpHeight == 0) {
            textRoom = available;
        } else if (textHeight <= half) {
            helpRoom = available - textHeight;
        } else if (helpHeight <= half) {
            textRoom = available - helpHeight;
        } else {
            textRoom = available - half;
            helpRoom = half;
        }
    }

    messageArea_->setGeometry(0, 0, width, textRoom);
    TPanel* panel = buttonPanel();
    panel->move(0, textRoom + kPanelGap);
    int clientHeight = textRoom + kPanelGap + panelHeight;
    if (helpShown_) {
        fpHelp_->setGeometry(0, clientHeight, width, helpRoom);
        helpArea_->setGeometry(0, 0, width, helpRoom);
        clientHeight += helpRoom;
    }
    setFixedSize(width, clientHeight);
}

void TFSB_BOX::showHelp()
{
    if (help_.isEmpty() || helpShown_)
        return;
    helpLabel_->setHTMLText(ExpandLineBreakCodes(help_));
    helpShown_ = true;
    fpHelp_->show();
    for (TFlatButton* b : {fbHelpS_, fbHelpQ_, fbHelpI_})
        b->setEnabled(false);
    relayout();
    focusStart();
}

void TFSB_BOX::focusStart()
{
    switch (mode_) {
    case Mode::Message: fbBreak2_->setFocus(); break;
    case Mode::Question: fbOk_->setFocus(); break;
    case Mode::Input: input_->setFocus(); break;
    }
}

void TFSB_BOX::accept() { done(ResultOk); }

void TFSB_BOX::reject()
{
    // Closing the box: an input without cancel takes what was entered.
    done(mode_ == Mode::Input && noCancel_ ? ResultOk : ResultCancel);
}

bool TFSB_BOX::handleKey(QKeyEvent* event, QObject* target)
{
    const int key = event->key();
    if (key == Qt::Key_F1)
        return true;
    const Qt::KeyboardModifiers held = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);

    auto* button = qobject_cast<QAbstractButton*>(target);
    const bool inInput = target == input_ || (input_->lineEdit() && target == input_->lineEdit());

    switch (mode_) {
    case Mode::Message:
        if (held == Qt::NoModifier && !IsModifierKey(key)) {
            done(ResultCancel);
            return true;
        }
        return false;
    case Mode::Question:
        if (IsEnter(key)) {
            if (button)
                button->click();
            return true;
        }
        if (key == Qt::Key_Escape) {
            done(ResultCancel);
            return true;
        }
        if ((key == Qt::Key_Left || key == Qt::Key_Right) && (target == fbOk_ || target == fbBreak1_)) {
            (target == fbOk_ ? fbBreak1_ : fbOk_)->setFocus();
            return true;
        }
        return false;
    case Mode::Input:
        if (IsEnter(key)) {
            if (inInput)
                done(ResultOk);
            else if (button)
                button->click();
            return true;
        }
        if (key == Qt::Key_Escape) {
            done(noCancel_ ? ResultOk : ResultCancel);
            return true;
        }
        if ((key == Qt::Key_Left || key == Qt::Key_Right) && (target == fbIOk_ || target == fbICancel_)) {
            TFlatButton* other = target == fbIOk_ ? fbICancel_ : fbIOk_;
            if (!other->isHidden())
                other->setFocus();
            return true;
        }
        return false;
    }
    return false;
}

bool TFSB_BOX::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && handleKey(static_cast<QKeyEvent*>(event), watched))
        return true;
    return QDialog::eventFilter(watched, event);
}

void TFSB_BOX::keyPressEvent(QKeyEvent* event)
{
    QObject* target = focusWidget();
    if (handleKey(event, target ? target : this))
        return;
    QDialog::keyPressEvent(event);
}

void TFSB_BOX::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    relayout();
    if (const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen()) {
        const QRect area = s->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
    focusStart();
    BringToFront(this);
}

bool TFSB_BOX::event(QEvent* event)
{
    // Whenever another window takes the foreground, the box takes it back.
    if (event->type() == QEvent::WindowDeactivate && isVisible()) {
        QTimer::singleShot(0, this, [this] {
            if (isVisible() && !QApplication::activePopupWidget() && !isActiveWindow())
                BringToFront(this);
        });
    }
    return QDialog::event(event);
}

void RunMessageBox(const std::string& text, const std::string& help, const std::string& caption)
{
    TFSB_BOX box;
    box.prepareMessage(FromUtf8(text), FromUtf8(help), FromUtf8(caption));
    box.exec();
}

bool RunYesNoBox(const std::string& text, const std::string& help, const std::string& caption)
{
    TFSB_BOX box;
    box.prepareQuestion(FromUtf8(text), FromUtf8(help), FromUtf8(caption));
    return box.exec() == TFSB_BOX::ResultOk;
}

std::string RunInputBox(const InputRequest& request)
{
    TFSB_BOX box;
    box.prepareInput(request);
    box.exec();
    return box.inputResult().toStdString();
}

} // namespace gs
