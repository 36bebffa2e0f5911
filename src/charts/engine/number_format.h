#pragma once

#include <string>
#include <string_view>

namespace quorvela::charts {

// The separators a number is written with. The window passes the user's; tests pass their own.
struct NumberSeparators {
    char Decimal = '.';
    std::string Thousands = ",";
};

// Formats `value` by a picture such as "#,##0.###" or "##0.## %":
//  - "0" is a digit that is always written, "#" a digit written only when significant;
//  - "." marks the decimal point: the "0"s after it are the minimum and all "0"/"#" the maximum
//    number of decimals; the value is rounded to that maximum;
//  - "," anywhere in the integer part asks for thousands grouping;
//  - every other character, and text in single or double quotes, is copied as written,
//    before or after the digits depending on where it stands.
std::string FormatFloat(std::string_view picture, double value, const NumberSeparators& separators = {});

}  // namespace quorvela::charts
