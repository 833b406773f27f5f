#pragma once
// Which desktop the user runs and how that desktop is told to show a picture. The
// commands are plain data here, so they can be checked without a desktop; the platform
// layer runs them.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillmark {

enum class Desktop { Unknown, Gnome, Cinnamon, Mate, Xfce, Kde, Lxqt };

// The name used in messages: "GNOME", "Xfce", ...
std::string_view desktopName(Desktop desktop);

// Looks at XDG_CURRENT_DESKTOP (a colon-separated list, any letter case), then
// XDG_SESSION_DESKTOP, then DESKTOP_SESSION. `env` gives a variable's value, empty when unset.
Desktop detectDesktop(const std::function<std::string(const char*)>& env);

struct Command {
    std::string program;
    std::vector<std::string> arguments;
    friend bool operator==(const Command&, const Command&) = default;
};

// "file:///home/u/My%20Pictures/a.png": the form GNOME's and Plasma's settings take.
std::string fileUri(std::string_view path);

// The gsettings schema holding the background of a gsettings desktop (GNOME, Cinnamon,
// MATE); empty for the others.
std::string_view backgroundSchema(Desktop desktop);
// Reads the current "picture-options", to tell whether the picture would be hidden.
Command pictureOptionsQuery(Desktop desktop);
// Points a gsettings desktop at the picture. `currentOptions` is the output of
// pictureOptionsQuery: when it says 'none' the desktop would show no picture at all, so
// the options are set to show it centred.
std::vector<Command> gsettingsCommands(Desktop desktop, std::string_view imagePath,
                                       std::string_view currentOptions);

// Lists Xfce's desktop properties; xfceCommands takes its output.
Command xfceListQuery();
// One command for every "last-image" property under /backdrop (every monitor and workspace).
std::vector<Command> xfceCommands(std::string_view listOutput, std::string_view imagePath);

// Plasma's own tool, and the shell's scripting interface over D-Bus where the tool is missing.
Command plasmaApplyCommand(std::string_view imagePath);
Command plasmaScriptCommand(std::string_view imagePath);

Command lxqtCommand(std::string_view imagePath);

} // namespace quillmark
