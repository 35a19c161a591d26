#pragma once
// Shared fixtures for the core tests: a fresh Runtime in a temporary program directory, and a
// dialog seam that records every message and answers from a script.
#include "base/Dialogs.h"
#include "app/Runtime.h"

#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace gs::test {

// A temporary directory removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

void WriteFile(const std::filesystem::path& file, const std::string& bytes);
std::string ReadFile(const std::filesystem::path& file);

class RecordingDialogs : public Dialogs {
public:
    struct Message {
        std::string text, help, caption;
    };
    std::vector<Message> messages;
    std::deque<bool> yesNoAnswers;          // answered in order; "no" when empty
    std::deque<std::string> inputAnswers;   // answered in order; cancel when empty
    std::deque<std::optional<std::string>> folderAnswers;
    std::deque<std::optional<std::string>> saveFileAnswers;
    std::vector<SaveFileRequest> saveFileRequests;
    std::vector<InputRequest> inputRequests;
    std::vector<std::string> folderTitles;
    std::deque<std::optional<PrintTargetChoice>> printTargetAnswers; // cancel when empty
    std::vector<PrintTargetRequest> printTargetRequests;

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
    std::optional<PrintTargetChoice> choosePrintTarget(const PrintTargetRequest& request) override;
};

// A Runtime whose program file lies in a fresh temporary directory, with recording dialogs.
class TestRuntime {
public:
    explicit TestRuntime(const std::string& programName = "gewinnstatistik");
    Runtime& runtime() { return *runtime_; }
    RecordingDialogs& dialogs() { return *dialogs_; }
    const std::filesystem::path& dir() const { return dir_.path(); }

private:
    TempDir dir_;
    std::shared_ptr<RecordingDialogs> dialogs_;
    std::unique_ptr<Runtime> runtime_;
};

} // namespace gs::test
