#include "support/TestSupport.h"

#include <atomic>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace gs::test {

TempDir::TempDir()
{
    static std::atomic<int> counter{0};
    std::random_device rd;
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate = base / ("gs-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" +
                                 std::to_string(rd() % 100000));
        if (std::filesystem::create_directory(candidate)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary directory");
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void WriteFile(const std::filesystem::path& file, const std::string& bytes)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out)
        throw std::runtime_error("cannot write " + file.string());
}

std::string ReadFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + file.string());
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void RecordingDialogs::showMessage(const std::string& text, const std::string& help, const std::string& caption)
{
    messages.push_back({text, help, caption});
}

bool RecordingDialogs::askYesNo(const std::string& text, const std::string& help, const std::string& caption)
{
    messages.push_back({text, help, caption});
    if (yesNoAnswers.empty())
        return false;
    const bool a = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return a;
}

std::string RecordingDialogs::askInput(const InputRequest& request)
{
    inputRequests.push_back(request);
    if (inputAnswers.empty())
        return request.pickFromList && !request.items.empty() ? "-1" : std::string();
    std::string a = inputAnswers.front();
    inputAnswers.pop_front();
    return a;
}

std::optional<std::string> RecordingDialogs::chooseFolder(const std::string& title, const std::string&)
{
    folderTitles.push_back(title);
    if (folderAnswers.empty())
        return std::nullopt;
    auto a = folderAnswers.front();
    folderAnswers.pop_front();
    return a;
}

std::optional<std::string> RecordingDialogs::chooseSaveFile(const SaveFileRequest& request)
{
    saveFileRequests.push_back(request);
    if (saveFileAnswers.empty())
        return std::nullopt;
    auto a = saveFileAnswers.front();
    saveFileAnswers.pop_front();
    return a;
}

std::optional<PrintTargetChoice> RecordingDialogs::choosePrintTarget(const PrintTargetRequest& request)
{
    printTargetRequests.push_back(request);
    if (printTargetAnswers.empty())
        return std::nullopt;
    auto a = printTargetAnswers.front();
    printTargetAnswers.pop_front();
    return a;
}

TestRuntime::TestRuntime(const std::string& programName)
    : dialogs_(std::make_shared<RecordingDialogs>()), runtime_(std::make_unique<Runtime>(dir_.path() / programName))
{
    runtime_->setDialogs(dialogs_);
}

} // namespace gs::test
