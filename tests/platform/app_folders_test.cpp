#include "platform/app_folders.h"

#include "platform/autostart.h"
#include "platform/paths.h"
#include "support/temp_folder.h"

#include <cstdlib>
#include <gtest/gtest.h>

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
    ASSERT_TRUE(SetRunEntry("Quillmark", "/usr/bin/quillmark", true, RunEntryKind::Run, false));
    EXPECT_TRUE(FileExists(home + "/.config/autostart/Quillmark.desktop"));
    EXPECT_FALSE(FileExists("relative"));
}

} // namespace
} // namespace quillmark
