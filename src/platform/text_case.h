#pragma once
// Letter case by the system's own case mapping, so that names match in any letter case in
// every script that has one, as far as the system knows them.

#include <string>

namespace quillmark {

// Replaces each code point of `text` by its capital, one for one (a letter whose capital
// is two letters, such as "ß", stays as it is). Code points without a capital are kept.
void toUpperCase(std::u32string& text);

} // namespace quillmark
