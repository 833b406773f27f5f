#pragma once
// "quillmark-cli profile add|remove|show|use": the Profiles tab's commands for a terminal,
// changing the settings file exactly as the tab does.

#include <iosfwd>
#include <optional>
#include <string>

namespace quillmark {

class RandomSource;

struct ProfileAddOptions {
    std::string name;
    std::string headerFile;
    std::string footerFile;
    std::optional<std::string> sigFile; // default: "sig.txt" in the signature folder
};

// Exit statuses of every profile command: 0 done; 1 the settings file (or its lock) or a
// given file could not be read or written; 2 a refused name or path, or an unknown profile.
// Nothing is written unless the status is 0.

// Stores the new profile (paths made absolute) in the lowest free slot, makes it current
// and, as choosing a profile in the window does, writes its first signature (status 1 when
// that fails; the profile stays).
int runProfileAdd(const ProfileAddOptions& options, const std::string& settingsPath, RandomSource& random,
                  std::ostream& out, std::ostream& err);
// Frees every slot of the profile; the first remaining profile becomes current.
int runProfileRemove(const std::string& name, const std::string& settingsPath, std::ostream& out,
                     std::ostream& err);
// Prints the header, footer and output paths of the profile (default: the one Quillmark
// starts with), one per line as "header: PATH". Writes nothing.
int runProfileShow(const std::optional<std::string>& name, const std::string& settingsPath, std::ostream& out,
                   std::ostream& err);
// Makes the profile the one Quillmark starts with and "next" uses.
int runProfileUse(const std::string& name, const std::string& settingsPath, std::ostream& out,
                  std::ostream& err);

} // namespace quillmark
