#include "wallpaper/wallpaper_list.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace quillmark {
namespace {

TEST(WallpaperList, ReadsEveryLineEndAndLeavesOutLinesThatNameNoFile) {
    using namespace std::string_literals;
    const std::string longLine(10000, 'x');
    const WallpaperList list =
        parseWallpaperList("/p/a.jpg\r\n/p/B.JPG\r/p/c d.png\n\n/p/\0x.png\r\n"s + longLine);
    EXPECT_EQ(list.entries, (PathList{"/p/a.jpg", "/p/B.JPG", "/p/c d.png", longLine}));
    EXPECT_EQ(list.skippedLines, 2u);
}

TEST(WallpaperList, AnEmptiedListIsWrittenSoRemovedPicturesStayAway) {
    test::TempFolder dir;
    ASSERT_TRUE(saveWallpaperList(dir.file("wallpaper.lst"), {"/p/One.jpg"}));
    ASSERT_TRUE(saveWallpaperList(dir.file("wallpaper.lst"), {}));
    EXPECT_EQ(test::slurp(dir.file("wallpaper.lst")), "");
}

TEST(WallpaperList, AddingKeepsLetterCaseAndSkipsExactDuplicates) {
    PathList list{"/Pictures/Sea.jpg"};
    EXPECT_EQ(addUniquePaths(list, {"/Pictures/sea.jpg", "/Pictures/Sea.jpg", "/Pictures/Hill.PNG", ""}),
              test::kOnWindows ? 1u : 2u); // Windows compares file names without case
    EXPECT_EQ(list,
              (test::kOnWindows ? PathList{"/Pictures/Sea.jpg", "/Pictures/Hill.PNG"}
                                : PathList{"/Pictures/Sea.jpg", "/Pictures/sea.jpg", "/Pictures/Hill.PNG"}));
}

TEST(WallpaperList, DeletionSelectsTheEntryNowAtTheLastRemovedIndex) {
    // The second and fourth of six, given unsorted, twice and with one past the end: "e" is selected.
    PathList list{"a", "b", "c", "d", "e", "f"};
    Deletion d = deleteSelected(list, {3, 1, 3, 9});
    EXPECT_EQ(list, (PathList{"a", "c", "e", "f"}));
    EXPECT_EQ(d.removed, 2u);
    EXPECT_EQ(d.select, 2u);
    d = deleteSelected(list, {3});
    EXPECT_EQ(d.select, std::nullopt) << "the last entry removed: nothing after it to select";
}

TEST(WallpaperList, RandomPickIsUniformOverTheFilesThatAreThere) {
    const PathList list{"gone1", "here1", "gone2", "here2"};
    const std::pair<float, std::size_t> picks[] = {{0.0f, 1}, {0.49f, 1}, {0.5f, 3}, {1.5f, 3}};
    for (const auto& [r, index] : picks)
        EXPECT_EQ(pickUsableEntry(list, r, [](std::string_view p) { return p.starts_with("here"); }), index)
            << r;
    EXPECT_EQ(pickUsableEntry(list, 0.5f, [](std::string_view) { return false; }), std::nullopt);
}

} // namespace
} // namespace quillmark
