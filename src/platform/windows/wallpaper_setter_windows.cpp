#include "platform/wallpaper_setter.h"

#include "platform/windows/shell.h"

namespace quillmark {

Status DesktopWallpaperSetter::setWallpaper(const std::string& imagePath, const QImage&) {
    return win::setDesktopWallpaper(imagePath);
}

Status paintRootWindow(const QImage&, const std::string&) {
    return Error{ErrorCode::Other, "Windows has no root window to paint"};
}

} // namespace quillmark
