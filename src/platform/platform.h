#pragma once
// Conventions of the operating system the program runs on. Every OS switch of the
// program lives under src/platform.

#include <string_view>

namespace quillmark {

#ifdef _WIN32
inline constexpr std::string_view kLineEnd = "\r\n";
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr std::string_view kLineEnd = "\n";
inline constexpr char kPathSeparator = '/';
#endif

} // namespace quillmark
