#pragma once

#include "params/arr_result.h"

#include <string>
#include <string_view>

// The decoded value as an SQL literal: the text itself after success (numbers bare, texts in
// apostrophes), the failure text "Error" in apostrophes.
std::string ResultLiteral(const TArrResult& result);

// "UPDATE mb_parameter SET value='...' WHERE id=..." with the value quoted (apostrophes
// doubled). The read pass gives it the stored form (no apostrophes left), the grid the edited
// text; the read pass appends ";" itself.
std::string ParameterValueStatement(int id, std::string_view value);
