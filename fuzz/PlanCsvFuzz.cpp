// A plan CSV as a person or a spreadsheet writes it, to be imported: any bytes either
// give a year's plan or an error that names its line and cause, never a crash; a plan that was read
// writes and reads back to the same plan. The first byte chooses the fiscal year's first month and
// the number format (euro or franc), the rest is the file.
#include "app/MonthText.h"
#include "app/PlanCsv.h"
#include "base/AmountText.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    gs::NumberFormats formats;
    if (data[0] & 0x80) {
        formats.decimalSeparator = '.';
        formats.thousandSeparator = '\'';
        formats.moneySuffix = " SFr\".\"";
    }
    const gs::YearSpan year{2026, data[0] % 12 + 1};
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);

    const gs::AmountReading amount = gs::ReadAmount(bytes, formats);
    if (amount.value.has_value() == !amount.cause.empty())
        std::abort(); // a value, or a reason why there is none
    const gs::MonthReading month = gs::ReadMonthText(bytes, year);
    if (month.month.has_value() == !month.cause.empty())
        std::abort();

    gs::YearPlan plan;
    try {
        plan = gs::ParsePlanCsv(bytes, year, formats);
    } catch (const gs::PlanCsvError& e) {
        const std::string what = e.what();
        const std::string line = "Zeile " + std::to_string(e.line());
        if (e.line() < 0 || (e.line() > 0 && what.rfind(line, 0) != 0) || (e.line() == 0 && bytes.size() <= gs::PlanCsvMaxBytes))
            std::abort(); // the line is named, and only a file too large is refused as a whole
        return 0;
    }
    if (!(plan.year == year))
        std::abort();
    if (!(gs::ParsePlanCsv(gs::PlanCsvText(plan, formats), year, formats) == plan))
        std::abort(); // the round trip is exact
    return 0;
}
