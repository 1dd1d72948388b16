#pragma once
// Number text with the decimal comma, as the operator reads and types numbers.
// Independent of the process locale and of the locales installed on the machine.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace sepmet {

// printf "%.<decimals>f" with a decimal comma: FormatFixed(101.325, 3) == u"101,325".
std::u16string FormatFixed(double value, int decimals);

// printf "%.<significant>g" with a decimal comma: FormatGeneral(20, 10) == u"20".
std::u16string FormatGeneral(double value, int significant);

// printf "%d".
std::u16string FormatInteger(long long value);

// printf "%.6f ± %.6f".
std::u16string FormatValueWithUncertainty(double value, double uncertainty);

// What scanf "%lf" reads under a decimal-comma locale: leading white space skipped, the longest
// prefix that forms a number (sign, digits, decimal comma, exponent; also inf, nan and hexadecimal
// forms) converted, the rest ignored. A point ends the number: "101.325" reads as 101.
// Gives nothing when the text does not begin with a number. `consumed`, when given, receives the
// number of units read, white space included.
std::optional<double> ParseDecimalCommaPrefix(std::u16string_view text,
                                              std::size_t* consumed = nullptr);

// Replaces the first occurrence of `placeholder` (e.g. u"%s", u"%.2f", u"%d") in a string
// resource by `value`; the rest of the text is kept verbatim, "%" included.
std::u16string FillPlaceholder(std::u16string_view format, std::u16string_view placeholder,
                               std::u16string_view value);

} // namespace sepmet
