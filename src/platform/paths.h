#pragma once
// Path and list helpers used all over the program. On Linux the path separator is "/"
// wherever the program's design says "\".

#include <filesystem>
#include <string>
#include <string_view>

namespace quillmark {

// True when a file or folder exists at the path. A last element with "*" or "?" is a pattern: true
// when any entry of that folder matches it, names compared as the file system does.
bool fileExists(const std::string& path);

// Whether a name matches a pattern of the kind fileExists takes.
bool matchesWildcard(std::string_view pattern, std::string_view name);

// Removes one trailing separator from the caller's path, then tells whether a folder is there.
bool folderExists(std::string& path);

// The path without its last character when that is a separator.
std::string stripTrailingBackslash(const std::string& path);

// The text before the last separator when anything (even a file) exists there, else empty.
std::string folderOfPath(const std::string& path);

// The text after the last separator; empty when there is none.
std::string fileNameOfPath(const std::string& path);

// Absolute and normalised (as given when that fails): stored paths are read from elsewhere.
std::string absolutePath(const std::string& path);
// The program's paths are UTF-8. The standard library would read a plain string in the
// Windows code page, which breaks every name with letters outside it: paths cross to and
// from std::filesystem through these. Bytes that are no UTF-8 never throw (on Windows they
// become U+FFFD; on Linux names are bytes and pass as they are).
std::filesystem::path toFsPath(const std::string& path);
std::string toUtf8Path(const std::filesystem::path& path);

} // namespace quillmark
