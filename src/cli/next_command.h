#pragma once
// "quillmark-cli next" and "quillmark-cli profiles": the signature engine without the
// window, for mail programs that want a fresh signature for every message. Neither
// command ever writes the settings file.

#include <iosfwd>
#include <optional>
#include <string>

namespace quillmark {

class RandomSource;
class Settings;

struct NextOptions {
    std::optional<std::string> profile; // matched ignoring letter case; none: the one Quillmark starts with
    std::optional<bool> dashes;         // overrides "Add dashes" for this call
    bool blankLineFirst = false;        // a line end before the signature
};

// Writes a new signature to the output file of the profile and prints the bytes written.
// With no profile at all the samples from `sampleFolder` are copied into the signature
// folder where missing, the signature goes to "sig.txt" there, and, when samples were
// copied, one line on `err` tells how to make a profile. Returns 0, 2 for an unknown
// profile, 1 when a file or standard output failed (the signature is still printed when
// it was composed).
int runNextCommand(const NextOptions& options, const std::string& settingsPath,
                   const std::string& sampleFolder, RandomSource& random, std::ostream& out,
                   std::ostream& err);

// Prints the profile names in slot order, one a line; 1 when a file or standard output fails.
int runProfilesCommand(const std::string& settingsPath, std::ostream& out, std::ostream& err);

// For every command: false after one line on `err` ("quillmark-cli COMMAND: ...").
bool settingsReadable(Settings& settings, const char* command, std::ostream& err);
bool finishOutput(std::ostream& out, std::ostream& err, const char* command);

} // namespace quillmark
