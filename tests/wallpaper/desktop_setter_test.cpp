// The desktop setter runs the desktops' own tools; here they are stand-in scripts on PATH
// that record their arguments, fail, or hang.

#include "platform/wallpaper_setter.h"
#include "support/scoped_env.h"
#include "support/temp_folder.h"

#include <QImage>
#include <deque>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace quillmark {
namespace {

TEST(DesktopSetter, EachDesktopGetsItsToolAndEveryFailureItsReason) {
    test::TempFolder dir;
    std::deque<test::ScopedEnv> env;
    for (const char* name : {"XDG_SESSION_DESKTOP", "DESKTOP_SESSION", "XDG_SESSION_TYPE", "DISPLAY"})
        env.emplace_back(name, std::nullopt);
    const struct {
        std::optional<std::string> desktop, wayland;
        std::string tool, body; // the stand-in on PATH and its script after it logged its arguments
        std::string result;     // the last call logged on success, else the error's message (its start)
    } cases[] = {
        // GNOME's "none" would show no picture: the setter reads it first.
        {"ubuntu:GNOME",
         {},
         "gsettings",
         "[ \"$1\" = get ] && echo \"'none'\"",
         "gsettings set org.gnome.desktop.background picture-options centered"},
        {"XFCE",
         {},
         "xfconf-query",
         "[ \"$3\" = -l ] && printf '/backdrop/screen0/monitor0/workspace0/last-image\\n"
         "/backdrop/screen0/monitor1/workspace0/last-image\\n'",
         "xfconf-query -c xfce4-desktop -p /backdrop/screen0/monitor1/workspace0/last-image -s /q/W 1.png"},
        // Without plasma-apply-wallpaperimage, Plasma is asked over D-Bus.
        {"KDE", {}, "dbus-send", "", "dbus-send --session --print-reply --dest=org.kde.plasmashell"},
        {"LXQt", {}, "", "", "pcmanfm-qt is not installed"},
        {"LXQt",
         {},
         "pcmanfm-qt",
         "echo 'no desktop' >&2; exit 3",
         "pcmanfm-qt failed with exit status 3: no desktop"},
        {"LXQt", {}, "pcmanfm-qt", "exec /bin/sleep 30", "pcmanfm-qt did not finish within 1.5 seconds"},
        {"sway", "wayland-1", "", "", "Setting the wallpaper on this Wayland desktop is not possible"},
        {{}, {}, "", "", "There is no desktop session to set the wallpaper on"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.result);
        const std::string bin = dir.file(std::to_string(&c - cases)), log = bin + "/calls.log";
        ::mkdir(bin.c_str(), 0755);
        if (!c.tool.empty()) {
            test::spit(bin + "/" + c.tool,
                       "#!/bin/sh\necho \"" + c.tool + " $*\" >> '" + log + "'\n" + c.body + "\nexit 0\n");
            ::chmod((bin + "/" + c.tool).c_str(), 0755);
        }
        const test::ScopedEnv path("PATH", bin), desktop("XDG_CURRENT_DESKTOP", c.desktop),
            wayland("WAYLAND_DISPLAY", c.wayland);
        const Status set = DesktopWallpaperSetter(std::chrono::milliseconds(1500))
                               .setWallpaper("/q/W 1.png", QImage(4, 4, QImage::Format_RGB32));
        const std::string got = set ? test::slurp(log) : set.message().substr(0, c.result.size());
        EXPECT_NE(got.find(c.result), std::string::npos) << got;
    }
}

} // namespace
} // namespace quillmark
