#pragma once
// Telling UTF-8 from the single-byte texts of older settings and source files.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace quillmark {

// Length of the valid UTF-8 sequence at `at` (1 for ASCII); 0 for a stray continuation byte, an
// overlong form, a surrogate, a code point above U+10FFFF or a sequence cut short.
std::size_t utf8SequenceLength(std::string_view text, std::size_t at = 0);

// The characters of Windows-1252 at 0x80..0x9F; the five undefined codes map to
// themselves so they survive a round trip.
inline constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Appends the UTF-8 form of the code point `c` (at most U+10FFFF).
void appendUtf8(std::string& out, char32_t c);

} // namespace quillmark
