#pragma once
// The character that starts a new entry in a source file. The window and quillmark-cli
// both take it from the stored setting through this one function, so a file splits the
// same way in both.

#include <string>
#include <string_view>

namespace quillmark {

// The separator for a stored "SIG SEPARATOR CHARACTER" value: its first character, byte for
// byte (a UTF-8 sequence, else one byte such as a Windows-1252 "§"); "%" for an empty value.
std::string separatorFromSetting(std::string_view stored);

} // namespace quillmark
