#include "platform/app_folders.h"

#include "platform/autostart.h"
#include "platform/paths.h"
#include "support/temp_folder.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillmark {
namespace {

TEST(AppFolders, RelativeXdgFoldersAreIgnoredForTheOnesUnderHome) {
    test::TempFolder tmp;
    test::isolateHome(tmp.path());
    const std::string home = tmp.path();
    const struct {
        const char* value; // nullptr: unset
        std::string config, data;
    } cases[] = {
        {"/abs/cfg", "/abs/cfg/Quillmark", "/abs/cfg/Quillmark"},
        {"relative/cfg", home + "/.config/Quillmark", home + "/.local/share/Quillmark"},
        {"./cfg", home + "/.config/Quillmark", home + "/.local/share/Quillmark"},
        {"~/cfg", home + "/.config/Quillmark", home + "/.local/share/Quillmark"},
        {"", home + "/.config/Quillmark", home + "/.local/share/Quillmark"},
        {nullptr, home + "/.config/Quillmark", home + "/.local/share/Quillmark"},
    };
    for (const auto& c : cases) {
        const std::string shown = c.value ? c.value : "(unset)";
        for (const char* variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME"}) {
            if (c.value)
                ::setenv(variable, c.value, 1);
            else
                ::unsetenv(variable);
        }
        EXPECT_EQ(configFolder(), c.config) << shown;
        EXPECT_EQ(settingsFilePath(), c.config + "/Quillmark.INI") << shown;
        EXPECT_EQ(programFolder(), c.data) << shown;
    }

    // The autostart entry follows the same rule, and nothing lands in the working folder.
    ::setenv("XDG_CONFIG_HOME", "relative/cfg", 1);
    ASSERT_TRUE(setRunEntry("Quillmark", "/usr/bin/quillmark", false).ok());
    EXPECT_TRUE(fileExists(home + "/.config/autostart/Quillmark.desktop"));
    EXPECT_FALSE(fileExists("relative"));
}

TEST(AppFolders, TheRuntimeFolderIsTheUsersAloneAndNeverAShared) {
    test::TempFolder tmp;
    test::isolateHome(tmp.path());
    const std::string session = tmp.file("runtime"); // the user's own, as a login makes it
    const std::string own = tmp.path() + "/cache/quillmark/runtime";
    const std::string file = tmp.file("file"), open = tmp.file("open"), others = tmp.file("others");
    test::spit(file, "");
    ASSERT_EQ(::mkdir(open.c_str(), 0700), 0);
    ASSERT_EQ(::chmod(open.c_str(), 0777), 0);
    ASSERT_EQ(::mkdir(others.c_str(), 0700), 0);
    const bool root = ::geteuid() == 0 && ::chown(others.c_str(), 65534, 65534) == 0;
    const struct {
        const char* value; // nullptr: unset
        std::string expected;
    } cases[] = {
        {session.c_str(), session}, {nullptr, own},
        {"runtime", own},           {file.c_str(), own},
        {open.c_str(), own},        {root ? others.c_str() : nullptr, own}, // left by another user ("su")
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value ? c.value : "(unset)");
        if (c.value)
            ::setenv("XDG_RUNTIME_DIR", c.value, 1);
        else
            ::unsetenv("XDG_RUNTIME_DIR");
        EXPECT_EQ(runtimeFolder(), c.expected);
        // Qt and the programs this one starts take the same folder.
        useOwnRuntimeFolder();
        EXPECT_EQ(environmentValue("XDG_RUNTIME_DIR"), c.expected);
        struct stat st {};
        ASSERT_EQ(::stat(c.expected.c_str(), &st), 0);
        EXPECT_TRUE(S_ISDIR(st.st_mode));
        EXPECT_EQ(st.st_mode & 0777, 0700u);
    }
}

} // namespace
} // namespace quillmark
