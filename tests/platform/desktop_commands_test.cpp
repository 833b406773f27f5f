#include "platform/desktop_commands.h"

#include <gtest/gtest.h>
#include <map>

namespace quillmark {
namespace {

using Args = std::vector<std::string>;

TEST(DesktopDetection, ReadsTheSessionVariablesInOrder) {
    struct Case {
        std::map<std::string, std::string> env;
        Desktop expected;
    };
    const Case cases[] = {
        {{{"XDG_CURRENT_DESKTOP", "GNOME"}}, Desktop::Gnome},
        {{{"XDG_CURRENT_DESKTOP", "ubuntu:GNOME"}}, Desktop::Gnome},
        {{{"XDG_CURRENT_DESKTOP", "Budgie:GNOME"}}, Desktop::Gnome},
        {{{"XDG_CURRENT_DESKTOP", "X-Cinnamon"}}, Desktop::Cinnamon},
        {{{"XDG_CURRENT_DESKTOP", "MATE"}}, Desktop::Mate},
        {{{"XDG_CURRENT_DESKTOP", "XFCE"}}, Desktop::Xfce},
        {{{"XDG_CURRENT_DESKTOP", "KDE"}}, Desktop::Kde},
        {{{"XDG_CURRENT_DESKTOP", "lxqt"}}, Desktop::Lxqt},
        // An unknown first name does not hide a known later one.
        {{{"XDG_CURRENT_DESKTOP", "Something:kde"}}, Desktop::Kde},
        {{{"XDG_CURRENT_DESKTOP", "openbox"}, {"XDG_SESSION_DESKTOP", "xfce"}}, Desktop::Xfce},
        {{{"DESKTOP_SESSION", "plasma"}}, Desktop::Kde},
        {{{"XDG_CURRENT_DESKTOP", "mate"}, {"DESKTOP_SESSION", "plasma"}}, Desktop::Mate},
        {{{"XDG_CURRENT_DESKTOP", ""}, {"DESKTOP_SESSION", "openbox"}}, Desktop::Unknown},
        {{}, Desktop::Unknown},
        {{{"XDG_CURRENT_DESKTOP", ":::"}}, Desktop::Unknown},
    };
    for (const Case& c : cases) {
        const auto env = [&](const char* name) {
            auto it = c.env.find(name);
            return it == c.env.end() ? std::string() : it->second;
        };
        EXPECT_EQ(detectDesktop(env), c.expected) << (c.env.empty() ? "" : c.env.begin()->second);
    }
}

TEST(DesktopSetters, GsettingsDesktopsGetFileUrisAndAVisiblePictureOption) {
    const std::string path = "/home/u/.local/share/Quillmark/QuillmarkWallpaper.png";
    const std::string uri = "file:///home/u/.local/share/Quillmark/QuillmarkWallpaper.png";
    EXPECT_EQ(pictureOptionsQuery(Desktop::Gnome),
              (Command{"gsettings", {"get", "org.gnome.desktop.background", "picture-options"}}));
    EXPECT_EQ(gsettingsCommands(Desktop::Gnome, path, "'zoom'\n"),
              (std::vector<Command>{
                  {"gsettings", {"set", "org.gnome.desktop.background", "picture-uri", uri}},
                  {"gsettings", {"set", "org.gnome.desktop.background", "picture-uri-dark", uri}},
              }));
    // "none" would show no picture at all.
    EXPECT_EQ(gsettingsCommands(Desktop::Gnome, path, "'none'\n").back(),
              (Command{"gsettings", {"set", "org.gnome.desktop.background", "picture-options", "centered"}}));
    EXPECT_EQ(gsettingsCommands(Desktop::Cinnamon, path, "'scaled'"),
              (std::vector<Command>{
                  {"gsettings", {"set", "org.cinnamon.desktop.background", "picture-uri", uri}}}));
    EXPECT_EQ(
        gsettingsCommands(Desktop::Mate, path, "'none'"),
        (std::vector<Command>{{"gsettings", {"set", "org.mate.background", "picture-filename", path}},
                              {"gsettings", {"set", "org.mate.background", "picture-options", "centered"}}}));
    EXPECT_TRUE(gsettingsCommands(Desktop::Xfce, path, "").empty());
    EXPECT_EQ(fileUri("/a b/100%/é#.png"), "file:///a%20b/100%25/%C3%A9%23.png");
}

TEST(DesktopSetters, XfceSetsEveryBackdropLastImage) {
    EXPECT_EQ(xfceListQuery(), (Command{"xfconf-query", {"-c", "xfce4-desktop", "-l"}}));
    const std::string listing = "/backdrop/screen0/monitor0/workspace0/color-style\n"
                                "/backdrop/screen0/monitor0/workspace0/last-image\n"
                                "/backdrop/screen0/monitorVirtual1/workspace1/last-image\r\n"
                                "/desktop-icons/last-image\n"
                                "/backdrop/screen0/monitorHDMI-1/workspace0/last-image";
    const std::vector<Command> got = xfceCommands(listing, "/w/p.png");
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].arguments, (Args{"-c", "xfce4-desktop", "-p",
                                      "/backdrop/screen0/monitor0/workspace0/last-image", "-s", "/w/p.png"}));
    EXPECT_EQ(got[1].arguments[3], "/backdrop/screen0/monitorVirtual1/workspace1/last-image");
    EXPECT_EQ(got[2].arguments[3], "/backdrop/screen0/monitorHDMI-1/workspace0/last-image");
    EXPECT_TRUE(xfceCommands("", "/w/p.png").empty());
}

TEST(DesktopSetters, PlasmaAndLxqt) {
    EXPECT_EQ(plasmaApplyCommand("/w/p.png"), (Command{"plasma-apply-wallpaperimage", {"/w/p.png"}}));
    const Command script = plasmaScriptCommand("/w/it's \"q\".png");
    EXPECT_EQ(script.program, "dbus-send");
    ASSERT_EQ(script.arguments.size(), 6u);
    EXPECT_EQ(script.arguments[2], "--dest=org.kde.plasmashell");
    EXPECT_EQ(script.arguments[4], "org.kde.PlasmaShell.evaluateScript");
    EXPECT_NE(script.arguments[5].find("d.writeConfig(\"Image\", \"file:///w/it%27s%20%22q%22.png\")"),
              std::string::npos)
        << script.arguments[5];
    EXPECT_EQ(lxqtCommand("/w/p.png"), (Command{"pcmanfm-qt", {"--set-wallpaper", "/w/p.png"}}));
}

} // namespace
} // namespace quillmark
