#pragma once
// Words the Wallpaper tab shows about a picture, and where the rendered picture goes.

#include "base/result.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace quillmark {

// "[800x600, displayed in 24 bit colour]", "[640x480, displayed in 256 colours]".
std::string dimensionsCaption(int width, int height, int bitsPerPixel);

// Pictures above this many pixels are refused before they are decoded: at four bytes a
// pixel, decoding one could take several hundred megabytes.
inline constexpr std::int64_t kMaxPicturePixels = 100'000'000;
// Null when the picture may be decoded; else the reason, for the user.
Status checkPictureSize(std::int64_t width, std::int64_t height);

// The rendered wallpaper alternates between two names in the program folder: some desktops miss
// a rewrite of the file they show, and a temporary folder's picture would vanish when it is cleaned.
struct WallpaperFiles {
    std::string next;  // write the new picture here
    std::string older; // remove this once the desktop shows the new one
};
// `modified` gives a file's modification time, none when the file is missing. The new picture
// goes under the missing name, or over the older of the two, never over the one shown now.
WallpaperFiles wallpaperFiles(const std::string& programFolder, const std::string& extension,
                              const std::function<std::optional<std::int64_t>(const std::string&)>& modified);

} // namespace quillmark
