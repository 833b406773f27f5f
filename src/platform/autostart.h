#pragma once
// Starting the program when the user logs in.

#include "base/result.h"

#include <string>

namespace quillmark {

// Adds or removes the user's start-at-login entry `name`, which runs `data`: on Linux the XDG file
// "$XDG_CONFIG_HOME/autostart/<name>.desktop", on Windows a value of the Run key. Removing a missing
// entry succeeds. A name reaching another file or value, or a command that is empty or holds
// control characters, is refused with InvalidInput.
Status setRunEntry(const std::string& name, const std::string& data, bool remove);

} // namespace quillmark
