#include "platform/paths.h"

#include "platform/windows/win_text.h"

#include <windows.h>

namespace quillmark {

bool fileExists(const std::string& path) {
    if (path.empty())
        return false;
    const std::wstring wide = win::widePath(path);
    const auto sep = path.find_last_of("\\/");
    const std::string name = sep == std::string::npos ? path : path.substr(sep + 1);
    if (name.find_first_of("*?") == std::string::npos)
        return ::GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES;

    // The directory search matches names as Windows does: without case.
    WIN32_FIND_DATAW found{};
    HANDLE search =
        ::FindFirstFileExW(wide.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    bool any = false;
    do {
        const std::wstring_view entry = found.cFileName;
        any = entry != L"." && entry != L"..";
    } while (!any && ::FindNextFileW(search, &found));
    ::FindClose(search);
    return any;
}

std::filesystem::path toFsPath(const std::string& path) {
    return std::filesystem::path(win::toWide(path));
}

std::string toUtf8Path(const std::filesystem::path& path) {
    return win::toUtf8(path.native());
}

bool folderExists(std::string& path) {
    path = stripTrailingBackslash(path);
    if (path.empty())
        return false;
    // "C:" alone names the drive's current folder; its root is "C:\".
    const std::string probe = path.size() == 2 && path[1] == ':' ? path + "\\" : path;
    const DWORD attributes = ::GetFileAttributesW(win::widePath(probe).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace quillmark
