#pragma once
// Checks on the files a profile names, made when the user picks one, so that a folder, a
// binary file or an unreadable file is refused with a reason instead of failing later.

#include "base/result.h"

#include <string>

namespace quillmark {

// Creates an empty file at `path` when nothing is there, and its folder when that is
// missing (the signature folder may have been deleted while the program ran). An existing
// file is left exactly as it is.
Status createFileIfMissing(const std::string& path);

enum class ProfileFileRole { Source, Output };

// Whether `path` can serve as a header or footer file (Source: an existing, readable text
// file) or as the output file (Output: not a folder, in an existing folder, and not a file
// holding binary data, which every update would overwrite).
Status checkProfileFile(const std::string& path, ProfileFileRole role);

} // namespace quillmark
