#include "spool/CsvExport.h"

#include "spool/XlsxWorkbook.h"

#include "base/AtomicFile.h"
#include "base/Cp1252.h"
#include "base/Dialogs.h"
#include "base/Error.h"
#include "base/Text.h"
#include "settings/SecondCurrency.h"
#include "settings/Settings.h"
#include "spool/CsvFormat.h"
#include "spool/ListCellText.h"

namespace gs {

namespace {

// Digits with an optional sign and the separators of either number format ("-1.315,47", "+3", "12'000.5").
bool IsNumberText(std::string_view text)
{
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    bool digit = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9')
            digit = true;
        else if (c != '.' && c != ',' && c != '\'')
            return false;
    }
    return digit;
}

// The dataset is walked from its first row; its controls and its current row come back on every path.
class DataSetWalk {
public:
    explicit DataSetWalk(GridDataSet& data) : data_(data), bookmark_(data.CurrentRow()) { data_.DisableControls(); }
    ~DataSetWalk()
    {
        data_.EnableControls();
        data_.SetCurrentRow(bookmark_);
    }
    DataSetWalk(const DataSetWalk&) = delete;
    DataSetWalk& operator=(const DataSetWalk&) = delete;

private:
    GridDataSet& data_;
    int bookmark_;
};

std::vector<std::string> CallbackItems(const TLineCallback& callback, const GridRecord* record, int number)
{
    std::string text;
    callback(record, number, text);
    return SplitCommaText(text);
}

} // namespace

std::string CsvSafeValue(std::string value)
{
    if (value.size() > 1 && (value[0] == '=' || value[0] == '+' || value[0] == '-' || value[0] == '@') &&
        !IsNumberText(value))
        value.insert(value.begin(), '\'');
    return value;
}

std::vector<std::string> SplitCommaText(std::string_view text)
{
    std::vector<std::string> items;
    size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ')
            ++i;
    };
    skipBlanks();
    while (i < text.size()) {
        std::string item;
        if (text[i] == '"') {
            for (++i; i < text.size(); ++i) {
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        item += '"';
                        ++i;
                    } else {
                        ++i;
                        break;
                    }
                } else {
                    item += text[i];
                }
            }
        } else {
            while (i < text.size() && text[i] != ',' && static_cast<unsigned char>(text[i]) > ' ')
                item += text[i++];
        }
        items.push_back(std::move(item));
        skipBlanks();
        if (i < text.size() && text[i] == ',') {
            ++i;
            skipBlanks();
            if (i == text.size())
                items.emplace_back(); // a trailing comma ends with an empty item
        }
    }
    return items;
}

std::string SecondCurrencySymbolOf(const TSettings* settings)
{
    return settings ? SecondCurrencySymbol(settings->SecondCurrency) : std::string(DefaultSecondCurrencySymbol);
}

std::string GridCsvText(const ListDescription& list, const CsvExportOptions& options, bool& cancelled)
{
    cancelled = false;
    if (!list.grid.dataSet)
        throw Error("Die Liste hat keine Daten");
    const GridDescription& grid = list.grid;
    GridDataSet& data = *grid.dataSet;
    const std::string& currencySymbol = options.SecondCurrencySymbol;

    std::vector<const GridColumn*> shown;
    for (const GridColumn& column : grid.columns) {
        if (column.width > 0)
            shown.push_back(&column);
    }
    std::vector<std::string> captions;
    for (const GridColumn* column : shown)
        captions.push_back(CsvCaption(column->title));
    for (const TLineCallback& callback : list.lineCallbacks) {
        if (!callback)
            continue;
        for (std::string& caption : CallbackItems(callback, nullptr, 1))
            captions.push_back(std::move(caption));
    }
    std::string text = CsvLine(captions);

    DataSetWalk walk(data);
    for (int row = 0; row < data.RecordCount(); ++row) {
        data.SetCurrentRow(row);
        const GridRecord record(data, row);
        std::vector<std::string> values;
        values.reserve(captions.size());
        for (const GridColumn* column : shown) {
            std::string cell;
            try {
                if (!column->fieldName.empty())
                    cell = record.field(column->fieldName).value_or(std::string());
                if (list.cellTextProvider)
                    list.cellTextProvider(record, column->fieldName, cell);
                else
                    ListCellText(record, column->fieldName, cell, list.cellMode, options.Settings);
                cell = CsvCellText(cell, currencySymbol);
            } catch (const std::exception& e) {
                if (!isOrdinaryError(e))
                    throw;
                cell.clear(); // an empty value keeps the later values under their captions
            }
            values.push_back(CsvSafeValue(std::move(cell)));
        }
        for (const TLineCallback& callback : list.lineCallbacks) {
            if (!callback)
                continue;
            const std::vector<std::string> extraCaptions = CallbackItems(callback, nullptr, 1);
            std::vector<std::string> extraValues;
            try {
                extraValues = CallbackItems(callback, &record, 0);
            } catch (const std::exception& e) {
                if (!isOrdinaryError(e))
                    throw;
            }
            extraValues.resize(std::max(extraValues.size(), extraCaptions.size()));
            for (size_t i = 0; i < extraCaptions.size(); ++i) {
                std::string value = Trim(extraValues[i]);
                if (!extraCaptions[i].empty())
                    ReplaceAllText(value, extraCaptions[i], "");
                values.push_back(CsvSafeValue(Trim(value)));
            }
        }
        if (options.Progress && options.Progress()) {
            cancelled = true;
            return {};
        }
        text += CsvLine(values);
    }
    return text;
}

CsvExportResult ExportGridCsv(const ListDescription& list, const CsvExportOptions& options,
                              const std::filesystem::path& file)
{
    CsvExportResult result;
    try {
        bool cancelled = false;
        const std::string text = GridCsvText(list, options, cancelled);
        if (cancelled) {
            result.status = CsvExportStatus::Cancelled;
            return result;
        }
        WriteFileAtomically(file, Utf8ToCp1252(text));
        result.status = CsvExportStatus::Written;
        result.rows = list.grid.dataSet->RecordCount();
    } catch (const std::exception& e) {
        if (!isOrdinaryError(e))
            throw;
        result.status = CsvExportStatus::Failed;
        result.error = e.what();
    }
    return result;
}

TExportCSVTableClassA::TExportCSVTableClassA(const ListDescription& list, const CsvExportOptions& options,
                                             bool openAfterwards, Dialogs* dialogs)
{
    // Custom export definitions (the list's csvFileName) apply to the host's database tables only; a
    // grid list has none.
    result_.status = CsvExportStatus::Cancelled;
    if (!dialogs)
        return;
    SaveFileRequest ask;
    ask.filter = ListExportFileFilter;
    ask.defaultSuffix = "csv";
    const std::optional<std::string> chosen = dialogs->chooseSaveFile(ask);
    if (!chosen || chosen->empty())
        return;
    file_ = *chosen;
    if (!file_.has_extension())
        file_ += ".csv";
    result_ = EqualsNoCase(file_.extension().string(), ".xlsx") ? ExportGridXlsx(list, options, file_)
                                                                 : ExportGridCsv(list, options, file_);
    if (result_.status == CsvExportStatus::Failed)
        dialogs->showMessage(result_.error, {}, ApplicationTitle);
    else if (result_.status == CsvExportStatus::Written && openAfterwards)
        dialogs->openDocument(file_.string());
}

} // namespace gs
