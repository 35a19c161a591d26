#pragma once
// The module's own message dialog TFSB_BOX: a white, stay-on-top box, 406 pixels wide, whose text
// is rendered from the message markup (display/MessageMarkup.h). One dialog serves three uses:
//
//   message   text, "Hilfe" (FBhelpS, only with a help text), "Schließen" (FB_BREAK2)   in Pmsg
//   question  text, "Hilfe" (FBhelpQ), "Ja" (FB_OK), "Nein" (FB_BREAK1)                in Pquestion
//   input     text, "Eingabe:" with the drop-down FINPE, "Hilfe" (FB_HELPI),
//             "Abbrechen" (FB_ICANCEL, hidden with no cancel), "Übernehmen" (FB_IOK)   in Pinput
//
// "Hilfe" unfolds the help text in FP_help below the buttons and grows the dialog. The dialog is at
// most 70 % of the screen height; a longer text scrolls inside the message area, so the buttons
// always stay on screen. Results: ResultOk (1) for "Ja" / "Übernehmen", ResultCancel (2) for "Nein",
// "Abbrechen", "Schließen" and closing. Keys: F1 does nothing; in a message every other key without
// Shift, Ctrl or Alt closes the box; in a question Enter answers with the focused button, Escape
// answers "Nein", Left / Right move between "Ja" and "Nein"; in the input Enter accepts (on a button:
// that button), Escape cancels (only closes the open list; accepts when there is no cancel), Left /
// Right move between "Übernehmen" and "Abbrechen".
//
// The box is driven without exec() in tests: build it, prepare...(), show(), send keys, read
// resultCode() / inputResult(). The Run... functions run it modally (a fresh box each time).
#include "base/Dialogs.h"

#include <QDialog>
#include <QString>

#include <string>

class QLabel;
class QScrollArea;
class TDCComboBox;
class TFlatButton;
class THTMLabel;
class TPanel;

namespace gs {

class TFSB_BOX : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Message, Question, Input };
    enum Result { ResultNone = 0, ResultOk = 1, ResultCancel = 2 };
    static constexpr int ClientWidth = 406;

    explicit TFSB_BOX(QWidget* parent = nullptr);
    ~TFSB_BOX() override;

    void prepareMessage(const QString& text, const QString& help = {}, const QString& caption = {});
    void prepareQuestion(const QString& text, const QString& help = {}, const QString& caption = {});
    void prepareInput(const InputRequest& request);

    Mode mode() const { return mode_; }
    // 0 while the box is open, then ResultOk or ResultCancel.
    int resultCode() const { return result(); }
    bool answeredYes() const { return result() == ResultOk; }
    // What AskInput returns: the chosen index as text ("-1" when cancelled) when picking from a
    // list, otherwise the entered text without surrounding blanks (empty when cancelled).
    QString inputResult() const;

    // "Hilfe": shows the help text below the buttons and grows the dialog; nothing without help text.
    void showHelp();
    bool isHelpShown() const { return helpShown_; }

    // The largest client height: 70 % of the screen height, rounded to a whole pixel.
    int maximumClientHeight() const;

    THTMLabel* messageLabel() const { return messageLabel_; }
    THTMLabel* helpLabel() const { return helpLabel_; }
    TDCComboBox* inputBox() const { return input_; }
    // The panel of the present use (Pmsg, Pquestion or Pinput).
    TPanel* buttonPanel() const;

    void accept() override;
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

private:
    void build();
    void prepare(Mode mode, const QString& text, const QString& help, const QString& caption);
    bool handleKey(QKeyEvent* event, QObject* target);
    void watchKeys(QWidget* widget);
    void relayout();
    void focusStart();

    Mode mode_ = Mode::Message;
    QString help_;
    bool helpShown_ = false;
    bool pickFromList_ = false;
    bool noCancel_ = false;

    QScrollArea* messageArea_ = nullptr;
    THTMLabel* messageLabel_ = nullptr;
    TPanel* pmsg_ = nullptr;
    TPanel* pquestion_ = nullptr;
    TPanel* pinput_ = nullptr;
    TPanel* fpHelp_ = nullptr;
    QScrollArea* helpArea_ = nullptr;
    THTMLabel* helpLabel_ = nullptr;
    QLabel* image1_ = nullptr;
    QLabel* image2_ = nullptr;
    TFlatButton* fbHelpS_ = nullptr;
    TFlatButton* fbBreak2_ = nullptr;
    TFlatButton* fbHelpQ_ = nullptr;
    TFlatButton* fbOk_ = nullptr;
    TFlatButton* fbBreak1_ = nullptr;
    QLabel* inputLabel_ = nullptr;
    TDCComboBox* input_ = nullptr;
    TFlatButton* fbHelpI_ = nullptr;
    TFlatButton* fbICancel_ = nullptr;
    TFlatButton* fbIOk_ = nullptr;
};

// Modal runs of a fresh box (texts in UTF-8, as the Dialogs seam has them).
void RunMessageBox(const std::string& text, const std::string& help, const std::string& caption);
bool RunYesNoBox(const std::string& text, const std::string& help, const std::string& caption);
std::string RunInputBox(const InputRequest& request);

} // namespace gs
