#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Removes leading and trailing blanks and control characters (every byte up to 0x20).
std::string TrimText(std::string_view text);

// Compares two names without regard to the letter case of ASCII letters.
bool SameTextIgnoreCase(std::string_view a, std::string_view b);

// Latin-1 bytes (as device registers hold them) to UTF-8, and UTF-8 back to Latin-1 code points.
// A character outside Latin-1, or a malformed UTF-8 sequence, becomes "?".
std::string Latin1ToUtf8(std::string_view latin1);
std::u32string Utf8ToCodePoints(std::string_view utf8);

// Characters of a UTF-8 text (a malformed byte counts as one), and its first characters.
size_t Utf8CharacterCount(std::string_view utf8);
std::string Utf8Prefix(std::string_view utf8, size_t characters);
