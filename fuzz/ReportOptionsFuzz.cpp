// The report command's line, as a script or a timer writes it: any words (separated by NUL bytes)
// either give options or a reason, never a crash; options with a period relative to today resolve
// for any day; the names of files and periods made from them stay inside the output folder.
#include "app/OutputFiles.h"
#include "app/ProfitGroups.h"
#include "app/ReportOptions.h"
#include "base/Error.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    std::vector<std::string> args{"DB"};
    std::string word;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            args.push_back(word);
            word.clear();
        } else {
            word += static_cast<char>(data[i]);
        }
    }
    args.push_back(word);
    try {
        gs::ReportOptionsResult parsed = gs::ParseReportOptions(args);
        if (!parsed.options) {
            if (parsed.problem.empty())
                std::abort(); // a refused line always says why
            return 0;
        }
        gs::ReportOptions& o = *parsed.options;
        if (o.relativePeriod) {
            for (const auto& [year, month] : {std::pair{2026, 1}, std::pair{2026, 12}, std::pair{1, 1}})
                for (int fiscalStart : {1, 7, 12})
                    if (gs::ApplyRelativePeriod(o, gs::CalendarDay{year, month, 1}, fiscalStart).empty())
                        gs::RelativePeriodInFuture(o, gs::CalendarDay{year, month, 1});
        }
        const std::string stem = gs::PeriodFileStem(gs::ReportPeriodChoice(o, 4));
        // A file name of its own in the output folder: never a path of another folder.
        if (stem.find('/') != std::string::npos && o.periodIndex != gs::PeriodFreeRange)
            std::abort();
    } catch (const gs::Error&) {
        // a value that cannot be used is refused with its reason
    }
    return 0;
}
