#pragma once

#include <string>
#include <string_view>

// SQL is composed as text: numbers bare, texts in apostrophes. These helpers keep every value
// that goes into a statement a single, valid literal.

// The text enclosed in apostrophes, each apostrophe inside doubled.
std::string QuoteSqlText(std::string_view text);

// True for a number literal that SQL reads as such: optional minus, digits, optional fraction
// with ".", optional exponent.
bool IsSqlNumber(std::string_view text);

// True for a text in apostrophes whose inner apostrophes are all doubled.
bool IsQuotedSqlText(std::string_view text);

// The text itself when it already is a number or a quoted text literal, else the text quoted.
// A decoded value such as "1,5" (system decimal comma) thus never splits a statement.
std::string AsSqlLiteral(std::string_view text);

// The form in which the parameter table stores a decoded value: every apostrophe removed.
std::string StoredValueText(std::string_view literal);
