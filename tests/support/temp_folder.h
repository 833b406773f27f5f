#pragma once
// A fresh temporary folder per test, removed with everything in it afterwards.

#include "platform/platform.h"

#include <string>
#include <string_view>

namespace quillmark::test {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return m_path; }
    std::string file(std::string_view name) const { return m_path + kPathSeparator + std::string(name); }

private:
    std::string m_path;
};

// Whole file as bytes; empty when it cannot be read.
std::string slurp(const std::string& path);
// Writes the bytes plainly (test set-up, not the program's atomic write).
void spit(const std::string& path, std::string_view bytes);

// The text with each "\n" written as the system's line end, as the program writes new lines.
std::string withLineEnds(std::string_view text);

// True on Windows (paths join with "\"), where a case of what only Linux has skips itself.
inline constexpr bool kOnWindows = kPathSeparator == '\\';

// Points HOME and the XDG folders at `root` so nothing touches the real home folder.
void isolateHome(const std::string& root);

} // namespace quillmark::test
