#include "wallpaper/picture_facts.h"

#include "platform/platform.h"

namespace quillmark {

std::string dimensionsCaption(int width, int height, int bitsPerPixel) {
    std::string out = "[" + std::to_string(width) + "x" + std::to_string(height) + ", displayed in ";
    if (bitsPerPixel >= 16)
        return out + std::to_string(bitsPerPixel) + " bit colour]";
    const long long colours = 1LL << (bitsPerPixel < 0 ? 0 : bitsPerPixel);
    return out + std::to_string(colours) + " colours]";
}

Status checkPictureSize(std::int64_t width, std::int64_t height) {
    if (width <= 0 || height <= 0)
        return Error{ErrorCode::InvalidInput, "the picture has no size"};
    if (width > kMaxPicturePixels / height)
        return Error{ErrorCode::TooLarge, "the picture is " + std::to_string(width) + " x " +
                                              std::to_string(height) +
                                              " pixels; Quillmark takes pictures of up to 100 megapixels"};
    return {};
}

WallpaperFiles
wallpaperFiles(const std::string& programFolder, const std::string& extension,
               const std::function<std::optional<std::int64_t>(const std::string&)>& modified) {
    const std::string first = programFolder + kPathSeparator + "QuillmarkWallpaper." + extension;
    const std::string second = programFolder + kPathSeparator + "QuillmarkWallpaper2." + extension;
    const auto firstTime = modified(first);
    const auto secondTime = modified(second);
    if (!firstTime)
        return {first, second};
    if (!secondTime || *secondTime < *firstTime)
        return {second, first};
    return {first, second};
}

} // namespace quillmark
