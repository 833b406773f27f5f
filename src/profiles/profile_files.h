#pragma once
// Checks on the files a profile names, made when the user picks one, so that a folder, a
// binary file or an unreadable file is refused with a reason instead of failing later.

#include "base/result.h"

#include <string>

namespace quillmark {

// Creates an empty file (and its folder) at `path` when nothing is there; an existing file is
// left exactly as it is.
Status createFileIfMissing(const std::string& path);

enum class ProfileFileRole { Source, Output };

// Whether `path` can be a header or footer (Source: an existing, readable text file) or the output
// (Output: no folder, in an existing folder, no binary file that every update would overwrite).
Status checkProfileFile(const std::string& path, ProfileFileRole role);

} // namespace quillmark
