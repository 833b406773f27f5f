#include "platform/wallpaper_setter.h"

#include <QString>
#include <string>

#include <windows.h>

namespace quillmark {

Status DesktopWallpaperSetter::setWallpaper(const std::string& imagePath, const QImage&) {
    std::wstring path = QString::fromStdString(imagePath).toStdWString();
    // Broadcast the change without rewriting the user's profile, as the program always has.
    if (!SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, path.data(), SPIF_SENDWININICHANGE))
        return Error{ErrorCode::Other,
                     "Windows refused the new wallpaper (error " + std::to_string(GetLastError()) + ")"};
    return {};
}

Status paintRootWindow(const QImage&, const std::string&) {
    return Error{ErrorCode::Other, "Windows has no root window to paint"};
}

} // namespace quillmark
