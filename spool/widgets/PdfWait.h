#pragma once
// What follows a spooled PDF job: the PDF's path goes onto the clipboard as a "file://" link and, when
// the caller waits, the wait window "Warten auf PDF.." (TFPDFWait) watches the spool's PDFX folder
// for the marker that the PDF processor leaves when the file is written. Then the user learns where
// the file is (two links: the folder and the file), or that it did not come within three minutes.
//
// The window ticks every 100 ms and reads the time from the runtime's clock, so a test moves the
// clock and calls tick() instead of waiting. It is shown through the dialog seam (RunModal).
#include <QDialog>

#include <filesystem>
#include <string>

class QProgressBar;
class QTimer;

namespace gs {

enum class PdfWaitEnd { Waiting, Done, TimedOut, Stopped };

inline constexpr int PdfWaitLimitMs = 180000; // three minutes
inline constexpr int PdfWaitTickMs = 100;

class TFPDFWait : public QDialog {
    Q_OBJECT
public:
    // markerDir: the spool's PDFX folder; fileName: the PDF's file name, which the marker carries.
    TFPDFWait(std::filesystem::path markerDir, std::string fileName, QWidget* parent = nullptr);
    ~TFPDFWait() override;

    // One timer tick: advances the bar and ends the window when the marker is there, the time is up
    // or the user asked to stop.
    void tick();
    PdfWaitEnd outcome() const { return outcome_; }
    // The marker the window waits for: the PDF's file name in the PDFX folder.
    const std::filesystem::path& markerFile() const { return marker_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override;

private:
    void finish(PdfWaitEnd end);
    std::filesystem::path marker_;
    double startDay_ = 0; // the runtime clock when the window was created
    bool stopRequested_ = false;
    PdfWaitEnd outcome_ = PdfWaitEnd::Waiting;
    QProgressBar* bar_ = nullptr;
    QTimer* timer_ = nullptr;
};

// The path as the follow-up uses it: the extension changed to ".PDF".
std::filesystem::path PdfFollowUpPath(const std::filesystem::path& pdfPath);
// The message after a finished wait: where the PDF is, with a link to its folder and one to the file.
std::string PdfDoneMessage(const std::filesystem::path& path);
inline constexpr const char* PdfDoneHelp =
    "Bei einer grösseren Datenmenge kann es unter Umständen einige Zeit dauern, bis die Datei erzeugt wurde.<BR>Der "
    "Dateiname befindet sich jetzt in der Zwischenablage.<BR>";
inline constexpr const char* PdfTimedOutMessage = "<B>PDF-Datei wurde innerhalb des Zeitlimits (3 Min) nicht erzeugt.";
// The time-out message with the PDF processor's log, where the reason stands.
std::string PdfTimedOutText(const std::filesystem::path& spoolDir);

// The follow-up of a written PDF job: the link on the clipboard; with wait, the wait window and its
// message. spoolDir is the spool directory (its PDFX folder holds the markers). Returns how the wait
// ended (Waiting when there was none).
PdfWaitEnd PdfFollowUp(const std::filesystem::path& spoolDir, const std::filesystem::path& pdfPath, bool wait);

} // namespace gs
