#pragma once
// Where the program's own files go on Windows.

#include <string>

namespace quillmark::win {

// The folder of the running executable.
std::string executableFolder();

// `executableFolder` when the user may create files there, else "%LOCALAPPDATA%\Quillmark"
// (an installation under "C:\Program Files" belongs to the administrator).
std::string programFolderFor(const std::string& executableFolder);

} // namespace quillmark::win
