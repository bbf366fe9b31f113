#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Number texts as the program reads and writes them. Integers are decimal with an optional sign
// and optional surrounding blanks; decimal numbers accept both "." and "," as the decimal
// separator; decoded floating-point values are written with the system decimal separator.

std::optional<int64_t> ParseIntegerText(std::string_view text);

// Reads a column "as an integer": a text that is no 32-bit integer throws TConversionError.
int32_t IntegerOrThrow(std::string_view text);

// The text as a number after every "." and "," became the decimal separator; nothing when the
// text is no finite number.
std::optional<double> TryParseDecimalText(std::string_view text);

// As TryParseDecimalText, 0 for a text that is no number.
double ParseDecimalText(std::string_view text);

// The system decimal separator: taken from the system locale on first use; start-up or a test
// may set it. Set it on the user-interface thread before any other thread formats numbers.
char DecimalSeparator();
void SetDecimalSeparator(char separator);

// General notation of a single-precision value: the shortest digits that read back to the same
// value, plain up to 15 integer digits, exponent form for very large and very small values.
std::string FormatFloatText(float value);
