#pragma once
// Starting the program when the user logs in.

#include "base/result.h"

#include <string>

namespace quillmark {

// Adds or removes the current user's start-at-login entry `name`, which runs `data`. On
// Linux this is the XDG autostart file "$XDG_CONFIG_HOME/autostart/<name>.desktop", on
// Windows a value of the user's Run key. Removing an entry that is not there succeeds. A
// name that would reach another file or value, and an empty command or one with control
// characters, are refused with InvalidInput.
Status setRunEntry(const std::string& name, const std::string& data, bool remove);

} // namespace quillmark
