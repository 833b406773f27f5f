#include "wallpaper/picture_facts.h"

#include <gtest/gtest.h>
#include <map>

namespace quillmark {
namespace {

TEST(PictureFacts, DepthsFrom16BitsAreBitsAndBelowThemColours) {
    EXPECT_EQ(dimensionsCaption(10, 10, 16), "[10x10, displayed in 16 bit colour]");
    EXPECT_EQ(dimensionsCaption(10, 10, 4), "[10x10, displayed in 16 colours]");
}

TEST(PictureFacts, HugePicturesAreRefusedBeforeDecoding) {
    EXPECT_TRUE(checkPictureSize(10000, 10000));
    EXPECT_EQ(checkPictureSize(20000, 20000).message(),
              "the picture is 20000 x 20000 pixels; Quillmark takes pictures of "
              "up to 100 megapixels");
    EXPECT_FALSE(checkPictureSize(2147483647, 2147483647));
    EXPECT_FALSE(checkPictureSize(0, 100));
}

TEST(PictureFacts, WallpaperFilesAlternateAndNeverOverwriteTheShownOne) {
    const std::string a = "/q/QuillmarkWallpaper.png", b = "/q/QuillmarkWallpaper2.png";
    const struct {
        std::map<std::string, std::int64_t> files; // name and time of change
        std::string next;
    } cases[] = {
        {{}, a},
        {{{a, 5}}, b},
        {{{b, 5}}, a},
        // Both left behind: the newer one is what the desktop shows.
        {{{a, 5}, {b, 9}}, a},
        {{{a, 9}, {b, 5}}, b},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << &c - cases);
        const WallpaperFiles got = wallpaperFiles("/q", "png", [&](const std::string& p) {
            const auto it = c.files.find(p);
            return it == c.files.end() ? std::nullopt : std::optional<std::int64_t>(it->second);
        });
        EXPECT_EQ(got.next, c.next);
        EXPECT_EQ(got.older, c.next == a ? b : a);
    }
}

} // namespace
} // namespace quillmark
