#pragma once
// Telling UTF-8 from the single-byte texts of older settings and source files.

#include <cstddef>
#include <string>
#include <string_view>

namespace quillmark {

// Length of the valid UTF-8 sequence that starts at `at` (1 for an ASCII byte), 0 when
// none starts there: a stray continuation byte, an overlong form, a UTF-16 surrogate,
// a code point above U+10FFFF or a sequence cut short.
std::size_t utf8SequenceLength(std::string_view text, std::size_t at = 0);

// Appends the UTF-8 form of the code point `c` (at most U+10FFFF).
void appendUtf8(std::string& out, char32_t c);

} // namespace quillmark
