#include "platform/autostart.h"

#include "platform/result.h"
#include "platform/windows/registry.h"

namespace quillmark {

namespace {

bool hasControlCharacter(const std::string& text) {
    for (unsigned char c : text)
        if (c < 0x20 || c == 0x7f)
            return true;
    return false;
}

// Windows splits the command at blanks: a program path with spaces starts the right
// program only in quotes.
std::string quotedCommand(const std::string& program) {
    if (program.starts_with('"'))
        return program;
    return "\"" + program + "\"";
}

} // namespace

bool SetRunEntry(const std::string& name, const std::string& data, bool currentUser, RunEntryKind kind,
                 bool remove) {
    // "\" would name a deeper key, and an empty name the key's default value.
    if (name.empty() || name == "*" || name.find('\\') != std::string::npos || hasControlCharacter(name))
        return false;
    const auto root = currentUser ? win::RegistryRoot::CurrentUser : win::RegistryRoot::LocalMachine;
    const std::string key = kind == RunEntryKind::RunOnce
                                ? "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce"
                                : "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    if (remove) {
        const Status status = win::deleteRegistryValue(root, key, name);
        return status.ok() || status.code() == ErrorCode::NotFound;
    }
    if (data.empty() || hasControlCharacter(data))
        return false;
    return win::writeRegistryText(root, key, name, quotedCommand(data)).ok();
}

} // namespace quillmark
