// Where the program keeps its files on Windows, and the shell that opens documents and sets
// the desktop picture.
#include "platform/app_folders.h"
#include "platform/file_io.h"
#include "platform/sample_files.h"
#include "platform/windows/app_folders_windows.h"
#include "platform/windows/shell.h"
#include "platform/windows/win_text.h"
#include "settings/settings.h"

#include "support/scoped_env.h"
#include "support/temp_folder.h"

#include <windows.h>

#include <filesystem>
#include <gtest/gtest.h>

namespace quillmark {
namespace {

using test::TempFolder;

TEST(AppFoldersWindows, SettingsInApplicationDataAndTheProgramFolderWhereTheUserCanWrite) {
    TempFolder tmp;
    test::isolateHome(tmp.path());
    EXPECT_EQ(settingsFilePath(), environmentValue("APPDATA") + "\\Quillmark\\Quillmark.INI");
    Settings(settingsFilePath()).writeIni("Settings", "Sig Separator Character", "%");
    EXPECT_EQ(test::slurp(settingsFilePath()), "[Settings]\r\nSIG SEPARATOR CHARACTER=%\r\n");

    const std::string beside = win::executableFolder();
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(win::widePath(beside)) / "core_tests.exe"))
        << beside;
    EXPECT_EQ(programFolder(), beside) << "the build folder is writable";
    // A folder the user cannot create files in, as "C:\Program Files" (one that does not exist here).
    EXPECT_EQ(win::programFolderFor(tmp.file("Program Files\\Quillmark")),
              environmentValue("LOCALAPPDATA") + "\\Quillmark");
    // Without HOME (as on most Windows machines) the cache must not land in the drive's root.
    test::ScopedEnv local("LOCALAPPDATA", tmp.path()), home("HOME", std::nullopt),
        cache("XDG_CACHE_HOME", std::nullopt);
    EXPECT_EQ(cacheFolder(), tmp.path() + "\\Quillmark\\Cache");
    ASSERT_TRUE(::SetEnvironmentVariableW(L"QUILLMARK_TEST_NAME", L"J\u00FCrgen \u65E5\u672C"));
    EXPECT_EQ(environmentValue("QUILLMARK_TEST_NAME"), "J\xC3\xBCrgen \xE6\x97\xA5\xE6\x9C\xAC");
    ::SetEnvironmentVariableW(L"QUILLMARK_TEST_NAME", nullptr);
}

TEST(AppFoldersWindows, SampleFilesAreCopiedBetweenFoldersWithNonAsciiNames) {
    TempFolder tmp;
    const std::string from = tmp.file("Beispiele \xC3\xA4"), to = tmp.file("J\xC3\xBCrgen\\Sigs");
    const std::string name = "\\Gr\xC3\xBC\xC3\x9F"
                             "e.txt";
    ASSERT_TRUE(makeFolders(from).ok() && makeFolders(to).ok());
    ASSERT_TRUE(writeFileAtomic(from + name, "Hallo\r\n").ok() &&
                writeFileAtomic(to + "\\mine.txt", "own").ok());
    test::spit(from + "\\mine.txt", "sample");
    copyMissingFiles(from, to);
    EXPECT_EQ(readFile(to + name).value(), "Hallo\r\n");
    EXPECT_EQ(readFile(to + "\\mine.txt").value(), "own");
}

TEST(ShellWindows, AFailedOpenGivesTheMessageOfItsCodeAndTheDesktopPictureIsAccepted) {
    TempFolder tmp;
    const Status missing = win::shellOpen(tmp.file("no such document.txt"));
    EXPECT_EQ(missing.code(), ErrorCode::NotFound);
    EXPECT_EQ(missing.message(), "File not found");
    // Wine has no desktop to show it on, but takes the call. The smallest bitmap: one white pixel.
    const unsigned char bmp[] = {'B', 'M', 58, 0, 0, 0, 0, 0, 0,  0, 54, 0, 0, 0, 40,  0,   0,   0, 1, 0,
                                 0,   0,   1,  0, 0, 0, 1, 0, 24, 0, 0,  0, 0, 0, 4,   0,   0,   0, 0, 0,
                                 0,   0,   0,  0, 0, 0, 0, 0, 0,  0, 0,  0, 0, 0, 255, 255, 255, 0};
    test::spit(tmp.file("QuillmarkWallpaper.bmp"),
               std::string_view(reinterpret_cast<const char*>(bmp), sizeof bmp));
    const Status status = win::setDesktopWallpaper(tmp.file("QuillmarkWallpaper.bmp"));
    EXPECT_TRUE(status.ok()) << status.message();
}

} // namespace
} // namespace quillmark
