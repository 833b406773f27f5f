#include "wallpaper/fit.h"

#include <gtest/gtest.h>

namespace quillmark {
namespace {

TEST(FitPicture, ShrinkAndStretchGiveTheSizesUsersHaveAlwaysSeen) {
    struct Case {
        PixelSize picture;
        PixelSize screen;
        FitOptions options;
        PixelSize expected;
    };
    const FitOptions shrink{true, false};
    const FitOptions stretch{false, true};
    const FitOptions both{true, true};
    const FitOptions neither{false, false};
    const Case cases[] = {
        {{2000, 1000}, {1024, 768}, shrink, {1024, 512}},
        {{400, 300}, {1024, 768}, stretch, {1024, 768}},
        {{400, 300}, {1024, 768}, shrink, {400, 300}},
        {{1024, 768}, {1024, 768}, both, {1024, 768}},
        {{3000, 2000}, {1024, 768}, shrink, {1024, 683}},
        // Wider than the screen's shape: the height limits.
        {{1200, 1000}, {1024, 768}, shrink, {922, 768}},
        {{1000, 2000}, {1024, 768}, shrink, {384, 768}},
        {{300, 400}, {1024, 768}, stretch, {576, 768}},
        {{400, 100}, {1024, 768}, stretch, {1024, 256}},
        // Only one side smaller: stretch leaves it, shrink fits it.
        {{2000, 500}, {1024, 768}, stretch, {2000, 500}},
        {{2000, 500}, {1024, 768}, both, {1024, 256}},
        {{2000, 1000}, {1024, 768}, neither, {2000, 1000}},
        // 512.5 pixels high: halves round to even.
        {{2000, 1000}, {1025, 768}, shrink, {1025, 512}},
        // A sliver keeps at least one pixel.
        {{100000, 10}, {1024, 768}, shrink, {1024, 1}},
    };
    for (const Case& c : cases) {
        const PixelSize got = fitPicture(c.picture, c.screen, c.options);
        EXPECT_EQ(got, c.expected) << c.picture.width << "x" << c.picture.height << " on " << c.screen.width
                                   << "x" << c.screen.height << " gave " << got.width << "x" << got.height;
    }
}

TEST(FitPicture, PortraitPictureOnPortraitScreenNeverOverflows) {
    // Fitting the height alone would make this 922 pixels wide on a 768 wide screen.
    EXPECT_EQ(fitPicture({900, 1000}, {768, 1024}, {true, false}), (PixelSize{768, 853}));
    for (int w = 500; w <= 3000; w += 37) {
        for (int h = 500; h <= 3000; h += 41) {
            for (const PixelSize screen :
                 {PixelSize{768, 1024}, PixelSize{1920, 1080}, PixelSize{1080, 1920}}) {
                const PixelSize got = fitPicture({w, h}, screen, {true, true});
                ASSERT_LE(got.width, screen.width) << w << "x" << h;
                ASSERT_LE(got.height, screen.height) << w << "x" << h;
            }
        }
    }
}

TEST(FitPicture, EmptySizesGiveNothingToDraw) {
    EXPECT_EQ(fitPicture({0, 0}, {1024, 768}, {true, true}), (PixelSize{0, 0}));
    EXPECT_EQ(fitPicture({100, 0}, {1024, 768}, {true, true}), (PixelSize{100, 0}));
    EXPECT_EQ(fitPicture({100, 100}, {0, 0}, {true, true}), (PixelSize{100, 100}));
    // Sizes far beyond any picture still give a size, not an overflow.
    EXPECT_EQ(fitPicture({2147483647, 1}, {1024, 768}, {false, false}), (PixelSize{2147483647, 1}));
    EXPECT_EQ(fitPicture({2147483647, 2147483647}, {1024, 768}, {true, false}), (PixelSize{768, 768}));
}

} // namespace
} // namespace quillmark
