#pragma once
// Points the desktop at a picture file: the running desktop's own setting, or on a bare X
// server the root window's background. Tests use a fake.

#include "base/result.h"

#include <chrono>
#include <string>

class QImage;

namespace quillmark {

// The file format of the rendered wallpaper: one every desktop of the platform reads
// (image loaders of some Linux desktops lack BMP).
#ifdef _WIN32
inline constexpr const char* kWallpaperFileExtension = "bmp";
#else
inline constexpr const char* kWallpaperFileExtension = "png";
#endif

class WallpaperSetter {
public:
    virtual ~WallpaperSetter() = default;
    // `picture` is the file's content, for a setter that paints it itself. An error says
    // why the desktop could not be changed, in words for the user.
    virtual Status setWallpaper(const std::string& imagePath, const QImage& picture) = 0;
};

// The desktop the user runs, found from the environment when a change is asked for.
class DesktopWallpaperSetter final : public WallpaperSetter {
public:
    // A desktop tool that takes longer than this is taken to hang and reported.
    static constexpr std::chrono::milliseconds kToolTimeout{5000};

    explicit DesktopWallpaperSetter(std::chrono::milliseconds timeout = kToolTimeout) : m_timeout(timeout) {}
    Status setWallpaper(const std::string& imagePath, const QImage& picture) override;

private:
    std::chrono::milliseconds m_timeout;
};

// Paints the root window of `displayName` (empty: $DISPLAY) with the picture centred on black and
// publishes the pixmap (_XROOTPMAP_ID, ESETROOT_PMAP_ID) so it outlives our connection.
Status paintRootWindow(const QImage& picture, const std::string& displayName = {});

} // namespace quillmark
