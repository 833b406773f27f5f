#include "platform/app_folders.h"

#include <cstdlib>
#include <sys/stat.h>

#ifndef QUILLMARK_INSTALL_DATADIR
#define QUILLMARK_INSTALL_DATADIR "/usr/local/share"
#endif

namespace quillmark {

namespace {

std::string xdgFolder(const char* variable, const char* fallbackUnderHome) {
    std::string value = environmentValue(variable);
    // The XDG rules ignore relative paths.
    if (!value.empty() && value.front() == '/')
        return value;
    return environmentValue("HOME") + "/" + fallbackUnderHome;
}

bool isFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

std::string environmentValue(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

std::string configFolder() {
    return xdgFolder("XDG_CONFIG_HOME", ".config") + "/Quillmark";
}

std::string cacheFolder() {
    return xdgFolder("XDG_CACHE_HOME", ".cache") + "/quillmark";
}

std::string settingsFilePath() {
    return configFolder() + "/Quillmark.INI";
}

std::string programFolder() {
    return xdgFolder("XDG_DATA_HOME", ".local/share") + "/Quillmark";
}

std::string helpFolder(const std::string& executableFolder) {
    std::string beside = executableFolder + "/Help";
    if (isFolder(beside))
        return beside;
    return std::string(QUILLMARK_INSTALL_DATADIR) + "/quillmark/Help";
}

} // namespace quillmark
