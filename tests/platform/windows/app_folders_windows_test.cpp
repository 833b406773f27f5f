// Where the program keeps its files on Windows, and the shell calls.
#include "platform/app_folders.h"
#include "platform/file_io.h"
#include "platform/windows/app_folders_windows.h"
#include "platform/windows/shell.h"
#include "platform/windows/win_text.h"
#include "settings/settings.h"

#include "support/scoped_env.h"
#include "support/temp_folder.h"

#include <windows.h>

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

    EXPECT_EQ(programFolder(), win::executableFolder()) << "the build folder is writable";
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

TEST(ShellWindows, AFailedOpenGivesItsCodeAndTheDesktopPictureIsAccepted) {
    TempFolder tmp;
    const Status missing = win::shellOpen(tmp.file("no such document.txt"));
    EXPECT_EQ(missing.code(), ErrorCode::NotFound);
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
