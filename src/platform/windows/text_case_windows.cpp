#include "platform/text_case.h"

#include <windows.h>

namespace quillmark {

void toUpperCase(std::u32string& text) {
    // UTF-16 for the system; a capital takes as many units as its small letter.
    std::wstring wide;
    wide.reserve(text.size());
    for (const char32_t c : text) {
        if (c < 0x10000) {
            wide.push_back(static_cast<wchar_t>(c));
        } else {
            wide.push_back(static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10)));
            wide.push_back(static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        }
    }
    if (!wide.empty())
        ::CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    std::size_t at = 0;
    for (char32_t& c : text) {
        const auto unit = static_cast<char32_t>(wide[at++]);
        if (c < 0x10000) {
            c = unit;
        } else {
            const auto low = static_cast<char32_t>(wide[at++]);
            if (unit >= 0xD800 && unit <= 0xDBFF && low >= 0xDC00 && low <= 0xDFFF)
                c = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
        }
    }
}

} // namespace quillmark
