#pragma once
// The character that starts a new entry in a source file. The window and quillmark-cli
// both take it from the stored setting through this one function, so a file splits the
// same way in both.

#include <string>
#include <string_view>

namespace quillmark {

// The separator for a stored "SIG SEPARATOR CHARACTER" value: its first character, kept
// byte for byte. That is a whole UTF-8 sequence when the value begins with a valid one,
// and otherwise its first byte (a Windows-1252 "§" is the one byte A7). An empty value
// gives the default "%".
std::string separatorFromSetting(std::string_view stored);

} // namespace quillmark
