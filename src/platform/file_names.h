#pragma once
// How the platform's file system compares file names.

namespace quillmark {

#ifdef _WIN32
inline constexpr bool kCaseInsensitiveFileNames = true;
#else
inline constexpr bool kCaseInsensitiveFileNames = false;
#endif

} // namespace quillmark
