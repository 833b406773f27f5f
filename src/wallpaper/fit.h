#pragma once
// The size a wallpaper is drawn at, from its size, the screen's and the two fitting options, in
// twips and single precision as the program has always fitted pictures.

namespace quillmark {

struct PixelSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

struct FitOptions {
    bool shrink = true;   // "Shrink to fit screen"
    bool stretch = false; // "Stretch to fit screen"
};

// Twips per pixel of a 96 dpi screen.
inline constexpr int kTwipsPerPixel = 15;

// Shrink: a picture larger than the screen either way is scaled down to fit, keeping its
// proportions. Stretch: one smaller both ways is scaled up to meet the screen's edges.
// Otherwise the natural size; never below 1 x 1.
PixelSize fitPicture(PixelSize picture, PixelSize screen, FitOptions options,
                     int twipsPerPixel = kTwipsPerPixel);

} // namespace quillmark
