#include "platform/autostart.h"

#include "platform/paths.h"
#include "support/temp_folder.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace quillmark {
namespace {

using test::TempFolder;

TEST(RunEntry, WritesEscapesRemovesAndRefusesTheAutostartEntry) {
    TempFolder home;
    test::isolateHome(home.path());
    const auto add = [](const std::string& name, const std::string& data) {
        return setRunEntry(name, data, false).ok();
    };
    const std::string entry = home.path() + "/config/autostart/Quillmark.desktop";
    EXPECT_FALSE(add("Quillmark", "/usr/bin/quillmark\nExec=/bin/evil"));
    EXPECT_FALSE(add("../Quillmark", "/usr/bin/quillmark"));
    EXPECT_FALSE(fileExists(entry));
    EXPECT_FALSE(fileExists(home.path() + "/config/Quillmark.desktop"));
    test::spit(home.path() + "/config/autostart", "a file where the folder belongs");
    EXPECT_FALSE(add("Quillmark", "/usr/bin/quillmark"));
    std::filesystem::remove(home.path() + "/config/autostart");

    ASSERT_TRUE(add("Quillmark", "/usr/bin/quillmark"));
    EXPECT_EQ(test::slurp(entry), "[Desktop Entry]\nType=Application\nName=Quillmark\n"
                                  "Exec=/usr/bin/quillmark\nX-GNOME-Autostart-enabled=true\n");
    // A program folder with blanks and shell characters stays one argument.
    ASSERT_TRUE(add("Quillmark", "/opt/My Apps/100%/a$b\\quillmark"));
    EXPECT_NE(test::slurp(entry).find("\nExec=\"/opt/My Apps/100%%/a\\\\$b\\\\\\\\quillmark\"\n"),
              std::string::npos);
    EXPECT_TRUE(setRunEntry("Quillmark", "", true).ok());
    EXPECT_FALSE(fileExists(entry));
    EXPECT_TRUE(setRunEntry("Quillmark", "", true).ok()) << "nothing to remove";

    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_TRUE(add("Quillmark", "/usr/bin/quillmark"));
    EXPECT_TRUE(fileExists(home.path() + "/.config/autostart/Quillmark.desktop"));
}

} // namespace
} // namespace quillmark
