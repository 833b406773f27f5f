#include "platform/desktop_commands.h"

#include <gtest/gtest.h>
#include <map>

namespace quillmark {
namespace {

TEST(DesktopDetection, ReadsTheSessionVariablesInOrder) {
    const std::pair<std::map<std::string, std::string>, Desktop> cases[] = {
        // An unknown first name does not hide a known later one.
        {{{"XDG_CURRENT_DESKTOP", "Something:kde"}}, Desktop::Kde},
        {{{"XDG_CURRENT_DESKTOP", "openbox"}, {"XDG_SESSION_DESKTOP", "xfce"}}, Desktop::Xfce},
        {{{"XDG_CURRENT_DESKTOP", ":::"}, {"DESKTOP_SESSION", "openbox"}}, Desktop::Unknown},
    };
    for (const auto& [env, expected] : cases) {
        const auto lookup = [&env](const char* name) {
            return env.contains(name) ? env.at(name) : std::string();
        };
        EXPECT_EQ(detectDesktop(lookup), expected) << env.begin()->second;
    }
}

// What the wallpaper setter's test does not reach: the picture as a URI.
TEST(DesktopSetters, ThePictureReachesEachDesktopInTheFormItReads) {
    const std::string path = "/home/u/it's \"q\" 100%.png",
                      uri = "file:///home/u/it%27s%20%22q%22%20100%25.png";
    EXPECT_EQ(gsettingsCommands(Desktop::Gnome, path, "'zoom'\n").front().arguments.back(), uri);
    EXPECT_NE(plasmaScriptCommand(path).arguments.back().find("\"" + uri + "\""), std::string::npos);
}

} // namespace
} // namespace quillmark
