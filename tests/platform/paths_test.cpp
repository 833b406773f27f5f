#include "platform/paths.h"
#include "support/temp_folder.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace quillmark {
namespace {

using test::TempFolder;

TEST(Paths, FolderAndFileNameOfAPath) {
    TempFolder tmp;
    test::spit(tmp.file("plain"), "x");
    std::string folder = tmp.path() + "/";
    EXPECT_TRUE(folderExists(folder));
    EXPECT_EQ(folder, tmp.path()) << "the caller's path loses its trailing separator";
    EXPECT_EQ(stripTrailingBackslash("/"), "/") << "the root stays a path";
    EXPECT_EQ(folderOfPath(tmp.file("plain") + "/b.bmp"), tmp.file("plain")) << "any entry counts";
    EXPECT_EQ(folderOfPath(tmp.file("missing") + "/b.bmp"), "");
    EXPECT_EQ(fileNameOfPath("/a/b.bmp"), "b.bmp");
}

TEST(Paths, FileExistsMatchesWildcardsInTheLastElement) {
    TempFolder tmp;
    for (const char* name : {"sig.txt", "Work.html", "Makefile"})
        test::spit(tmp.file(name), "x");
    std::filesystem::create_directory(tmp.file("empty"));
    const bool anyCase = test::kOnWindows; // Windows compares names without case
    const std::pair<std::string, bool> cases[] = {
        {"s?g.txt", true},      {"s?.txt", false}, {"sig.txt?", false}, {"Make*.*", true},
        {"WORK.html", anyCase}, {"W*k.h*l", true}, {"empty/*", false},  {"missing", false},
    };
    for (const auto& [name, exists] : cases)
        EXPECT_EQ(fileExists(tmp.file(name)), exists) << name;
    EXPECT_FALSE(fileExists(""));
}

} // namespace
} // namespace quillmark
