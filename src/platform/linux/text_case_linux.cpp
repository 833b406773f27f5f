#include "platform/text_case.h"

#include <locale.h>
#include <wctype.h>

namespace quillmark {

namespace {

// The C library maps beyond ASCII only under a UTF-8 character type; under LANG=C or a missing
// locale the program asks for C.UTF-8 itself, without changing the process's locale.
locale_t utf8Locale() {
    static const locale_t locale = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
    return locale;
}

} // namespace

void toUpperCase(std::u32string& text) {
    const locale_t locale = utf8Locale();
    for (char32_t& c : text) {
        if (c < 0x80) {
            if (c >= 'a' && c <= 'z')
                c -= 0x20;
        } else if (locale) {
            c = static_cast<char32_t>(::towupper_l(static_cast<wint_t>(c), locale));
        }
    }
}

} // namespace quillmark
