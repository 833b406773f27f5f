#include "platform/windows/shell.h"

#include "platform/documents.h"
#include "platform/windows/win_text.h"

#include <windows.h>

#include <shellapi.h>

namespace quillmark::win {

Status shellOpen(const std::string& target) {
    // An address ("mailto:", "https:") is no path: its "/" must stay as it is.
    const bool isAddress = target.find("://") != std::string::npos || target.starts_with("mailto:");
    const std::wstring wide = isAddress ? toWide(target) : widePath(target);
    const HINSTANCE result = ::ShellExecuteW(nullptr, L"open", wide.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    const int code = static_cast<int>(reinterpret_cast<INT_PTR>(result));
    if (code > 32)
        return {};
    return shellError(code);
}

Status setDesktopWallpaper(const std::string& path) {
    std::wstring wide = widePath(path);
    // Broadcast without rewriting the user's profile, as the program always has.
    if (!::SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, wide.data(), SPIF_SENDWININICHANGE))
        return fromWinError(::GetLastError(), "cannot set the desktop picture to", path);
    return {};
}

} // namespace quillmark::win
