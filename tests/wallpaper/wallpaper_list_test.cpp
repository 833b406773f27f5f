#include "wallpaper/wallpaper_list.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace quillmark {
namespace {

using test::slurp;
using test::spit;
using test::TempFolder;
using Entries = PathList;

TEST(WallpaperList, ReadsEveryLineEndAndLeavesOutLinesThatNameNoFile) {
    using namespace std::string_literals;
    const std::string bytes = "/p/a.jpg\r\n/p/B.JPG\r/p/c d.png\n\n/p/\0x.png\r\n/p/last.gif"s;
    const WallpaperList list = parseWallpaperList(bytes);
    EXPECT_EQ(list.entries, (Entries{"/p/a.jpg", "/p/B.JPG", "/p/c d.png", "/p/last.gif"}));
    EXPECT_EQ(list.skippedLines, 2u);
    EXPECT_TRUE(parseWallpaperList("").entries.empty());
    EXPECT_EQ(parseWallpaperList("/a\r\n").entries, (Entries{"/a"}));
    const std::string longLine(10000, 'x');
    EXPECT_EQ(parseWallpaperList(longLine + "\n").entries, (Entries{longLine}));
}

TEST(WallpaperList, SavesWithTheLineEndAndReadsBack) {
    TempFolder dir;
    const std::string path = dir.file("wallpaper.lst");
    EXPECT_EQ(loadWallpaperList(path).code(), ErrorCode::NotFound);
    ASSERT_TRUE(saveWallpaperList(path, {"/p/One.jpg", "/p/two words.png"}));
    EXPECT_EQ(slurp(path), "/p/One.jpg\n/p/two words.png\n");
    Result<WallpaperList> back = loadWallpaperList(path);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->entries, (Entries{"/p/One.jpg", "/p/two words.png"}));

    // An emptied list is written, so removed pictures do not come back at the next start.
    ASSERT_TRUE(saveWallpaperList(path, {}));
    EXPECT_EQ(slurp(path), "");
}

TEST(WallpaperList, AFailedSaveLeavesTheOldListWhole) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows folders have no permission bits that refuse new files";
#else
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    TempFolder dir;
    const std::string folder = dir.file("ro");
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    const std::string path = folder + "/wallpaper.lst";
    spit(path, "/p/kept.jpg\r\n");
    ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
    EXPECT_FALSE(saveWallpaperList(path, {"/p/new.jpg"}));
    ::chmod(folder.c_str(), 0755);
    EXPECT_EQ(slurp(path), "/p/kept.jpg\r\n");
#endif
}

TEST(WallpaperList, CountCaption) {
    EXPECT_EQ(wallpaperCountCaption(0), "0 wallpaper files");
    EXPECT_EQ(wallpaperCountCaption(1), "1 wallpaper file");
    EXPECT_EQ(wallpaperCountCaption(12), "12 wallpaper files");
}

TEST(WallpaperList, AddingKeepsLetterCaseAndSkipsExactDuplicates) {
    Entries list{"/Pictures/Sea.jpg"};
    EXPECT_EQ(addUniquePaths(list, {"/Pictures/sea.jpg", "/Pictures/Sea.jpg", "/Pictures/Hill.PNG", ""}), 2u);
    EXPECT_EQ(list, (Entries{"/Pictures/Sea.jpg", "/Pictures/sea.jpg", "/Pictures/Hill.PNG"}));
}

TEST(WallpaperList, DeletionSelectsTheEntryNowAtTheLastRemovedIndex) {
    struct Case {
        std::vector<std::size_t> selected;
        Entries left;
        std::size_t removed;
        std::optional<std::size_t> select;
    };
    const Case cases[] = {
        // The second and fourth of six: the fifth is selected, at the index of the last removal.
        {{1, 3}, {"a", "c", "e", "f"}, 2, 2},
        {{3, 1, 3}, {"a", "c", "e", "f"}, 2, 2},
        {{5}, {"a", "b", "c", "d", "e"}, 1, std::nullopt},
        {{0, 1, 2, 3, 4, 5}, {}, 6, std::nullopt},
        {{0}, {"b", "c", "d", "e", "f"}, 1, 0},
        {{}, {"a", "b", "c", "d", "e", "f"}, 0, std::nullopt},
        {{9}, {"a", "b", "c", "d", "e", "f"}, 0, std::nullopt},
    };
    for (const Case& c : cases) {
        Entries list{"a", "b", "c", "d", "e", "f"};
        const Deletion d = deleteSelected(list, c.selected);
        EXPECT_EQ(list, c.left);
        EXPECT_EQ(d.removed, c.removed);
        EXPECT_EQ(d.select, c.select);
    }
}

TEST(WallpaperList, RandomPickSkipsFilesThatAreGone) {
    const Entries list{"gone1", "here1", "gone2", "here2"};
    const auto here = [](std::string_view p) {
        return p.starts_with("here");
    };
    EXPECT_EQ(pickUsableEntry(list, 0.0f, here), 1u);
    EXPECT_EQ(pickUsableEntry(list, 0.49f, here), 1u);
    EXPECT_EQ(pickUsableEntry(list, 0.5f, here), 3u);
    EXPECT_EQ(pickUsableEntry(list, 0.99999994f, here), 3u);
    EXPECT_EQ(pickUsableEntry(list, 1.5f, here), 3u);
    EXPECT_EQ(pickUsableEntry(list, 0.5f, [](std::string_view) { return false; }), std::nullopt);
    EXPECT_EQ(pickUsableEntry({}, 0.5f, here), std::nullopt);
}

} // namespace
} // namespace quillmark
