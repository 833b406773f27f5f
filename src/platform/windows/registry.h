#pragma once
// Text values in the Windows registry, for the program's start-at-login entry and its
// settings under the current user's key. Names, paths and texts are UTF-8 here and
// UTF-16 in the registry; a text may hold line breaks and reads back unchanged.

#include "base/result.h"

#include <string>

namespace quillmark::win {

enum class RegistryRoot { CurrentUser, LocalMachine };

// The value's text. The name "*" or "" is the key's default value. NotFound when the key
// or the value is missing; InvalidInput when the value holds something other than text
// (a number, binary data), which is never read as if it were text.
Result<std::string> readRegistryText(RegistryRoot root, const std::string& keyPath, const std::string& name);

// Creates the key when needed and stores the text as a string value. AccessDenied when
// the user may not write there (a policy, a machine-wide key).
Status writeRegistryText(RegistryRoot root, const std::string& keyPath, const std::string& name,
                         const std::string& text);

// Removes one value; NotFound when it was not there.
Status deleteRegistryValue(RegistryRoot root, const std::string& keyPath, const std::string& name);

} // namespace quillmark::win
