#include "platform/app_folders.h"
#include "platform/autostart.h"
#include "platform/file_io.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>
#include <unistd.h>

namespace quillmark {

namespace {

// The autostart folder of the XDG desktops; empty when no home folder is known, so that
// nothing is ever written to "/.config".
std::string autostartFolder() {
    std::string config = environmentValue("XDG_CONFIG_HOME");
    // The XDG rules ignore relative paths.
    if (config.empty() || config.front() != '/') {
        const std::string home = environmentValue("HOME");
        if (home.empty() || home.front() != '/')
            return {};
        config = home + "/.config";
    }
    return config + "/autostart";
}

bool hasControlCharacter(const std::string& text) {
    for (unsigned char c : text)
        if (c < 0x20 || c == 0x7f)
            return true;
    return false;
}

// The name becomes the file name of the entry: nothing that could leave the folder.
bool isSafeEntryName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           !hasControlCharacter(name);
}

// Backslashes are the escape character of every string value in a desktop entry.
std::string escapeDesktopString(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += '\\';
        out += c;
    }
    return out;
}

// `program` is one argument, a path that may hold spaces: the Exec key splits on blanks, so such a
// path goes in double quotes, and "%" (a field code's start) is doubled.
std::string execValue(const std::string& program) {
    constexpr std::string_view reserved = " \t\"'\\><~|&;$*?#()`";
    const bool quoted = program.find_first_of(reserved) != std::string::npos;
    std::string arg = quoted ? "\"" : "";
    for (char c : program) {
        if (quoted && (c == '"' || c == '`' || c == '$' || c == '\\'))
            arg += '\\';
        if (c == '%')
            arg += '%';
        arg += c;
    }
    if (quoted)
        arg += '"';
    return escapeDesktopString(arg);
}

} // namespace

Status setRunEntry(const std::string& name, const std::string& data, bool remove) {
    if (!isSafeEntryName(name))
        return Error{ErrorCode::InvalidInput, "the autostart entry's name '" + name + "' is no file name"};
    const std::string folder = autostartFolder();
    if (folder.empty())
        return Error{ErrorCode::PathNotFound, "no home folder is known to hold the autostart entry"};
    const std::string path = folder + "/" + name + ".desktop";

    if (remove) {
        if (::unlink(path.c_str()) == 0 || errno == ENOENT)
            return {};
        const int err = errno;
        return Error{err == EACCES || err == EPERM || err == EROFS ? ErrorCode::AccessDenied
                                                                   : ErrorCode::Other,
                     "cannot remove " + path + ": " + std::strerror(err)};
    }

    // A line break in the command would start a new key in the entry.
    if (data.empty() || hasControlCharacter(data))
        return Error{ErrorCode::InvalidInput, "the autostart command is empty or holds control characters"};
    std::string entry = "[Desktop Entry]\n";
    entry += "Type=Application\n";
    entry += "Name=" + escapeDesktopString(name) + "\n";
    entry += "Exec=" + execValue(data) + "\n";
    entry += "X-GNOME-Autostart-enabled=true\n";
    if (Status made = makeFolders(folder); !made)
        return made;
    return writeFileAtomic(path, entry);
}

} // namespace quillmark
