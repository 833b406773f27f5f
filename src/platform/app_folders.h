#pragma once
// Where the program keeps its files. Tests point these at temporary folders through
// the environment (HOME, XDG_CONFIG_HOME, XDG_DATA_HOME) before the first call.

#include <string>

namespace quillmark {

// Folder of the settings file and the key store; created on the first write.
std::string configFolder();

// Full path of the settings file "Quillmark.INI".
std::string settingsFilePath();

// The program's own folder: "wallpaper.lst", "errorlog.dat", the wallpaper bitmap and
// the default "Sigs" folder live here.
std::string programFolder();

// Folder of files the program can make again whenever they are lost (the entry indexes):
// "$XDG_CACHE_HOME/quillmark" (by default "~/.cache/quillmark") on Linux,
// "%LOCALAPPDATA%\Quillmark\Cache" on Windows.
std::string cacheFolder();

// Folder of the help pages, given the folder of the running executable.
std::string helpFolder(const std::string& executableFolder);

// Value of an environment variable, empty when unset.
std::string environmentValue(const char* name);

} // namespace quillmark
