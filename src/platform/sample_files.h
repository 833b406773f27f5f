#pragma once

#include <string>

namespace quillmark {

// Copies each file of `fromFolder` into `toFolder` (created when missing) unless a file
// of that name is already there: the user's own files are never replaced. Returns how
// many files were copied.
int copyMissingFiles(const std::string& fromFolder, const std::string& toFolder);

// The sample signature files that come with the program: the "Sigs" folder beside the
// executable in a build tree, else the one in the installed data folder.
std::string sampleSigsFolder(const std::string& executableFolder);

// Folder of the running executable; empty when the system does not say.
std::string executableFolder();

} // namespace quillmark
