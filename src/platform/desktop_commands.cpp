#include "platform/desktop_commands.h"

#include <algorithm>
#include <cctype>

namespace quillmark {

namespace {

std::string lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

Desktop desktopOfName(std::string_view rawName) {
    const std::string name = lower(rawName);
    if (name == "gnome" || name == "ubuntu" || name == "budgie" || name == "budgie-desktop" ||
        name == "gnome-classic" || name == "gnome-xorg" || name == "unity" || name == "pop")
        return Desktop::Gnome;
    if (name == "x-cinnamon" || name == "cinnamon" || name == "cinnamon2d")
        return Desktop::Cinnamon;
    if (name == "mate")
        return Desktop::Mate;
    if (name == "xfce" || name == "xfce4" || name == "xubuntu")
        return Desktop::Xfce;
    if (name == "kde" || name == "plasma" || name == "plasmawayland" || name == "plasmax11")
        return Desktop::Kde;
    if (name == "lxqt")
        return Desktop::Lxqt;
    return Desktop::Unknown;
}

Desktop desktopOfList(std::string_view list) {
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(':', start);
        if (end == std::string_view::npos)
            end = list.size();
        if (Desktop d = desktopOfName(list.substr(start, end - start)); d != Desktop::Unknown)
            return d;
        start = end + 1;
    }
    return Desktop::Unknown;
}

// A JavaScript string literal for Plasma's scripting interface.
std::string scriptString(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

} // namespace

Desktop detectDesktop(const std::function<std::string(const char*)>& env) {
    if (Desktop d = desktopOfList(env("XDG_CURRENT_DESKTOP")); d != Desktop::Unknown)
        return d;
    if (Desktop d = desktopOfList(env("XDG_SESSION_DESKTOP")); d != Desktop::Unknown)
        return d;
    return desktopOfList(env("DESKTOP_SESSION"));
}

std::string fileUri(std::string_view path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out = "file://";
    for (unsigned char c : path) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

std::string_view backgroundSchema(Desktop desktop) {
    return desktop == Desktop::Gnome      ? "org.gnome.desktop.background"
           : desktop == Desktop::Cinnamon ? "org.cinnamon.desktop.background"
           : desktop == Desktop::Mate     ? "org.mate.background"
                                          : "";
}

Command pictureOptionsQuery(Desktop desktop) {
    return {"gsettings", {"get", std::string(backgroundSchema(desktop)), "picture-options"}};
}

std::vector<Command> gsettingsCommands(Desktop desktop, std::string_view imagePath,
                                       std::string_view currentOptions) {
    const std::string schema(backgroundSchema(desktop));
    std::vector<Command> out;
    if (schema.empty())
        return out;
    if (desktop == Desktop::Mate) {
        out.push_back({"gsettings", {"set", schema, "picture-filename", std::string(imagePath)}});
    } else {
        const std::string uri = fileUri(imagePath);
        out.push_back({"gsettings", {"set", schema, "picture-uri", uri}});
        // GNOME shows this one while the dark style is on.
        if (desktop == Desktop::Gnome)
            out.push_back({"gsettings", {"set", schema, "picture-uri-dark", uri}});
    }
    std::string options(currentOptions);
    options.erase(
        std::remove_if(options.begin(), options.end(),
                       [](char c) { return c == '\'' || std::isspace(static_cast<unsigned char>(c)); }),
        options.end());
    if (options == "none")
        out.push_back({"gsettings", {"set", schema, "picture-options", "centered"}});
    return out;
}

Command xfceListQuery() {
    return {"xfconf-query", {"-c", "xfce4-desktop", "-l"}};
}

std::vector<Command> xfceCommands(std::string_view listOutput, std::string_view imagePath) {
    std::vector<Command> out;
    constexpr std::string_view kSuffix = "/last-image";
    std::size_t start = 0;
    while (start < listOutput.size()) {
        std::size_t end = listOutput.find('\n', start);
        if (end == std::string_view::npos)
            end = listOutput.size();
        std::string_view line = listOutput.substr(start, end - start);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.remove_suffix(1);
        if (line.starts_with("/backdrop/") && line.ends_with(kSuffix))
            out.push_back({"xfconf-query",
                           {"-c", "xfce4-desktop", "-p", std::string(line), "-s", std::string(imagePath)}});
        start = end + 1;
    }
    return out;
}

Command plasmaApplyCommand(std::string_view imagePath) {
    return {"plasma-apply-wallpaperimage", {std::string(imagePath)}};
}

Command plasmaScriptCommand(std::string_view imagePath) {
    const std::string script = "var all = desktops();"
                               "for (var i = 0; i < all.length; i++) {"
                               " var d = all[i];"
                               " d.wallpaperPlugin = \"org.kde.image\";"
                               " d.currentConfigGroup = [\"Wallpaper\", \"org.kde.image\", \"General\"];"
                               " d.writeConfig(\"Image\", " +
                               scriptString(fileUri(imagePath)) + ");}";
    return {"dbus-send",
            {"--session", "--print-reply", "--dest=org.kde.plasmashell", "/PlasmaShell",
             "org.kde.PlasmaShell.evaluateScript", "string:" + script}};
}

Command lxqtCommand(std::string_view imagePath) {
    return {"pcmanfm-qt", {"--set-wallpaper", std::string(imagePath)}};
}

} // namespace quillmark
