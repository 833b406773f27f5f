#pragma once
// The size a wallpaper picture is drawn at, from its own size, the screen's and the two
// fitting options. The arithmetic runs in twips (1/1440 inch) and single precision, as
// the program has always fitted pictures, so a picture gets the same size it always got.

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

// Shrink: a picture larger than the screen either way is scaled down, keeping its
// proportions, to fit the screen. Stretch: a picture smaller than the screen both ways is
// scaled up until it meets the screen's edges. Neither rule applying leaves the natural
// size. The result never exceeds the screen when a rule applied, and is at least 1 x 1.
PixelSize fitPicture(PixelSize picture, PixelSize screen, FitOptions options,
                     int twipsPerPixel = kTwipsPerPixel);

} // namespace quillmark
