#include "platform/desktop_commands.h"

#include <gtest/gtest.h>
#include <map>

namespace quillmark {
namespace {

TEST(DesktopDetection, ReadsTheSessionVariablesInOrder) {
    const std::pair<std::map<std::string, std::string>, Desktop> cases[] = {
        {{{"XDG_CURRENT_DESKTOP", "Budgie:GNOME"}}, Desktop::Gnome},
        {{{"XDG_CURRENT_DESKTOP", "lxqt"}}, Desktop::Lxqt},
        // An unknown first name does not hide a known later one.
        {{{"XDG_CURRENT_DESKTOP", "Something:kde"}}, Desktop::Kde},
        {{{"XDG_CURRENT_DESKTOP", "openbox"}, {"XDG_SESSION_DESKTOP", "xfce"}}, Desktop::Xfce},
        {{{"XDG_CURRENT_DESKTOP", "mate"}, {"DESKTOP_SESSION", "plasma"}}, Desktop::Mate},
        {{{"XDG_CURRENT_DESKTOP", ":::"}, {"DESKTOP_SESSION", "openbox"}}, Desktop::Unknown},
    };
    for (const auto& [env, expected] : cases) {
        const auto lookup = [&env](const char* name) {
            return env.contains(name) ? env.at(name) : std::string();
        };
        EXPECT_EQ(detectDesktop(lookup), expected) << env.begin()->second;
    }
}

TEST(DesktopSetters, EachDesktopGetsThePictureInTheFormItReads) {
    const std::string path = "/home/u/it's \"q\" 100%.png";
    const std::string uri = "file:///home/u/it%27s%20%22q%22%20100%25.png";
    EXPECT_EQ(gsettingsCommands(Desktop::Gnome, path, "'zoom'\n"),
              (std::vector<Command>{
                  {"gsettings", {"set", "org.gnome.desktop.background", "picture-uri", uri}},
                  {"gsettings", {"set", "org.gnome.desktop.background", "picture-uri-dark", uri}}}));
    // "none" would show no picture at all.
    EXPECT_EQ(
        gsettingsCommands(Desktop::Mate, path, "'none'"),
        (std::vector<Command>{{"gsettings", {"set", "org.mate.background", "picture-filename", path}},
                              {"gsettings", {"set", "org.mate.background", "picture-options", "centered"}}}));
    EXPECT_NE(plasmaScriptCommand(path).arguments.back().find("\"" + uri + "\""), std::string::npos);
    // Xfce: every backdrop's last image, and nothing else.
    const std::vector<Command> xfce = xfceCommands("/backdrop/screen0/monitor0/workspace0/color-style\n"
                                                   "/backdrop/screen0/monitor0/workspace0/last-image\r\n"
                                                   "/desktop-icons/last-image\n"
                                                   "/backdrop/screen0/monitorHDMI-1/workspace1/last-image",
                                                   "/w/p.png");
    ASSERT_EQ(xfce.size(), 2u);
    EXPECT_EQ(xfce[0].arguments, (std::vector<std::string>{"-c", "xfce4-desktop", "-p",
                                                           "/backdrop/screen0/monitor0/workspace0/last-image",
                                                           "-s", "/w/p.png"}));
    EXPECT_EQ(xfce[1].arguments[3], "/backdrop/screen0/monitorHDMI-1/workspace1/last-image");
}

} // namespace
} // namespace quillmark
