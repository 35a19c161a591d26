#include "spool/widgets/PrinterSelect.h"

#include "display/ClassRegistry.h"
#include "spool/render/PrintOutput.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPrinterInfo>
#include <QSpinBox>
#include <QVBoxLayout>

namespace gs {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

} // namespace

std::vector<std::string> TFPrinterselect::PaperSourcesOf(const std::string& printer)
{
    return PrinterMediaSources(printer);
}

TFPrinterselect::TFPrinterselect(const PrintTargetRequest& preset, QWidget* parent, std::vector<std::string> printers)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TFPrinterselect"));
    setWindowTitle(QStringLiteral("Druckerauswahl:"));
    printerBox_ = new QComboBox(this);
    printerBox_->setObjectName(QStringLiteral("printerBox"));
    binBox_ = new QComboBox(this);
    binBox_->setObjectName(QStringLiteral("binBox"));
    copiesBox_ = new QSpinBox(this);
    copiesBox_->setObjectName(QStringLiteral("copiesBox"));
    copiesBox_->setRange(1, 99);
    duplexBox_ = new QComboBox(this);
    duplexBox_->setObjectName(QStringLiteral("duplexBox"));
    for (const char* text : DuplexChoiceTexts)
        duplexBox_->addItem(QString::fromUtf8(text));
    alsoPdf_ = new QCheckBox(QStringLiteral("Zusätzlich PDF-Datei"), this);
    onlyPdf_ = new QCheckBox(QStringLiteral("Nur PDF"), this);

    if (printers.empty()) {
        for (const QString& name : QPrinterInfo::availablePrinterNames())
            printers.push_back(name.toStdString());
    }
    for (const std::string& name : printers)
        printerBox_->addItem(Q(name));
    QString chosen = Q(preset.printerName);
    if (chosen.isEmpty())
        chosen = QPrinterInfo::defaultPrinterName();
    if (!chosen.isEmpty() && printerBox_->findText(chosen) < 0)
        printerBox_->addItem(chosen);
    printerBox_->setCurrentIndex(chosen.isEmpty() ? 0 : printerBox_->findText(chosen));
    fillBins(preset.binName);
    connect(printerBox_, &QComboBox::currentTextChanged, this,
            [this](const QString&) { fillBins(binBox_->currentText().toStdString()); });
    copiesBox_->setValue(std::max(1, preset.copies));
    duplexBox_->setCurrentIndex(preset.duplex >= 0 && preset.duplex <= 2 ? preset.duplex : 0);
    alsoPdf_->setVisible(preset.showPdfChoices);
    onlyPdf_->setVisible(preset.showPdfChoices);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Drucker:"), printerBox_);
    form->addRow(QStringLiteral("Schacht:"), binBox_);
    form->addRow(QStringLiteral("Kopien:"), copiesBox_);
    form->addRow(QStringLiteral("Duplex:"), duplexBox_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(alsoPdf_);
    layout->addWidget(onlyPdf_);
    layout->addWidget(buttons);
    ApplySkin(this);
}

void TFPrinterselect::fillBins(const std::string& preferred)
{
    binBox_->clear();
    for (const std::string& bin : PaperSourcesOf(printerBox_->currentText().toStdString()))
        binBox_->addItem(Q(bin));
    // The stored bin stays selectable even when the system does not report it.
    if (!preferred.empty() && binBox_->findText(Q(preferred)) < 0)
        binBox_->addItem(Q(preferred));
    binBox_->setCurrentIndex(preferred.empty() ? -1 : binBox_->findText(Q(preferred)));
}

PrintTargetChoice TFPrinterselect::choice() const
{
    PrintTargetChoice c;
    c.printerName = printerBox_->currentText().toStdString();
    if (binBox_->currentIndex() >= 0)
        c.binName = binBox_->currentText().toStdString();
    c.copies = std::max(1, copiesBox_->value());
    c.duplex = std::max(0, duplexBox_->currentIndex());
    return c;
}

std::optional<PrintTargetChoice> SpoolWidgetDialogs::choosePrintTarget(const PrintTargetRequest& request)
{
    TFPrinterselect window(request, QApplication::activeWindow());
    if (runModal(window) != QDialog::Accepted)
        return std::nullopt;
    return window.choice();
}

} // namespace gs
