#pragma once
// Which desktop the user runs and how it is told to show a picture, as plain data checked
// without a desktop; the platform layer runs the commands.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quillmark {

enum class Desktop { Unknown, Gnome, Cinnamon, Mate, Xfce, Kde, Lxqt };

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

// The background's gsettings schema on GNOME, Cinnamon and MATE; empty for the others.
std::string_view backgroundSchema(Desktop desktop);
// Reads the current "picture-options", to tell whether the picture would be hidden.
Command pictureOptionsQuery(Desktop desktop);
// Points a gsettings desktop at the picture. Where `currentOptions` (pictureOptionsQuery's output)
// says 'none' the desktop would show nothing, so the options are set to centred.
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
