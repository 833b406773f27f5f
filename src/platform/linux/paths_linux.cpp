#include "platform/paths.h"

#include <dirent.h>
#include <sys/stat.h>

namespace quillmark {

bool fileExists(const std::string& path) {
    if (path.empty())
        return false;
    const auto sep = path.find_last_of('/');
    const std::string name = sep == std::string::npos ? path : path.substr(sep + 1);
    struct stat st {};
    if (name.find_first_of("*?") == std::string::npos)
        return ::stat(path.c_str(), &st) == 0;

    const std::string folder = sep == std::string::npos ? "." : sep == 0 ? "/" : path.substr(0, sep);
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return false;
    bool found = false;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view entryName = entry->d_name;
        // The folder's links to itself and its parent are not entries of it.
        if (entryName != "." && entryName != ".." && matchesWildcard(name, entryName)) {
            found = true;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

std::filesystem::path toFsPath(const std::string& path) {
    return std::filesystem::path(path);
}

std::string toUtf8Path(const std::filesystem::path& path) {
    return path.native();
}

bool folderExists(std::string& path) {
    path = stripTrailingBackslash(path);
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace quillmark
