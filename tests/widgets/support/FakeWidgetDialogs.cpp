#include "widgets/support/FakeWidgetDialogs.h"

#include <QDialog>

namespace gs::test {

namespace {
template <class T>
std::optional<T> Next(std::deque<T>& answers)
{
    if (answers.empty())
        return std::nullopt;
    T a = std::move(answers.front());
    answers.pop_front();
    return a;
}
} // namespace

void FakeWidgetDialogs::showMessage(const std::string& text, const std::string& help, const std::string& caption)
{
    messages.push_back({text, help, caption, false});
}

bool FakeWidgetDialogs::askYesNo(const std::string& text, const std::string& help, const std::string& caption)
{
    messages.push_back({text, help, caption, true});
    return Next(yesNoAnswers).value_or(false);
}

std::string FakeWidgetDialogs::askInput(const InputRequest& request)
{
    inputRequests.push_back(request);
    if (auto a = Next(inputAnswers))
        return *a;
    return request.pickFromList && !request.items.empty() ? "-1" : std::string();
}

std::optional<std::string> FakeWidgetDialogs::chooseFolder(const std::string& title, const std::string&)
{
    folderTitles.push_back(title);
    return Next(folderAnswers).value_or(std::nullopt);
}

std::optional<std::string> FakeWidgetDialogs::chooseSaveFile(const SaveFileRequest& request)
{
    saveFileRequests.push_back(request);
    return Next(saveFileAnswers).value_or(std::nullopt);
}

bool FakeWidgetDialogs::choosePrinter(QPrinter& printer, QWidget*)
{
    ++printerRequests;
    const bool confirmed = Next(printerAnswers).value_or(false);
    if (confirmed && configurePrinter)
        configurePrinter(printer);
    return confirmed;
}

int FakeWidgetDialogs::runModal(QDialog& dialog)
{
    modalWindows.push_back(dialog.objectName());
    if (modalScripts.empty())
        return QDialog::Rejected;
    auto script = std::move(modalScripts.front());
    modalScripts.pop_front();
    return script(dialog);
}

std::vector<std::string> FakeWidgetDialogs::texts() const
{
    std::vector<std::string> r;
    for (const Message& m : messages)
        r.push_back(m.text);
    return r;
}

} // namespace gs::test
