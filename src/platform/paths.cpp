#include "platform/paths.h"

#include "platform/platform.h"

#include <filesystem>

namespace quillmark {

std::string absolutePath(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(toFsPath(path), ec);
    return ec ? path : toUtf8Path(absolute.lexically_normal());
}

std::string stripTrailingBackslash(const std::string& path) {
    // The root folder is the separator alone; stripping it would leave the empty path.
    if (path.size() > 1 && kPathSeparators.find(path.back()) != std::string_view::npos)
        return path.substr(0, path.size() - 1);
    return path;
}

std::string folderOfPath(const std::string& path) {
    const auto sep = path.find_last_of(kPathSeparators);
    if (sep == std::string::npos)
        return {};
    // A file straight under the root ("/a") lives in the root folder.
    std::string folder = path.substr(0, sep == 0 ? 1 : sep);
    // Any entry counts, as in a directory search that includes folders: the part before
    // the last separator may itself name a file.
    return fileExists(folder) ? folder : std::string();
}

std::string fileNameOfPath(const std::string& path) {
    const auto sep = path.find_last_of(kPathSeparators);
    if (sep == std::string::npos)
        return {};
    return path.substr(sep + 1);
}

bool matchesWildcard(std::string_view pattern, std::string_view name) {
    // A trailing ".*" also matches a name without any extension, as "*.*" matches every
    // name in a Windows directory search.
    if (pattern.ends_with(".*") && name.find('.') == std::string_view::npos &&
        matchesWildcard(pattern.substr(0, pattern.size() - 2), name))
        return true;
    size_t p = 0, n = 0;
    size_t starAt = std::string_view::npos, resumeAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starAt = p++;
            resumeAt = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (starAt != std::string_view::npos) {
            // Let the last star take one more character and try again from there.
            p = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

} // namespace quillmark
