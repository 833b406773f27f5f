#include "platform/paths.h"

#include "support/temp_folder.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace quillmark {
namespace {

using test::TempFolder;

TEST(Paths, FolderFileNameAndListHelpers) {
    TempFolder tmp;
    test::spit(tmp.file("plain"), "x");
    EXPECT_EQ(stripTrailingBackslash("/"), "/") << "the root stays a path";
    std::string folder = tmp.path() + "/", file = tmp.file("plain");
    EXPECT_TRUE(folderExists(folder));
    EXPECT_EQ(folder, tmp.path()) << "the caller's path loses its trailing separator";
    EXPECT_FALSE(folderExists(file));
    EXPECT_EQ(folderOfPath(tmp.file("b.bmp")), tmp.path());
    EXPECT_EQ(folderOfPath(tmp.file("plain") + "/b.bmp"), tmp.file("plain")) << "any entry counts";
    EXPECT_EQ(folderOfPath(tmp.file("missing") + "/b.bmp"), "");
    EXPECT_EQ(folderOfPath(tmp.path() + "/pl*/b.bmp"), tmp.path() + "/pl*") << "a matching pattern counts";
    EXPECT_EQ(folderOfPath(""), "");
    EXPECT_EQ(folderOfPath("readme.txt"), "");
    EXPECT_EQ(folderOfPath("/a"), "/");
    EXPECT_EQ(fileNameOfPath("readme.txt"), "");
    EXPECT_EQ(fileNameOfPath("/a/b.bmp"), "b.bmp");
}

TEST(Paths, FileExistsMatchesWildcardsInTheLastElement) {
    TempFolder tmp;
    for (const char* name : {"sig.txt", "Work.html", ".hidden", "Makefile", "a*b"})
        test::spit(tmp.file(name), "x");
    std::filesystem::create_directory(tmp.file("Sigs"));
    std::filesystem::create_directory(tmp.file("empty"));
    const struct {
        std::string path;
        bool exists;
    } cases[] = {
        {tmp.file("sig.txt"), true},
        {tmp.file("*.txt"), true},
        {tmp.file("s?g.txt"), true},
        {tmp.file("s?.txt"), false},
        {tmp.file("sig.txt?"), false},
        {tmp.file("sig.txt*"), true},
        {tmp.file("*.bmp"), false},
        {tmp.file("*"), true},
        {tmp.file("*.*"), true},
        {tmp.file("Make*.*"), true},
        {tmp.file("sig.*"), true},
        {tmp.file("Si*"), true},
        {tmp.file("WORK.html"), false},
        {tmp.file("*.hid*"), true},
        {tmp.file(".h*"), true},
        {tmp.file("a*"), true},
        {tmp.file("*q*"), false},
        {tmp.file("W*k.h*l"), true},
        {tmp.file("empty/*"), false},
        {tmp.file("missing/*"), false},
        {tmp.file("Sigs"), true},
        {tmp.file("missing"), false},
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fileExists(c.path), c.exists) << c.path;
}

} // namespace
} // namespace quillmark
