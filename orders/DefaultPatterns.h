#pragma once
// The thirteen default order patterns, one per document type, built once at program start (with
// the start date as their Date) and only read afterwards. Every pattern load starts from the one of
// the row's type.
#include "orders/Pattern.h"

#include <array>
#include <memory>

namespace gs {

class TSettings;

class DefaultPatterns {
public:
    // settings: where the templates of new documents take their tax rates from (none: the
    // patterns' own).
    explicit DefaultPatterns(TDateTime startDate, const TSettings* settings = nullptr);
    DefaultPatterns(const DefaultPatterns&) = delete;
    DefaultPatterns& operator=(const DefaultPatterns&) = delete;

    // The pattern of a document type 1 to 13; raises std::out_of_range for any other number.
    const TMPattern& operator[](int docType) const;
    // The pattern of a document type, that of type 1 for a number outside 1 to 13.
    const TMPattern& ForDocType(long long docType) const;
    const TSettings* settings() const { return settings_; }

private:
    std::array<std::unique_ptr<TMPattern>, 13> patterns_;
    const TSettings* settings_ = nullptr;
};

} // namespace gs
