#include "wallpaper/fit.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quillmark {

namespace {

// Twips to whole pixels, halves to even (the default rounding mode).
int toPixels(float twips, int twipsPerPixel) {
    const float pixels = std::nearbyint(twips / static_cast<float>(twipsPerPixel));
    // Past the largest int the conversion would be undefined.
    if (!(pixels < 2147483648.0f))
        return std::numeric_limits<int>::max();
    return std::max(1, static_cast<int>(pixels));
}

} // namespace

PixelSize fitPicture(PixelSize picture, PixelSize screen, FitOptions options, int twipsPerPixel) {
    const int W = picture.width;
    const int H = picture.height;
    const int SW = screen.width;
    const int SH = screen.height;
    if (W <= 0 || H <= 0 || SW <= 0 || SH <= 0 || twipsPerPixel <= 0)
        return {std::max(W, 0), std::max(H, 0)};
    const float tpp = static_cast<float>(twipsPerPixel);
    const float R = static_cast<float>(W) / static_cast<float>(H);
    const float screenWidth = static_cast<float>(SW) * tpp;
    const float screenHeight = static_cast<float>(SH) * tpp;

    float workWidth = static_cast<float>(W) * tpp;
    float workHeight = static_cast<float>(H) * tpp;

    if (options.shrink && (H > SH || W > SW)) {
        if (R <= 1.0f) {
            workHeight = screenHeight;
            workWidth = workHeight * R;
            // A portrait picture on a portrait screen can still be too wide after its height fits.
            if (workWidth > screenWidth) {
                workWidth = screenWidth;
                workHeight = workWidth / R;
            }
        } else {
            workWidth = screenWidth;
            workHeight = workWidth / R;
            if (screenHeight < workHeight) {
                workHeight = screenHeight;
                workWidth = screenHeight * R;
            }
        }
    }

    if (options.stretch && H < SH && W < SW) {
        const float sw = static_cast<float>(SW);
        const float sh = static_cast<float>(SH);
        const bool widthLimits =
            R <= 1.0f ? sw <= static_cast<float>(sh * R) : static_cast<float>(sw / R) <= sh;
        if (widthLimits) {
            workWidth = screenWidth;
            workHeight = workWidth / R;
        } else {
            workHeight = screenHeight;
            workWidth = workHeight * R;
        }
    }

    return {toPixels(workWidth, twipsPerPixel), toPixels(workHeight, twipsPerPixel)};
}

} // namespace quillmark
