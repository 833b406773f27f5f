#include "wallpaper/picture_facts.h"

#include <gtest/gtest.h>
#include <map>

namespace quillmark {
namespace {

TEST(PictureFacts, DimensionsCaptionWording) {
    EXPECT_EQ(dimensionsCaption(800, 600, 24), "[800x600, displayed in 24 bit colour]");
    EXPECT_EQ(dimensionsCaption(640, 480, 8), "[640x480, displayed in 256 colours]");
    EXPECT_EQ(dimensionsCaption(10, 10, 16), "[10x10, displayed in 16 bit colour]");
    EXPECT_EQ(dimensionsCaption(10, 10, 4), "[10x10, displayed in 16 colours]");
    EXPECT_EQ(dimensionsCaption(10, 10, 1), "[10x10, displayed in 2 colours]");
}

TEST(PictureFacts, HugePicturesAreRefusedBeforeDecoding) {
    EXPECT_TRUE(checkPictureSize(6000, 4000));
    EXPECT_TRUE(checkPictureSize(10000, 10000));
    const Status huge = checkPictureSize(20000, 20000);
    ASSERT_FALSE(huge);
    EXPECT_EQ(huge.code(), ErrorCode::TooLarge);
    EXPECT_EQ(huge.message(),
              "the picture is 20000 x 20000 pixels; Quillmark takes pictures of up to 100 megapixels");
    EXPECT_FALSE(checkPictureSize(2147483647, 2147483647));
    EXPECT_FALSE(checkPictureSize(0, 100));
}

TEST(PictureFacts, WallpaperFilesAlternateAndNeverOverwriteTheShownOne) {
    const std::string a = "/q/QuillmarkWallpaper.png";
    const std::string b = "/q/QuillmarkWallpaper2.png";
    struct Case {
        std::map<std::string, std::int64_t> files;
        std::string next;
        std::string older;
    };
    const Case cases[] = {
        {{}, a, b},
        {{{a, 5}}, b, a},
        {{{b, 5}}, a, b},
        // Both left behind: the newer one is what the desktop shows.
        {{{a, 5}, {b, 9}}, a, b},
        {{{a, 9}, {b, 5}}, b, a},
    };
    for (const Case& c : cases) {
        const WallpaperFiles got =
            wallpaperFiles("/q", "png", [&](const std::string& p) -> std::optional<std::int64_t> {
                auto it = c.files.find(p);
                if (it == c.files.end())
                    return std::nullopt;
                return it->second;
            });
        EXPECT_EQ(got.next, c.next);
        EXPECT_EQ(got.older, c.older);
    }
}

} // namespace
} // namespace quillmark
