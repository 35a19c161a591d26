#pragma once
// The one seam through which every modal interaction reaches the user: messages, yes/no questions,
// one-line input, folder and file choice. The window layer installs the real dialogs; tests install
// a fake that answers at once; programs without a window use ConsoleDialogs.
#include <optional>
#include <string>
#include <vector>

namespace gs {

// The application title: the caption of every message without one of its own.
inline constexpr const char* ApplicationTitle = "Gewinn-Statistik";

struct InputRequest {
    std::string defaultText;
    std::string prompt;
    std::string help;
    std::vector<std::string> items;
    bool pickFromList = false;
    bool noCancel = false;
};

struct SaveFileRequest {
    std::string title;
    std::string filter;        // "CSV Dateien|*.csv|Text Dateien|*.txt"
    std::string defaultSuffix; // "csv"
    std::string initialPath;
};

// The printer selection of a print job ("Druckerauswahl:"): preset values in, the user's choice out.
// Duplex: 0 none ("kein"), 1 horizontal, 2 vertical.
struct PrintTargetRequest {
    std::string printerName;
    std::string binName;
    int copies = 1;
    int duplex = 0;
    bool showPdfChoices = false; // "Zusätzlich PDF-Datei", "Nur PDF"; hidden for list jobs
};

struct PrintTargetChoice {
    std::string printerName;
    std::optional<std::string> binName; // none selected: the preset stays
    int copies = 1;
    int duplex = 0;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Texts may carry the message markup (<B>, <BR>, ...). An empty caption means the application title.
    virtual void showMessage(const std::string& text, const std::string& help, const std::string& caption) = 0;
    virtual bool askYesNo(const std::string& text, const std::string& help, const std::string& caption) = 0;
    // Result as the input dialog gives it: the index as text ("-1" cancelled) when picking from a list,
    // otherwise the trimmed text (empty when cancelled).
    virtual std::string askInput(const InputRequest& request) = 0;
    virtual std::optional<std::string> chooseFolder(const std::string& title, const std::string& startDir) = 0;
    virtual std::optional<std::string> chooseSaveFile(const SaveFileRequest& request) = 0;
    // Opens a file, a folder or a "file://" link with the program the desktop associates with it
    // (xdg-open), without waiting for it; false when it could not be started.
    virtual bool openDocument(const std::string& target);
    // nullopt: cancelled. Without a window to ask in, the selection counts as cancelled.
    virtual std::optional<PrintTargetChoice> choosePrintTarget(const PrintTargetRequest& request)
    {
        return std::nullopt;
    }
};

// Dialogs for programs without a window: messages go to standard error as ConsoleMessageText gives
// them, questions are answered "no" and inputs cancelled.
class ConsoleDialogs : public Dialogs {
public:
    void showMessage(const std::string& text, const std::string& help, const std::string& caption) override;
    bool askYesNo(const std::string& text, const std::string& help, const std::string& caption) override;
    std::string askInput(const InputRequest& request) override;
    std::optional<std::string> chooseFolder(const std::string& title, const std::string& startDir) override;
    std::optional<std::string> chooseSaveFile(const SaveFileRequest& request) override;
};

// The message text without markup: <BR>, <HR> and "#13#10" become line breaks, the other tags of
// the message markup (B, I, U, S, SUB, SUP, FONT, A) vanish, entities are decoded. Everything else
// between "<" and ">" is text and stays (a filter text "DATE<=..." keeps its "<").
std::string StripMessageMarkup(const std::string& text);

// A message as a program without a window writes it: StripMessageMarkup, with "Möglicher Fehler:"
// and the cause after it on one line.
std::string ConsoleMessageText(const std::string& text);

// The module's message calls; they go to the current runtime's dialogs.
void ShowMessageBox(const std::string& text, const std::string& help = {}, const std::string& caption = {});
bool AskYesNo(const std::string& text, const std::string& help = {}, const std::string& caption = {});
std::string AskInput(const InputRequest& request);

// Put in front of error texts where a message says "possible error".
inline constexpr const char* PossibleErrorPrefix = "<B>Möglicher Fehler:</B><BR>";

} // namespace gs
