#include "platform/platform.h"
#include "wallpaper/fit.h"
#include "wallpaper/picture_facts.h"

#include <gtest/gtest.h>

namespace quillmark {
namespace {

TEST(FitPicture, ShrinkAndStretchGiveTheSizesUsersHaveAlwaysSeen) {
    const FitOptions shrink{true, false}, stretch{false, true}, both{true, true};
    const struct {
        PixelSize picture, screen;
        FitOptions options;
        PixelSize expected;
    } cases[] = {
        {{1200, 1000}, {1024, 768}, shrink, {922, 768}},
        {{300, 400}, {1024, 768}, stretch, {576, 768}},
        {{400, 100}, {1024, 768}, stretch, {1024, 256}},
        {{2000, 500}, {1024, 768}, stretch, {2000, 500}},
        {{2000, 1000}, {1025, 768}, shrink, {1025, 512}}, // 512.5 high: halves round to even
        {{900, 1000}, {768, 1024}, shrink, {768, 853}},   // fitting the height alone overflows
        {{100, 0}, {1024, 768}, both, {100, 0}},
        {{2147483647, 2147483647}, {1024, 768}, shrink, {768, 768}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << &c - cases);
        const PixelSize got = fitPicture(c.picture, c.screen, c.options);
        EXPECT_EQ(got, c.expected) << got.width << "x" << got.height;
    }
}

TEST(PictureFacts, HugePicturesAreRefused) {
    EXPECT_TRUE(checkPictureSize(10000, 10000));
    EXPECT_FALSE(checkPictureSize(10000, 10001));
    EXPECT_FALSE(checkPictureSize(2147483647, 2147483647));
    EXPECT_FALSE(checkPictureSize(0, 100));
}

TEST(PictureFacts, WallpaperFilesAlternateAndNeverOverwriteTheShownOne) {
    const std::string a = "/q" + std::string(1, kPathSeparator) + "QuillmarkWallpaper.png";
    const std::string b = "/q" + std::string(1, kPathSeparator) + "QuillmarkWallpaper2.png";
    // When both are left behind, the newer one is what the desktop shows.
    const struct {
        std::int64_t timeA, timeB; // 0: no such file
        std::string next;
    } cases[] = {{0, 0, a}, {5, 0, b}, {5, 9, a}, {9, 5, b}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.timeA << " " << c.timeB);
        const WallpaperFiles got = wallpaperFiles("/q", "png", [&](const std::string& p) {
            const std::int64_t changed = p == a ? c.timeA : c.timeB;
            return changed ? std::optional(changed) : std::nullopt;
        });
        EXPECT_EQ(got.next, c.next);
        EXPECT_EQ(got.older, c.next == a ? b : a);
    }
}

} // namespace
} // namespace quillmark
