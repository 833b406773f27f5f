#pragma once
// Texts and errors at the Windows API: the program keeps UTF-8 everywhere, Windows wants
// UTF-16 for every name and path, so each call converts at the border.

#include "base/result.h"

#include <string>
#include <string_view>

namespace quillmark::win {

// UTF-8 to UTF-16. Bytes that are not UTF-8 become U+FFFD: a name is never cut short.
std::wstring toWide(std::string_view text);
// UTF-16 to UTF-8. An unpaired surrogate becomes U+FFFD.
std::string toUtf8(std::wstring_view text);

// A path ready for the file functions: "/" read as "\", and a full path of MAX_PATH
// characters or more given the "\\?\" prefix that lifts the length limit.
std::wstring widePath(std::string_view path);

// The system's own words for a Windows error code, on one line.
std::string systemMessage(unsigned long error);

// An Error for a failed call: the code as the rest of the program knows it, and the
// message "<what> <path>: <system text>".
Error fromWinError(unsigned long error, std::string_view what, std::string_view path);

} // namespace quillmark::win
