#include "platform/app_folders.h"

#include "platform/autostart.h"
#include "platform/paths.h"

#include "support/scoped_env.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace quillmark {
namespace {

using Value = std::optional<std::string>;

TEST(AppFolders, RelativeXdgFoldersAreIgnoredForTheOnesUnderHome) {
    test::TempFolder tmp;
    test::isolateHome(tmp.path());
    const std::string home = tmp.path();
    const std::pair<Value, std::string> cases[] = {
        {"/abs/cfg", "/abs/cfg"}, {"relative/cfg", ""}, {"~/cfg", ""}, {"", ""}, {std::nullopt, ""}};
    for (const auto& [value, absolute] : cases) {
        SCOPED_TRACE(value.value_or("(unset)"));
        test::ScopedEnv config("XDG_CONFIG_HOME", value), data("XDG_DATA_HOME", value);
        EXPECT_EQ(settingsFilePath(),
                  (absolute.empty() ? home + "/.config" : absolute) + "/Quillmark/Quillmark.INI");
        EXPECT_EQ(programFolder(), (absolute.empty() ? home + "/.local/share" : absolute) + "/Quillmark");
    }
}

TEST(AppFolders, TheRuntimeFolderIsTheUsersAloneAndNeverAShared) {
    test::TempFolder tmp;
    test::isolateHome(tmp.path());
    const std::string session = tmp.file("runtime"); // as a login makes it
    const std::string own = tmp.path() + "/cache/quillmark/runtime";
    const std::string file = tmp.file("file"), open = tmp.file("open"), others = tmp.file("others");
    test::spit(file, "");
    ASSERT_EQ(::mkdir(open.c_str(), 0700), 0);
    ASSERT_EQ(::chmod(open.c_str(), 0777), 0);
    ASSERT_EQ(::mkdir(others.c_str(), 0700), 0);
    const bool root = ::geteuid() == 0 && ::chown(others.c_str(), 65534, 65534) == 0;
    const std::pair<Value, std::string> cases[] = {
        {session, session}, {std::nullopt, own},
        {"runtime", own},   {file, own},
        {open, own},        {root ? Value(others) : std::nullopt, own}, // left by another user ("su")
    };
    for (const auto& [value, expected] : cases) {
        SCOPED_TRACE(value.value_or("(unset)"));
        test::ScopedEnv runtime("XDG_RUNTIME_DIR", value);
        useOwnRuntimeFolder(); // for Qt and the programs this one starts
        EXPECT_EQ(environmentValue("XDG_RUNTIME_DIR"), expected);
        struct stat st {};
        ASSERT_EQ(::stat(expected.c_str(), &st), 0);
        EXPECT_TRUE(S_ISDIR(st.st_mode));
        EXPECT_EQ(st.st_mode & 0777, 0700u);
    }
}

TEST(RunEntry, WritesEscapesRemovesAndRefusesTheAutostartEntry) {
    test::TempFolder home;
    test::isolateHome(home.path());
    const std::string entry = home.path() + "/config/autostart/Quillmark.desktop";
    EXPECT_FALSE(setRunEntry("Quillmark", "/usr/bin/quillmark\nExec=/bin/evil", false).ok());
    EXPECT_FALSE(setRunEntry("../Quillmark", "/usr/bin/quillmark", false).ok());
    EXPECT_FALSE(fileExists(home.path() + "/config/Quillmark.desktop"));
    // A program folder with blanks and shell characters stays one argument.
    ASSERT_TRUE(setRunEntry("Quillmark", "/opt/My Apps/100%/a$b\\quillmark", false).ok());
    EXPECT_EQ(test::slurp(entry), "[Desktop Entry]\nType=Application\nName=Quillmark\n"
                                  "Exec=\"/opt/My Apps/100%%/a\\\\$b\\\\\\\\quillmark\"\n"
                                  "X-GNOME-Autostart-enabled=true\n");
    EXPECT_TRUE(setRunEntry("Quillmark", "", true).ok());
    EXPECT_FALSE(fileExists(entry));
    EXPECT_TRUE(setRunEntry("Quillmark", "", true).ok()) << "nothing to remove";
    test::ScopedEnv relative("XDG_CONFIG_HOME", "relative/cfg"); // ignored, as the XDG rules say
    EXPECT_TRUE(setRunEntry("Quillmark", "/usr/bin/quillmark", false).ok());
    EXPECT_TRUE(fileExists(home.path() + "/.config/autostart/Quillmark.desktop"));
}

} // namespace
} // namespace quillmark
