#include "spool/GridSource.h"

#include "base/Text.h"

namespace gs {

std::optional<std::string> TextRowsDataSet::FieldText(int row, std::string_view field) const
{
    for (size_t i = 0; i < fieldNames_.size(); ++i) {
        if (fieldNames_[i] != field && !EqualsNoCase(fieldNames_[i], field))
            continue;
        if (row < 0 || row >= RecordCount())
            return std::string();
        const std::vector<std::string>& values = rows_[static_cast<size_t>(row)];
        return i < values.size() ? values[i] : std::string();
    }
    return std::nullopt;
}

} // namespace gs
