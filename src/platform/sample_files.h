#pragma once

#include <string>

namespace quillmark {

// Copies each file of `fromFolder` into `toFolder` (created when missing) unless a file
// of that name is already there: the user's own files are never replaced.
void copyMissingFiles(const std::string& fromFolder, const std::string& toFolder);

} // namespace quillmark
