#include "wallpaper/fit.h"

#include <gtest/gtest.h>

namespace quillmark {
namespace {

TEST(FitPicture, ShrinkAndStretchGiveTheSizesUsersHaveAlwaysSeen) {
    const FitOptions shrink{true, false}, stretch{false, true}, both{true, true}, neither{false, false};
    const struct {
        PixelSize picture, screen;
        FitOptions options;
        PixelSize expected;
    } cases[] = {
        {{2000, 1000}, {1024, 768}, shrink, {1024, 512}},
        {{400, 300}, {1024, 768}, stretch, {1024, 768}},
        {{1200, 1000}, {1024, 768}, shrink, {922, 768}},
        {{300, 400}, {1024, 768}, stretch, {576, 768}},
        {{400, 100}, {1024, 768}, stretch, {1024, 256}},
        {{2000, 500}, {1024, 768}, stretch, {2000, 500}},
        {{2000, 500}, {1024, 768}, both, {1024, 256}},
        {{2000, 1000}, {1024, 768}, neither, {2000, 1000}},
        {{2000, 1000}, {1025, 768}, shrink, {1025, 512}}, // 512.5 high: halves round to even
        {{900, 1000}, {768, 1024}, shrink, {768, 853}},   // fitting the height alone overflows
        {{100000, 10}, {1024, 768}, shrink, {1024, 1}},
        {{100, 0}, {1024, 768}, both, {100, 0}},
        {{2147483647, 2147483647}, {1024, 768}, shrink, {768, 768}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.picture.width << "x" << c.picture.height << " on "
                                        << c.screen.width << "x" << c.screen.height);
        const PixelSize got = fitPicture(c.picture, c.screen, c.options);
        EXPECT_EQ(got, c.expected) << got.width << "x" << got.height;
    }
    // Whatever its shape, a fitted picture never overflows the screen.
    for (const PixelSize screen : {PixelSize{768, 1024}, PixelSize{1920, 1080}, PixelSize{1080, 1920}})
        for (int w = 500; w <= 3000; w += 37)
            for (int h = 500; h <= 3000; h += 41) {
                const PixelSize got = fitPicture({w, h}, screen, both);
                ASSERT_TRUE(got.width <= screen.width && got.height <= screen.height) << w << "x" << h;
            }
}

} // namespace
} // namespace quillmark
