#include "wallpaper/wallpaper_list.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace quillmark {
namespace {

using test::slurp;
using Entries = PathList;

TEST(WallpaperList, ReadsEveryLineEndAndLeavesOutLinesThatNameNoFile) {
    using namespace std::string_literals;
    const std::string longLine(10000, 'x');
    const WallpaperList list =
        parseWallpaperList("/p/a.jpg\r\n/p/B.JPG\r/p/c d.png\n\n/p/\0x.png\r\n"s + longLine);
    EXPECT_EQ(list.entries, (Entries{"/p/a.jpg", "/p/B.JPG", "/p/c d.png", longLine}));
    EXPECT_EQ(list.skippedLines, 2u);
}

TEST(WallpaperList, SavesWithTheLineEndAndReadsBack) {
    test::TempFolder dir;
    const std::string path = dir.file("wallpaper.lst");
    EXPECT_EQ(loadWallpaperList(path).code(), ErrorCode::NotFound);
    ASSERT_TRUE(saveWallpaperList(path, {"/p/One.jpg", "/p/two words.png"}));
    EXPECT_EQ(slurp(path), "/p/One.jpg\n/p/two words.png\n");
    EXPECT_EQ(loadWallpaperList(path)->entries, (Entries{"/p/One.jpg", "/p/two words.png"}));
    // An emptied list is written, so removed pictures do not come back at the next start.
    ASSERT_TRUE(saveWallpaperList(path, {}));
    EXPECT_EQ(slurp(path), "");
#ifndef _WIN32 // Windows folders have no permission bits that refuse new files; root writes anyway
    if (::geteuid() == 0)
        return;
    test::spit(path, "/p/kept.jpg\r\n");
    ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
    EXPECT_FALSE(saveWallpaperList(path, {"/p/new.jpg"}));
    ::chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(slurp(path), "/p/kept.jpg\r\n") << "a failed save leaves the old list whole";
#endif
}

TEST(WallpaperList, AddingKeepsLetterCaseAndSkipsExactDuplicates) {
    Entries list{"/Pictures/Sea.jpg"};
    EXPECT_EQ(addUniquePaths(list, {"/Pictures/sea.jpg", "/Pictures/Sea.jpg", "/Pictures/Hill.PNG", ""}), 2u);
    EXPECT_EQ(list, (Entries{"/Pictures/Sea.jpg", "/Pictures/sea.jpg", "/Pictures/Hill.PNG"}));
}

TEST(WallpaperList, DeletionSelectsTheEntryNowAtTheLastRemovedIndex) {
    const struct {
        std::vector<std::size_t> selected;
        Entries left;
        std::optional<std::size_t> select;
    } cases[] = {
        // The second and fourth of six: the fifth is selected, at the index of the last removal.
        {{1, 3}, {"a", "c", "e", "f"}, 2},    {{3, 1, 3}, {"a", "c", "e", "f"}, 2},
        {{5}, {"a", "b", "c", "d", "e"}, {}}, {{0, 1, 2, 3, 4, 5}, {}, {}},
        {{0}, {"b", "c", "d", "e", "f"}, 0},  {{9}, {"a", "b", "c", "d", "e", "f"}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << &c - cases);
        Entries list{"a", "b", "c", "d", "e", "f"};
        const Deletion d = deleteSelected(list, c.selected);
        EXPECT_EQ(list, c.left);
        EXPECT_EQ(d.removed, 6 - c.left.size());
        EXPECT_EQ(d.select, c.select);
    }
}

TEST(WallpaperList, RandomPickIsUniformOverTheFilesThatAreThere) {
    const Entries list{"gone1", "here1", "gone2", "here2"};
    const std::pair<float, std::size_t> picks[] = {
        {0.0f, 1}, {0.49f, 1}, {0.5f, 3}, {0.99999994f, 3}, {1.5f, 3}};
    for (const auto& [r, index] : picks)
        EXPECT_EQ(pickUsableEntry(list, r, [](std::string_view p) { return p.starts_with("here"); }), index)
            << r;
}

} // namespace
} // namespace quillmark
