#include "platform/windows_helpers.h"

#include "support/temp_folder.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace quillmark {
namespace {

using test::TempFolder;

TEST(WindowsHelpers, PathHelpers) {
    TempFolder tmp;
    std::filesystem::create_directory(tmp.file("a"));
    test::spit(tmp.file("plain"), "x");

    EXPECT_EQ(StripTrailingBackslash("/tmp/"), "/tmp");
    EXPECT_EQ(StripTrailingBackslash("/"), "/") << "the root stays a path";
    EXPECT_EQ(StripTrailingBackslash(""), "");

    EXPECT_TRUE(FileExists(tmp.file("plain")));
    EXPECT_TRUE(FileExists(tmp.file("a")));
    EXPECT_FALSE(FileExists(tmp.file("missing")));

    std::string folder = tmp.file("a") + "/";
    EXPECT_TRUE(DirExists(folder));
    EXPECT_EQ(folder, tmp.file("a")) << "the caller's path loses its trailing separator";
    std::string file = tmp.file("plain"), root = "/";
    EXPECT_FALSE(DirExists(file));
    EXPECT_TRUE(DirExists(root));
    EXPECT_EQ(root, "/");

    EXPECT_EQ(FolderOfPath(tmp.file("a") + "/b.bmp"), tmp.file("a"));
    EXPECT_EQ(FolderOfPath(tmp.file("missing") + "/b.bmp"), "");
    EXPECT_EQ(FolderOfPath(tmp.file("plain") + "/b.bmp"), "") << "a file is not a folder";
    EXPECT_EQ(FolderOfPath("readme.txt"), "");
    EXPECT_EQ(FolderOfPath("/a"), "/");

    EXPECT_EQ(FileNameOfPath("/a/b.bmp"), "b.bmp");
    EXPECT_EQ(FileNameOfPath("readme.txt"), "");
    EXPECT_EQ(FileNameOfPath("/a/"), "");
}

TEST(WindowsHelpers, AddUniqueListItemComparesExactly) {
    std::vector<std::string> list{"Work", "Home"};
    for (const char* item : {"Home", "home", "Work ", "home"})
        subAddUniqueListItem(item, list);
    EXPECT_EQ(list, (std::vector<std::string>{"Work", "Home", "home", "Work "}));
}

TEST(WindowsHelpers, ShellErrorText) {
    EXPECT_EQ(shellErrorText(2), "File not found");
    EXPECT_EQ(shellErrorText(31), "No association for file extension");
    EXPECT_EQ(shellErrorText(32), "DLL not found");
    EXPECT_EQ(shellErrorText(0), "Unknown error");
    EXPECT_EQ(shellErrorText(25), "Unknown error");
    EXPECT_EQ(shellErrorText(33), "") << "success has no error text";
}

class RunEntryTest : public ::testing::Test {
protected:
    void SetUp() override { test::isolateHome(m_home.path()); }
    bool add(const std::string& name, const std::string& data) {
        return SetRunEntry(name, data, true, RunEntryKind::Run, false);
    }
    TempFolder m_home;
    std::string m_entry = m_home.path() + "/config/autostart/Quillmark.desktop";
};

TEST_F(RunEntryTest, WritesAndRemovesTheAutostartEntry) {
    ASSERT_TRUE(add("Quillmark", "/usr/bin/quillmark"));
    EXPECT_EQ(test::slurp(m_entry), "[Desktop Entry]\nType=Application\nName=Quillmark\n"
                                    "Exec=/usr/bin/quillmark\nX-GNOME-Autostart-enabled=true\n");

    // A program folder with blanks and shell characters stays one argument.
    ASSERT_TRUE(add("Quillmark", "/opt/My Apps/100%/a$b\\quillmark"));
    EXPECT_NE(test::slurp(m_entry).find("\nExec=\"/opt/My Apps/100%%/a\\\\$b\\\\\\\\quillmark\"\n"),
              std::string::npos);

    EXPECT_TRUE(SetRunEntry("Quillmark", "", true, RunEntryKind::Run, true));
    EXPECT_FALSE(FileExists(m_entry));
    EXPECT_TRUE(SetRunEntry("Quillmark", "", true, RunEntryKind::Run, true)) << "nothing to remove";

    const std::string saved = std::getenv("XDG_CONFIG_HOME");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_TRUE(add("Quillmark", "/usr/bin/quillmark"));
    ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    EXPECT_TRUE(FileExists(m_home.path() + "/.config/autostart/Quillmark.desktop"));
}

TEST_F(RunEntryTest, RefusesWhatCannotBeAnAutostartEntry) {
    EXPECT_FALSE(SetRunEntry("Quillmark", "/usr/bin/quillmark", true, RunEntryKind::RunOnce, false));
    EXPECT_FALSE(SetRunEntry("Quillmark", "/usr/bin/quillmark", false, RunEntryKind::Run, false));
    EXPECT_FALSE(add("Quillmark", "/usr/bin/quillmark\nExec=/bin/evil"));
    EXPECT_FALSE(add("../Quillmark", "/usr/bin/quillmark"));
    EXPECT_FALSE(FileExists(m_entry));
    EXPECT_FALSE(FileExists(m_home.path() + "/config/Quillmark.desktop"));

    test::spit(m_home.path() + "/config/autostart", "a file where the folder belongs");
    EXPECT_FALSE(add("Quillmark", "/usr/bin/quillmark"));
}

} // namespace
} // namespace quillmark
