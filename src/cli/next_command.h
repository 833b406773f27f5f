#pragma once
// "quillmark-cli next" and "quillmark-cli profiles": the signature engine without the
// window, for mail programs that want a fresh signature for every message. Neither
// command ever writes the settings file.

#include <iosfwd>
#include <string>
#include <vector>

namespace quillmark {

class RandomSource;

// args[0] is "next", optionally followed by "--profile NAME". Writes a new signature to
// the profile's output file and prints exactly the bytes written. Returns 0 on success,
// 2 for a usage error, an unknown profile or no profile at all, 1 when the settings file,
// a source file, the output file or standard output could not be read or written (the
// signature is still printed when it was composed).
int runNextCommand(const std::vector<std::string>& args, const std::string& settingsPath,
                   RandomSource& random, std::ostream& out, std::ostream& err);

// args[0] is "profiles": prints the profile names in slot order, one per line. Returns 0,
// 2 for a usage error, 1 when the settings file or standard output cannot be used.
int runProfilesCommand(const std::vector<std::string>& args, const std::string& settingsPath,
                       std::ostream& out, std::ostream& err);

} // namespace quillmark
