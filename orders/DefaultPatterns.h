#pragma once
// The thirteen default order patterns, one per document type, built once at program start (with
// the start date as their Date) and only read afterwards. Every pattern load starts from the one of
// the row's type.
#include "orders/Pattern.h"

#include <array>
#include <memory>

namespace gs {

class Runtime;

class TDefaultPatterns {
public:
    explicit TDefaultPatterns(TDateTime startDate);
    TDefaultPatterns(const TDefaultPatterns&) = delete;
    TDefaultPatterns& operator=(const TDefaultPatterns&) = delete;

    // The pattern of a document type 1 to 13; raises std::out_of_range for any other number.
    const TMPattern& operator[](int docType) const;
    // The pattern of a document type, that of type 1 for a number outside 1 to 13.
    const TMPattern& ForDocType(long long docType) const;

private:
    std::array<std::unique_ptr<TMPattern>, 13> patterns_;
};

// Builds the default patterns into runtime.defaultPatterns, dated runtime.startDate (a start-up
// step, before any window).
void CreateDefaultPatterns(Runtime& runtime);
// The default patterns of the current runtime; built there first when the start-up has not done
// it. Raises std::logic_error when no runtime exists.
const TDefaultPatterns& DefaultPatterns();

} // namespace gs
