#include "display/WidgetDialogs.h"

#include "base/ProcessContext.h"
#include "display/MessageBox.h"
#include "display/ClassRegistry.h"

#include <QDesktopServices>
#include <QDialog>
#include <QUrl>
#include <QFileDialog>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>

namespace gs {

namespace {
QString FromUtf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
} // namespace

void WidgetDialogs::showMessage(const std::string& text, const std::string& help, const std::string& caption)
{
    RunMessageBox(text, help, caption);
}

bool WidgetDialogs::askYesNo(const std::string& text, const std::string& help, const std::string& caption)
{
    return RunYesNoBox(text, help, caption);
}

std::string WidgetDialogs::askInput(const InputRequest& request) { return RunInputBox(request); }

std::optional<std::string> WidgetDialogs::chooseFolder(const std::string& title, const std::string& startDir)
{
    QFileDialog dialog(nullptr, FromUtf8(title), FromUtf8(startDir));
    dialog.setObjectName(QStringLiteral("FFolderDialog"));
    // Qt's own dialog, not the desktop's: it speaks German (display/QtTranslations.h) and takes the skin.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    ApplySkin(&dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
}

std::optional<std::string> WidgetDialogs::chooseSaveFile(const SaveFileRequest& request)
{
    QFileDialog dialog(nullptr, FromUtf8(request.title));
    dialog.setObjectName(QStringLiteral("FSaveDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true); // as the folder choice
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QtFileFilter(request.filter));
    dialog.setDefaultSuffix(FromUtf8(request.defaultSuffix));
    if (!request.initialPath.empty()) {
        const QFileInfo initial(FromUtf8(request.initialPath));
        if (initial.isDir()) {
            dialog.setDirectory(initial.absoluteFilePath());
        } else {
            dialog.setDirectory(initial.absolutePath());
            dialog.selectFile(initial.fileName());
        }
    }
    ApplySkin(&dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
}

bool WidgetDialogs::choosePrinter(QPrinter& printer, QWidget* parent)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("FPrintDialog"));
    ApplySkin(&dialog);
    return dialog.exec() == QDialog::Accepted;
}

bool WidgetDialogs::openDocument(const std::string& target)
{
    const QString text = FromUtf8(target);
    const QUrl url = text.startsWith(QStringLiteral("file://")) ? QUrl(text) : QUrl::fromLocalFile(text);
    return QDesktopServices::openUrl(url);
}

int WidgetDialogs::runModal(QDialog& dialog) { return dialog.exec(); }

int RunModal(QDialog& dialog)
{
    const ProcessContext* runtime = ProcessContext::currentOrNull();
    auto* dialogs = runtime ? dynamic_cast<WidgetDialogs*>(&runtime->dialogs()) : nullptr;
    return dialogs ? dialogs->runModal(dialog) : dialog.exec();
}

bool ChoosePrinter(QPrinter& printer, QWidget* parent)
{
    const ProcessContext* runtime = ProcessContext::currentOrNull();
    auto* dialogs = runtime ? dynamic_cast<WidgetDialogs*>(&runtime->dialogs()) : nullptr;
    return dialogs ? dialogs->choosePrinter(printer, parent) : false;
}

QString QtFileFilter(const std::string& hostFilter)
{
    const QStringList parts = FromUtf8(hostFilter).split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        filters << QStringLiteral("%1 (%2)").arg(parts[i].trimmed(), patterns.simplified());
    }
    if (filters.isEmpty())
        return QStringLiteral("Alle Dateien (*)");
    return filters.join(QStringLiteral(";;"));
}

} // namespace gs
