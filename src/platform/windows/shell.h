#pragma once
// Windows shell services: opening a document with its program, and the desktop picture.

#include "base/result.h"

#include <string>

namespace quillmark::win {

// Opens a file, folder or address with the program Windows associates with it. A failure
// is ShellExecuteW's code put into words by shellError() (platform/documents.h).
Status shellOpen(const std::string& target);

// Makes the bitmap at `path` the desktop picture and tells the running programs. The
// user's profile is not rewritten: the next logon shows the picture the user chose.
Status setDesktopWallpaper(const std::string& path);

} // namespace quillmark::win
