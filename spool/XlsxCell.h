#pragma once
// A cell of a workbook: empty, text, a number, euros or a day. Plain data.
#include "base/Dates.h"

#include <string>

namespace gs {

struct XlsxCell {
    enum class Kind { Empty, Text, Number, Money, Date };
    Kind kind = Kind::Empty;
    std::string text; // Text (UTF-8)
    double value = 0; // Number; Money in euros; Date as the host's day number (days since 30.12.1899)

    static XlsxCell Of(std::string text) { return {Kind::Text, std::move(text), 0}; }
    static XlsxCell Number(double value) { return {Kind::Number, {}, value}; }
    static XlsxCell Money(double euros) { return {Kind::Money, {}, euros}; }
    static XlsxCell Date(TDateTime day) { return {Kind::Date, {}, day}; }
};

} // namespace gs
