#pragma once
// "quillmark-cli next" and "quillmark-cli profiles": the signature engine without the
// window, for mail programs that want a fresh signature for every message. Neither
// command ever writes the settings file.

#include <iosfwd>
#include <optional>
#include <string>

namespace quillmark {

class RandomSource;

struct NextOptions {
    std::optional<std::string> profile; // matched ignoring letter case; none: the one Quillmark starts with
    std::optional<bool> dashes;         // overrides "Add dashes" for this call
    bool blankLineFirst = false;        // a line end before the signature
};

// Writes a new signature to the output file of the profile and prints exactly the bytes
// written. With no profile at all, the first run: the sample "header.txt" and
// "footer.txt" are copied from `sampleFolder` into the signature folder where missing
// (never over the user's own), the signature goes to "sig.txt" there, and, when samples
// were copied, one line on `err` tells how to make a profile. Returns 0 on success, 2 for an unknown profile, 1 when the settings
// file, a source file, the output file or standard output could not be read or written
// (the signature is still printed when it was composed).
int runNextCommand(const NextOptions& options, const std::string& settingsPath,
                   const std::string& sampleFolder, RandomSource& random, std::ostream& out,
                   std::ostream& err);

// Prints the profile names in slot order, one per line. Returns 0, or 1 when the settings
// file or standard output cannot be used.
int runProfilesCommand(const std::string& settingsPath, std::ostream& out, std::ostream& err);

} // namespace quillmark
