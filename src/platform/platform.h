#pragma once
// Conventions of the operating system the program runs on. Every OS switch of the
// program lives under src/platform.

#include <string_view>

namespace quillmark {

#ifdef _WIN32
inline constexpr std::string_view kLineEnd = "\r\n";
inline constexpr char kPathSeparator = '\\';
// Windows takes "/" as well as "\\" between the parts of a path.
inline constexpr std::string_view kPathSeparators = "\\/";
#else
inline constexpr std::string_view kLineEnd = "\n";
inline constexpr char kPathSeparator = '/';
inline constexpr std::string_view kPathSeparators = "/";
#endif

} // namespace quillmark
