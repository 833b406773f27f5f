#pragma once
// Where the program keeps its files. Tests point these at temporary folders through
// the environment (HOME, XDG_CONFIG_HOME, XDG_DATA_HOME) before the first call.

#include <string>

namespace quillmark {

// Folder of the settings file and the key store; created on the first write.
std::string configFolder();

// Full path of the settings file "Quillmark.INI".
std::string settingsFilePath();

// The program's folder: "wallpaper.lst", "errorlog.dat", the wallpaper and the default "Sigs".
std::string programFolder();

// Folder of files the program can make again (the entry indexes): "$XDG_CACHE_HOME/quillmark"
// ("~/.cache/quillmark") on Linux, "%LOCALAPPDATA%\Quillmark\Cache" on Windows.
std::string cacheFolder();

// Folder of the lock and the socket that let one copy run per user, writable by the user
// alone: "$XDG_RUNTIME_DIR" when it is such a folder, else "runtime" in the cache folder.
std::string runtimeFolder();

// Creates the folder (and those above it) when missing, for the user alone. True when it is then
// the user's own folder that no one else can write in; anything else in its place is left alone.
bool makePrivateFolder(const std::string& path);

// Before the toolkit starts: points XDG_RUNTIME_DIR at runtimeFolder() when the session set
// none or one not the user's alone. Does nothing on Windows.
void useOwnRuntimeFolder();

// Folder of the help pages, given the folder of the running executable.
std::string helpFolder(const std::string& executableFolder);

// Value of an environment variable, empty when unset.
std::string environmentValue(const char* name);

} // namespace quillmark
