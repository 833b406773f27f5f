// The desktop setter runs the desktops' own tools; here they are stand-in scripts on PATH
// that record their arguments, fail, or hang.

#include "platform/wallpaper_setter.h"
#include "support/temp_folder.h"

#include <QImage>
#include <cstdlib>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <sys/stat.h>

namespace quillmark {
namespace {

using test::slurp;
using test::spit;
using namespace std::chrono_literals;

class DesktopSetterTest : public ::testing::Test {
protected:
    DesktopSetterTest() {
        for (const char* name : {"PATH", "XDG_CURRENT_DESKTOP", "XDG_SESSION_DESKTOP", "DESKTOP_SESSION",
                                 "XDG_SESSION_TYPE", "WAYLAND_DISPLAY", "DISPLAY"}) {
            const char* v = std::getenv(name);
            m_saved[name] = v ? std::optional<std::string>(v) : std::nullopt;
            ::unsetenv(name);
        }
        ::mkdir(bin.c_str(), 0755);
        ::setenv("PATH", bin.c_str(), 1);
    }
    ~DesktopSetterTest() override {
        for (const auto& [name, value] : m_saved) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
    }
    // A stand-in tool: appends its arguments to calls.log, one line a call, then runs `body`.
    void tool(const std::string& name, const std::string& body) {
        const std::string path = bin + "/" + name;
        spit(path, "#!/bin/sh\necho \"" + name + " $*\" >> '" + log + "'\n" + body + "\n");
        ::chmod(path.c_str(), 0755);
    }
    Status set(std::chrono::milliseconds timeout = 2000ms) {
        DesktopWallpaperSetter setter(timeout);
        return setter.setWallpaper("/q/Quillmark Wallpaper.png", QImage(4, 4, QImage::Format_RGB32));
    }

    test::TempFolder dir;
    std::string bin = dir.file("bin");
    std::string log = dir.file("calls.log");

private:
    std::map<std::string, std::optional<std::string>> m_saved;
};

TEST_F(DesktopSetterTest, GnomeGetsBothUrisAndAVisibleOption) {
    ::setenv("XDG_CURRENT_DESKTOP", "ubuntu:GNOME", 1);
    tool("gsettings", "[ \"$1\" = get ] && echo \"'none'\"; exit 0");
    ASSERT_TRUE(set());
    EXPECT_EQ(slurp(log),
              "gsettings get org.gnome.desktop.background picture-options\n"
              "gsettings set org.gnome.desktop.background picture-uri file:///q/Quillmark%20Wallpaper.png\n"
              "gsettings set org.gnome.desktop.background picture-uri-dark "
              "file:///q/Quillmark%20Wallpaper.png\n"
              "gsettings set org.gnome.desktop.background picture-options centered\n");
}

TEST_F(DesktopSetterTest, XfceSetsEachBackdropAndPlasmaFallsBackToDbus) {
    ::setenv("XDG_CURRENT_DESKTOP", "XFCE", 1);
    tool("xfconf-query", "[ \"$3\" = -l ] && printf '/backdrop/screen0/monitor0/workspace0/last-image\\n"
                         "/backdrop/screen0/monitor1/workspace0/last-image\\n'; exit 0");
    ASSERT_TRUE(set());
    EXPECT_EQ(slurp(log),
              "xfconf-query -c xfce4-desktop -l\n"
              "xfconf-query -c xfce4-desktop -p /backdrop/screen0/monitor0/workspace0/last-image -s "
              "/q/Quillmark Wallpaper.png\n"
              "xfconf-query -c xfce4-desktop -p /backdrop/screen0/monitor1/workspace0/last-image -s "
              "/q/Quillmark Wallpaper.png\n");

    std::remove(log.c_str());
    ::setenv("XDG_CURRENT_DESKTOP", "KDE", 1);
    tool("dbus-send", "exit 0");
    ASSERT_TRUE(set());
    EXPECT_EQ(slurp(log).rfind("dbus-send --session --print-reply --dest=org.kde.plasmashell /PlasmaShell "
                               "org.kde.PlasmaShell.evaluateScript string:",
                               0),
              0u);
}

TEST_F(DesktopSetterTest, EveryWayOfFailingIsReportedWithItsReason) {
    ::setenv("XDG_CURRENT_DESKTOP", "LXQt", 1);
    Status missing = set();
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.message(), "pcmanfm-qt is not installed");

    tool("pcmanfm-qt", "echo 'cannot connect to the desktop' >&2; exit 3");
    Status refused = set();
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.message(), "pcmanfm-qt failed with exit status 3: cannot connect to the desktop");

    tool("pcmanfm-qt", "exec /bin/sleep 30");
    Status hung = set(300ms);
    ASSERT_FALSE(hung);
    EXPECT_EQ(hung.message(), "pcmanfm-qt did not finish within 0.3 seconds");

    ::setenv("XDG_CURRENT_DESKTOP", "MATE", 1);
    tool("gsettings", "echo 'No such schema “org.mate.background”' >&2; exit 1");
    Status noSchema = set();
    ASSERT_FALSE(noSchema);
    EXPECT_EQ(noSchema.message().rfind("gsettings failed with exit status 1: No such schema", 0), 0u);

    ::setenv("XDG_CURRENT_DESKTOP", "sway", 1);
    ::setenv("WAYLAND_DISPLAY", "wayland-1", 1);
    ::setenv("DISPLAY", ":5", 1);
    Status wayland = set();
    ASSERT_FALSE(wayland);
    EXPECT_EQ(wayland.message().rfind("Setting the wallpaper on this Wayland desktop is not possible", 0),
              0u);

    ::unsetenv("WAYLAND_DISPLAY");
    ::unsetenv("DISPLAY");
    Status nothing = set();
    ASSERT_FALSE(nothing);
    EXPECT_EQ(nothing.message(), "There is no desktop session to set the wallpaper on");
}

} // namespace
} // namespace quillmark
