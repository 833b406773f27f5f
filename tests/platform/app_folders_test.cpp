// Where the program keeps its files, and the entry that starts it at login.
#include "platform/app_folders.h"
#include "platform/autostart.h"

#include "support/scoped_env.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>
#ifdef _WIN32
#include "platform/windows/app_folders_windows.h"
#include "platform/windows/registry.h"
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quillmark {
namespace {

// A program folder with blanks and shell characters: its start-at-login entry, as storedRunEntry
// reads it back (empty when there is none), must run it as one argument.
const std::string kProgram = "/opt/J\xC3\xBCrgen Apps/100%/a$b\\quillmark";
#ifdef _WIN32
const std::string kRunEntry = "\"" + kProgram + "\"";

std::string storedRunEntry(const std::string& name) {
    const Result<std::string> stored = win::readRegistryText(
        win::RegistryRoot::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", name);
    return stored.ok() ? stored.value() : "";
}
#else
const std::string kRunEntry = "[Desktop Entry]\nType=Application\nName=QuillmarkTest\n"
                              "Exec=\"/opt/J\xC3\xBCrgen Apps/100%%/a\\\\$b\\\\\\\\quillmark\"\n"
                              "X-GNOME-Autostart-enabled=true\n";

std::string storedRunEntry(const std::string& name) {
    return test::slurp(environmentValue("XDG_CONFIG_HOME") + "/autostart/" + name + ".desktop");
}
#endif

TEST(RunEntry, WritesQuotesRemovesAndRefusesTheStartAtLoginEntry) {
    test::TempFolder home;
    test::isolateHome(home.path());
    const std::string name = "QuillmarkTest";
    // A name that would reach another file or value, and a command that would break the entry.
    EXPECT_FALSE(setRunEntry(std::string("..") + kPathSeparator + name, kProgram, false).ok());
    EXPECT_FALSE(setRunEntry(name, kProgram + "\r\nevil", false).ok());
    EXPECT_EQ(storedRunEntry(name), "");
    ASSERT_TRUE(setRunEntry(name, kProgram, false).ok());
    EXPECT_EQ(storedRunEntry(name), kRunEntry);
    EXPECT_TRUE(setRunEntry(name, "", true).ok());
    EXPECT_EQ(storedRunEntry(name), "");
    EXPECT_TRUE(setRunEntry(name, "", true).ok()) << "nothing to remove is no failure";
}

#ifdef _WIN32
TEST(AppFolders, SettingsInApplicationDataAndTheProgramFolderWhereTheUserCanWrite) {
    test::TempFolder tmp;
    test::isolateHome(tmp.path());
    EXPECT_EQ(settingsFilePath(), environmentValue("APPDATA") + "\\Quillmark\\Quillmark.INI");
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
}
#else
TEST(AppFolders, TheRuntimeFolderIsTheUsersAloneAndNeverAShared) {
    test::TempFolder tmp;
    test::isolateHome(tmp.path());
    const std::string session = tmp.file("runtime"), own = tmp.path() + "/cache/quillmark/runtime";
    const std::string open = tmp.file("open"), others = tmp.file("others");
    ASSERT_EQ(::mkdir(open.c_str(), 0700), 0);
    ASSERT_EQ(::chmod(open.c_str(), 0777), 0);
    ASSERT_EQ(::mkdir(others.c_str(), 0700), 0);
    const bool root = ::geteuid() == 0 && ::chown(others.c_str(), 65534, 65534) == 0;
    const std::pair<std::optional<std::string>, std::string> cases[] = {
        {session, session},
        {"runtime", own},
        {open, own},
        {root ? std::optional(others) : std::nullopt, own}, // "su"
    };
    for (const auto& [value, expected] : cases) {
        SCOPED_TRACE(value.value_or("(unset)"));
        test::ScopedEnv runtime("XDG_RUNTIME_DIR", value);
        useOwnRuntimeFolder(); // for Qt and the programs this one starts
        EXPECT_EQ(environmentValue("XDG_RUNTIME_DIR"), expected);
        struct stat st {};
        ASSERT_EQ(::stat(expected.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & (S_IFMT | 0777), S_IFDIR | 0700u);
    }
}
#endif

} // namespace
} // namespace quillmark
