#include "platform/app_folders.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

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

// A folder of the user's own in which no one else can create, rename or remove a file.
bool isPrivateFolder(const struct stat& st) {
    return S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
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

std::string runtimeFolder() {
    // A session folder left from another user (after "su") or open to all does not count:
    // the lock and the socket go to a folder in the user's own home instead.
    const std::string session = environmentValue("XDG_RUNTIME_DIR");
    struct stat st {};
    if (!session.empty() && session.front() == '/' && ::stat(session.c_str(), &st) == 0 &&
        isPrivateFolder(st))
        return session;
    return cacheFolder() + "/runtime";
}

bool makePrivateFolder(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        std::error_code ignored;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
        // A folder that appeared in between is judged as it is, never taken over.
        if (::mkdir(path.c_str(), S_IRWXU) != 0 && errno != EEXIST)
            return false;
        if (::stat(path.c_str(), &st) != 0)
            return false;
    }
    return isPrivateFolder(st);
}

void useOwnRuntimeFolder() {
    const std::string folder = runtimeFolder();
    if (folder != environmentValue("XDG_RUNTIME_DIR") && makePrivateFolder(folder))
        ::setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
}

std::string helpFolder(const std::string& executableFolder) {
    std::string beside = executableFolder + "/Help";
    if (isFolder(beside))
        return beside;
    return std::string(QUILLMARK_INSTALL_DATADIR) + "/quillmark/Help";
}

} // namespace quillmark
