#pragma once
// The window layer's dialogs behind the gs::Dialogs seam: messages, questions and input in the
// module's own box TFSB_BOX, folder and save-file choice in Qt's file dialog, and the system print
// dialog for printing the chart. The program installs it with
//     runtime.setDialogs(std::make_shared<gs::WidgetDialogs>());
// Window code reaches the print dialog through ChoosePrinter(), so tests can answer it with a fake.
#include "base/Dialogs.h"

#include <QString>

class QDialog;
class QPrinter;
class QWidget;

namespace gs {

class WidgetDialogs : public Dialogs {
public:
    void showMessage(const std::string& text, const std::string& help, const std::string& caption) override;
    bool askYesNo(const std::string& text, const std::string& help, const std::string& caption) override;
    std::string askInput(const InputRequest& request) override;
    std::optional<std::string> chooseFolder(const std::string& title, const std::string& startDir) override;
    std::optional<std::string> chooseSaveFile(const SaveFileRequest& request) override;
    bool openDocument(const std::string& target) override;

    // The system print dialog for the given printer; true when the user confirmed.
    virtual bool choosePrinter(QPrinter& printer, QWidget* parent);
    // Every other modal window of the module (grid print dialog, column chooser, PDF wait window,
    // printer selection) is shown here; the result is QDialog's. Tests answer with a script that
    // works the window's controls and closes it.
    virtual int runModal(QDialog& dialog);
};

// Shows a modal window through the current runtime's dialogs (plain exec() when they are not window
// dialogs).
int RunModal(QDialog& dialog);

// The print dialog of the current runtime's dialogs; false (nothing printed) when they are not
// window dialogs.
bool ChoosePrinter(QPrinter& printer, QWidget* parent);

// "CSV Dateien|*.csv|Text Dateien|*.txt" as a Qt file dialog filter
// ("CSV Dateien (*.csv);;Text Dateien (*.txt)").
QString QtFileFilter(const std::string& hostFilter);

} // namespace gs
