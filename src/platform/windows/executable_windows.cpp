#include "platform/sample_files.h"

#include "platform/windows/win_text.h"

#include <windows.h>

namespace quillmark {

std::string executableFolder() {
    // The path may be longer than MAX_PATH ("\\?\" installs): grow until it fits.
    std::wstring path(MAX_PATH, L'\0');
    while (true) {
        const DWORD size = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (size == 0)
            return {};
        if (size < path.size()) {
            path.resize(size);
            break;
        }
        if (path.size() >= 32768)
            return {};
        path.resize(path.size() * 2);
    }
    const std::size_t sep = path.find_last_of(L"\\/");
    if (sep == std::wstring::npos)
        return {};
    // "C:\quillmark.exe" lives in "C:\", not in the drive's current folder "C:".
    const bool driveRoot = sep == 2 && path[1] == L':';
    return win::toUtf8(std::wstring_view(path).substr(0, driveRoot ? sep + 1 : sep));
}

} // namespace quillmark
