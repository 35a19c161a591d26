#pragma once
// A WidgetDialogs double for window tests: records every request and answers from queues at once,
// without showing anything. Install it in the test's runtime:
//     auto dialogs = std::make_shared<gs::test::FakeWidgetDialogs>();
//     runtime.setDialogs(dialogs);
#include "display/WidgetDialogs.h"

#include <QString>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace gs::test {

class FakeWidgetDialogs : public WidgetDialogs {
public:
    struct Message {
        std::string text, help, caption;
        bool question = false;
    };
    std::vector<Message> messages;                       // messages and questions in order
    std::deque<bool> yesNoAnswers;                       // answered in order; "no" when empty
    std::vector<InputRequest> inputRequests;
    std::deque<std::string> inputAnswers;                // answered in order; cancel when empty
    std::vector<std::string> folderTitles;
    std::deque<std::optional<std::string>> folderAnswers; // cancel when empty
    std::vector<SaveFileRequest> saveFileRequests;
    std::deque<std::optional<std::string>> saveFileAnswers; // cancel when empty
    int printerRequests = 0;
    std::deque<bool> printerAnswers;                     // cancel when empty
    // Called on the printer before a confirmed answer (for example to print into a PDF file).
    std::function<void(QPrinter&)> configurePrinter;
    // Scripts for modal windows, used in order: each works the shown window's controls and returns
    // its result (closing it first when it runs an event loop of its own is not needed). Without a
    // script a modal window is rejected at once.
    std::deque<std::function<int(QDialog&)>> modalScripts;
    std::vector<QString> modalWindows; // object names of the modal windows shown, in order

    void showMessage(const std::string& text, const std::string& help, const std::string& caption) override;
    bool askYesNo(const std::string& text, const std::string& help, const std::string& caption) override;
    std::string askInput(const InputRequest& request) override;
    std::optional<std::string> chooseFolder(const std::string& title, const std::string& startDir) override;
    std::optional<std::string> chooseSaveFile(const SaveFileRequest& request) override;
    std::vector<std::string> openedDocuments; // opened in order; nothing is started
    bool openDocument(const std::string& target) override
    {
        openedDocuments.push_back(target);
        return true;
    }
    bool choosePrinter(QPrinter& printer, QWidget* parent) override;
    int runModal(QDialog& dialog) override;

    // The texts of all messages and questions.
    std::vector<std::string> texts() const;
};

} // namespace gs::test
