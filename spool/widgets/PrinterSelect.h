#pragma once
// The printer selection of print jobs, TFPrinterselect ("Druckerauswahl:"): printer, paper bin,
// copies and duplex, preset from TOVIK.INI, as the spooler asks for them when the user holds Shift
// or "always ask for the printer" is set. Printers, bins and duplex modes come from Qt's print
// support, which lists the system's (CUPS) printers; a preset printer the system does not know is
// still offered, so a job for a printer that is away for the moment can be written.
//
// The spooler reaches it only through the dialog seam: SpoolWidgetDialogs answers
// choosePrintTarget with this window; tests fill and read the window without running it modally.
#include "base/Dialogs.h"
#include "display/WidgetDialogs.h"

#include <QDialog>

#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QSpinBox;
class QCheckBox;

namespace gs {

// Duplex choices in their coded order: 0 none, 1 horizontal (short edge), 2 vertical (long edge).
inline constexpr const char* DuplexChoiceTexts[] = {"kein", "horizontal", "vertikal"};

class TFPrinterselect : public QDialog {
    Q_OBJECT
public:
    // printers: the names to offer (empty: the system's printers); bins of a printer are asked from
    // the system, or taken from binsOf when given (tests).
    explicit TFPrinterselect(const PrintTargetRequest& preset, QWidget* parent = nullptr,
                             std::vector<std::string> printers = {});

    // What the window holds now: printer, the selected bin (none when no bin is selected), copies
    // (at least 1) and the duplex index.
    PrintTargetChoice choice() const;

    QComboBox* printerBox() const { return printerBox_; }
    QComboBox* binBox() const { return binBox_; }
    QSpinBox* copiesBox() const { return copiesBox_; }
    QComboBox* duplexBox() const { return duplexBox_; }
    QCheckBox* alsoPdfBox() const { return alsoPdf_; }
    QCheckBox* onlyPdfBox() const { return onlyPdf_; }

    // The names of the paper sources the printer offers (empty when the system knows none).
    static std::vector<std::string> PaperSourcesOf(const std::string& printer);

private:
    void fillBins(const std::string& preferred);

    QComboBox* printerBox_ = nullptr;
    QComboBox* binBox_ = nullptr;
    QSpinBox* copiesBox_ = nullptr;
    QComboBox* duplexBox_ = nullptr;
    QCheckBox* alsoPdf_ = nullptr;
    QCheckBox* onlyPdf_ = nullptr;
};

// The window dialogs with the spool's printer selection.
class SpoolWidgetDialogs : public WidgetDialogs {
public:
    std::optional<PrintTargetChoice> choosePrintTarget(const PrintTargetRequest& request) override;
};

} // namespace gs
