#include "spool/widgets/PdfWait.h"

#include "base/Dialogs.h"
#include "base/ProcessContext.h"
#include "display/ClassRegistry.h"
#include "display/DisplayComponents.h"
#include "display/WaitCursor.h"
#include "display/WidgetDialogs.h"
#include "spool/render/OutputProcessor.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QThread>
#include <QTimer>

namespace gs {

namespace {

constexpr double kMsPerDay = 86400000.0;
// Time for the processor to close the file after it left the marker.
constexpr unsigned long kSettleMs = 200;

std::string Link(const std::string& target)
{
    return "<A href=\"" + target + "\">Klicken Sie hier</A>";
}

} // namespace

TFPDFWait::TFPDFWait(std::filesystem::path markerDir, std::string fileName, QWidget* parent)
    : QDialog(parent), marker_(std::move(markerDir) / fileName)
{
    setObjectName(QStringLiteral("FPDFWait"));
    setWindowTitle(QStringLiteral("Warten auf PDF.."));
    setFixedSize(300, 110);
    SetHostBackground(this, clWhite, {QPalette::Window});
    auto* label = new QLabel(QStringLiteral("PDF-Datei wird erzeugt.."), this);
    label->setObjectName(QStringLiteral("Label1"));
    label->setGeometry(16, 10, 268, 18);
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("PG"));
    bar_->setRange(0, 100);
    bar_->setTextVisible(false);
    bar_->setGeometry(16, 34, 268, 18);
    auto* stop = new TFlatButton(this);
    stop->setObjectName(QStringLiteral("fbreak"));
    stop->setText(QStringLiteral("Nicht mehr warten"));
    stop->setGeometry(84, 68, 132, 25);
    connect(stop, &QPushButton::clicked, this, [this] { stopRequested_ = true; });
    startDay_ = ProcessContext::current().now();
    timer_ = new QTimer(this);
    timer_->setInterval(PdfWaitTickMs);
    connect(timer_, &QTimer::timeout, this, &TFPDFWait::tick);
    timer_->start();
    ApplySkin(this);
}

TFPDFWait::~TFPDFWait() = default;

void TFPDFWait::tick()
{
    if (outcome_ != PdfWaitEnd::Waiting)
        return;
    bar_->setValue(bar_->value() >= bar_->maximum() ? 1 : bar_->value() + 1);
    std::error_code ec;
    if (std::filesystem::exists(marker_, ec)) {
        QThread::msleep(kSettleMs);
        finish(PdfWaitEnd::Done);
    } else if ((ProcessContext::current().now() - startDay_) * kMsPerDay > PdfWaitLimitMs - 1) {
        finish(PdfWaitEnd::TimedOut);
    } else if (stopRequested_) {
        finish(PdfWaitEnd::Stopped);
    }
}

void TFPDFWait::finish(PdfWaitEnd end)
{
    timer_->stop();
    outcome_ = end;
    accept();
}

void TFPDFWait::keyPressEvent(QKeyEvent* event)
{
    // Every key answers the question "stop waiting?": Escape says yes, any other key no.
    stopRequested_ = event->key() == Qt::Key_Escape;
    event->accept();
}

void TFPDFWait::done(int result)
{
    timer_->stop();
    // The marker has done its work; the next job of the same name must not find it.
    std::error_code ec;
    std::filesystem::remove(marker_, ec);
    QDialog::done(result);
}

std::filesystem::path PdfFollowUpPath(const std::filesystem::path& pdfPath)
{
    std::filesystem::path path = pdfPath;
    path.replace_extension(".PDF");
    return path;
}

std::string PdfDoneMessage(const std::filesystem::path& path)
{
    const std::string dir = path.parent_path().string();
    return "<B>Eine PDF-Datei wird unter folgenden Namen erzeugt:<BR></B>" + dir + "<BR>" + path.filename().string() +
           "<BR><BR>" + Link("file://" + dir) + ", um den entsprechenden <B>Ordner</B> zu öffnen." + "<BR><BR>" +
           Link("file://" + path.string()) + ", um die <B>Datei</B> zu öffnen.";
}

std::string PdfTimedOutText(const std::filesystem::path& spoolDir)
{
    // The PDF processor writes why a job could not be rendered into its log; point the user there.
    return std::string(PdfTimedOutMessage) + "</B><BR><BR>Gründe, warum die Datei nicht erzeugt werden konnte, stehen im Protokoll " +
           ProcessorLogFile(spoolDir, ProcessorKind::Pdf).string() + ".";
}

PdfWaitEnd PdfFollowUp(const std::filesystem::path& spoolDir, const std::filesystem::path& pdfPath, bool wait)
{
    const std::filesystem::path path = PdfFollowUpPath(pdfPath);
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(QStringLiteral("file://") + QString::fromStdString(path.string()));
    if (!wait)
        return PdfWaitEnd::Waiting;
    TFPDFWait window(spoolDir / "PDFX", path.filename().string());
    BeginPdfWait();
    RunModal(window);
    EndWait();
    switch (window.outcome()) {
    case PdfWaitEnd::Done: ShowMessageBox(PdfDoneMessage(path), PdfDoneHelp); break;
    case PdfWaitEnd::TimedOut: ShowMessageBox(PdfTimedOutText(spoolDir)); break;
    default: break;
    }
    return window.outcome();
}

} // namespace gs
