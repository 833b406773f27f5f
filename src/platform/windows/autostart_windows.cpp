#include "platform/autostart.h"

#include "base/result.h"
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

Status setRunEntry(const std::string& name, const std::string& data, bool remove) {
    // "\" would name a deeper key, and an empty name the key's default value.
    if (name.empty() || name == "*" || name.find('\\') != std::string::npos || hasControlCharacter(name))
        return Error{ErrorCode::InvalidInput,
                     "the start-at-login entry's name '" + name + "' is no value name"};
    const auto root = win::RegistryRoot::CurrentUser;
    const std::string key = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    if (remove) {
        Status status = win::deleteRegistryValue(root, key, name);
        if (!status && status.code() == ErrorCode::NotFound)
            return {};
        return status;
    }
    if (data.empty() || hasControlCharacter(data))
        return Error{ErrorCode::InvalidInput,
                     "the start-at-login command is empty or holds control characters"};
    return win::writeRegistryText(root, key, name, quotedCommand(data));
}

} // namespace quillmark
