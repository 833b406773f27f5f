#pragma once
// Starting the program when the user logs in.

#include <string>

namespace quillmark {

enum class RunEntryKind { RunOnce = 1, Run = 2 };

// Adds or removes the program's start-at-login entry. On Linux this is the XDG autostart
// file "$XDG_CONFIG_HOME/autostart/<name>.desktop", which runs `data`.
bool SetRunEntry(const std::string& name, const std::string& data, bool currentUser, RunEntryKind kind,
                 bool remove);

} // namespace quillmark
