#include "platform/documents.h"
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
    EXPECT_EQ(folderOfPath("/a"), "/");
    EXPECT_EQ(fileNameOfPath("readme.txt"), "");
    EXPECT_EQ(fileNameOfPath("/a/b.bmp"), "b.bmp");
}

TEST(Paths, FileExistsMatchesWildcardsInTheLastElement) {
    TempFolder tmp;
    for (const char* name : {"sig.txt", "Work.html", ".hidden", "Makefile"})
        test::spit(tmp.file(name), "x");
    std::filesystem::create_directory(tmp.file("empty"));
    const std::pair<std::string, bool> cases[] = {
        {"sig.txt", true}, {"s?g.txt", true},  {"s?.txt", false},    {"sig.txt?", false}, {"sig.txt*", true},
        {"*.bmp", false},  {"Make*.*", true},  {"WORK.html", false}, {".h*", true},       {"*q*", false},
        {"W*k.h*l", true}, {"empty/*", false}, {"missing/*", false}, {"empty", true},     {"missing", false},
    };
    for (const auto& [name, exists] : cases)
        EXPECT_EQ(fileExists(tmp.file(name)), exists) << name;
    EXPECT_FALSE(fileExists(""));
}

// The ends and the gaps of the table: a shifted index or a missing bound shows here.
TEST(Documents, FailureCodesHaveTheirMessageAndUnknownOnesNone) {
    const std::pair<int, std::string_view> cases[] = {
        {0, "Unknown error"},  {2, "File not found"},
        {25, "Unknown error"}, {26, "A sharing violation occurred"},
        {32, "DLL not found"}, {33, ""},
    };
    for (const auto& [code, text] : cases)
        EXPECT_EQ(shellErrorText(code), text) << code;
}

} // namespace
} // namespace quillmark
