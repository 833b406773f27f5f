// Where the program keeps its files on Windows, and the settings file written there.
#include "platform/app_folders.h"
#include "platform/file_io.h"
#include "platform/sample_files.h"
#include "platform/windows/app_folders_windows.h"
#include "platform/windows/win_text.h"
#include "settings/settings.h"

#include "support/temp_folder.h"

#include <windows.h>

#include <filesystem>
#include <gtest/gtest.h>

namespace quillmark {
namespace {

using test::TempFolder;

TEST(AppFoldersWindows, TheSettingsFileLivesInTheUsersApplicationData) {
    TempFolder tmp;
    test::isolateHome(tmp.path());
    const std::string appData = environmentValue("APPDATA");
    EXPECT_EQ(settingsFilePath(), appData + "\\Quillmark\\Quillmark.INI");

    // Written through the same INI engine as everywhere, with Windows line ends.
    {
        Settings settings(settingsFilePath());
        settings.writeIni("Settings", "Sig Separator Character", "%");
        settings.writeIni("User", "Last Profile", "Work");
    }
    const std::string written = test::slurp(settingsFilePath());
    EXPECT_NE(written.find("SIG SEPARATOR CHARACTER=%\r\n"), std::string::npos) << written;
    EXPECT_EQ(written.find("\r\r"), std::string::npos);
    for (size_t at = written.find('\n'); at != std::string::npos; at = written.find('\n', at + 1))
        EXPECT_EQ(written[at - 1], '\r') << "every line ends in CR LF";
}

TEST(AppFoldersWindows, VariablesWithLettersOutsideTheCodePageReadBackWhole) {
    ASSERT_TRUE(::SetEnvironmentVariableW(L"QUILLMARK_TEST_NAME", L"J\u00FCrgen \u65E5\u672C"));
    EXPECT_EQ(environmentValue("QUILLMARK_TEST_NAME"), "J\xC3\xBCrgen \xE6\x97\xA5\xE6\x9C\xAC");
    ::SetEnvironmentVariableW(L"QUILLMARK_TEST_NAME", nullptr);
    EXPECT_EQ(environmentValue("QUILLMARK_TEST_NAME"), "");
}

TEST(AppFoldersWindows, TheProgramFolderIsTheExecutablesUnlessTheUserCannotWriteThere) {
    TempFolder tmp;
    test::isolateHome(tmp.path());
    const std::string beside = win::executableFolder();
    ASSERT_FALSE(beside.empty());
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(win::widePath(beside)) / "core_tests.exe"));
    EXPECT_EQ(programFolder(), beside) << "the build folder is writable";
    EXPECT_FALSE(
        std::filesystem::exists(std::filesystem::path(win::widePath(beside)) / ".quillmark-write-test"))
        << "the probe file is removed";

    // A folder the user cannot create files in, as "C:\Program Files" is for a normal user
    // (Wine gives no such folder, so one that does not exist stands in for it).
    EXPECT_EQ(win::programFolderFor(tmp.file("Program Files\\Quillmark")),
              environmentValue("LOCALAPPDATA") + "\\Quillmark");
    EXPECT_EQ(helpFolder(beside), beside + "\\Help");
}

TEST(AppFoldersWindows, SampleFilesAreCopiedBetweenFoldersWithNonAsciiNames) {
    TempFolder tmp;
    const std::string from = tmp.file("Beispiele \xC3\xA4");
    const std::string to = tmp.file("J\xC3\xBCrgen\\Sigs");
    ASSERT_TRUE(makeFolders(from).ok());
    ASSERT_TRUE(writeFileAtomic(from + "\\Gr\xC3\xBC\xC3\x9F"
                                       "e.txt",
                                "Hallo\r\n")
                    .ok());
    ASSERT_TRUE(makeFolders(to).ok());
    ASSERT_TRUE(writeFileAtomic(to + "\\mine.txt", "own").ok());
    copyMissingFiles(from, to);
    EXPECT_EQ(readFile(to + "\\Gr\xC3\xBC\xC3\x9F"
                            "e.txt")
                  .value(),
              "Hallo\r\n");
    EXPECT_EQ(readFile(to + "\\mine.txt").value(), "own");
}

} // namespace
} // namespace quillmark
