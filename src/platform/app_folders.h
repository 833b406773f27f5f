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

// Folder of the lock and the socket that let one copy run per user. Nobody but the user
// may write in it, so another user can neither stop the program nor let a second copy
// run: "$XDG_RUNTIME_DIR" when that is a folder of the user's own that no one else can
// write in, else "runtime" in the cache folder, never a shared temporary folder.
std::string runtimeFolder();

// Creates the folder (and the folders above it) when it is missing, readable and writable
// by the user alone. True when `path` is then a folder of the user's own that no one else
// can write in; a plain file or another user's folder in its place is left untouched.
bool makePrivateFolder(const std::string& path);

// Before the toolkit starts: points the process's XDG_RUNTIME_DIR at runtimeFolder() when
// the session set none or one that is not the user's alone, so that nothing the program
// starts falls back to a shared temporary folder. Does nothing on Windows.
void useOwnRuntimeFolder();

// Folder of the help pages, given the folder of the running executable.
std::string helpFolder(const std::string& executableFolder);

// Value of an environment variable, empty when unset.
std::string environmentValue(const char* name);

} // namespace quillmark
