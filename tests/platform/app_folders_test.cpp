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

TEST(AppFolders, TheRuntimeFolderIsTheUsersAloneAndNeverAShared) {
    test::TempFolder tmp;
    test::isolateHome(tmp.path());
    const std::string session = tmp.file("runtime"); // as a login makes it
    const std::string own = tmp.path() + "/cache/quillmark/runtime";
    const std::string open = tmp.file("open"), others = tmp.file("others");
    ASSERT_EQ(::mkdir(open.c_str(), 0700), 0);
    ASSERT_EQ(::chmod(open.c_str(), 0777), 0);
    ASSERT_EQ(::mkdir(others.c_str(), 0700), 0);
    const bool root = ::geteuid() == 0 && ::chown(others.c_str(), 65534, 65534) == 0;
    const std::pair<Value, std::string> cases[] = {
        {session, session}, {"runtime", own}, {open, own}, {root ? Value(others) : std::nullopt, own}, // "su"
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
}

} // namespace
} // namespace quillmark
