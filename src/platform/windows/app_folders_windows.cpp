#include "platform/app_folders.h"

#include "platform/windows/app_folders_windows.h"
#include "platform/windows/win_text.h"

#include <windows.h>

#include <shlobj.h>

#include <filesystem>

namespace quillmark {

namespace {

std::string knownFolder(const char* variable, REFKNOWNFOLDERID id) {
    std::string value = environmentValue(variable);
    if (!value.empty())
        return value;
    wchar_t* path = nullptr;
    if (::SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path) == S_OK && path)
        value = win::toUtf8(path);
    ::CoTaskMemFree(path);
    return value;
}

// Whether the user may create files in the folder: a file is made and removed again.
bool isWritableFolder(const std::string& folder) {
    const std::wstring probe = win::widePath(folder + "\\.quillmark-write-test");
    HANDLE file = ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return ::GetLastError() == ERROR_FILE_EXISTS;
    ::CloseHandle(file);
    return true;
}

} // namespace

std::string environmentValue(const char* name) {
    const std::wstring wideName = win::toWide(name);
    DWORD size = ::GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    while (size > 0) {
        std::wstring value(size, L'\0');
        const DWORD got = ::GetEnvironmentVariableW(wideName.c_str(), value.data(), size);
        if (got < size) {
            value.resize(got);
            return win::toUtf8(value);
        }
        size = got; // it grew in between
    }
    return {};
}

std::string win::executableFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD got = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (got == 0)
            return {};
        if (got < path.size()) {
            path.resize(got);
            break;
        }
        path.resize(path.size() * 2);
    }
    const auto sep = path.find_last_of(L'\\');
    return win::toUtf8(sep == std::wstring::npos ? path : path.substr(0, sep));
}

// A bare "Quillmark.INI" would land in the Windows folder, which a normal user cannot write.
std::string configFolder() {
    return knownFolder("APPDATA", FOLDERID_RoamingAppData) + "\\Quillmark";
}

// Local, not roaming: the indexes describe files of this machine.
std::string cacheFolder() {
    return knownFolder("LOCALAPPDATA", FOLDERID_LocalAppData) + "\\Quillmark\\Cache";
}

std::string settingsFilePath() {
    return configFolder() + "\\Quillmark.INI";
}

std::string win::programFolderFor(const std::string& executableFolder) {
    // Installed under "C:\Program Files" the folder is the administrator's: the program's
    // own files then go to the user's local application data.
    if (!executableFolder.empty() && isWritableFolder(executableFolder))
        return executableFolder;
    return knownFolder("LOCALAPPDATA", FOLDERID_LocalAppData) + "\\Quillmark";
}

std::string programFolder() {
    return win::programFolderFor(win::executableFolder());
}

// The user's local application data is the user's alone: its folders inherit that.
std::string runtimeFolder() {
    return knownFolder("LOCALAPPDATA", FOLDERID_LocalAppData) + "\\Quillmark\\Runtime";
}

bool makePrivateFolder(const std::string& path) {
    std::error_code ignored;
    const std::filesystem::path folder(win::widePath(path));
    std::filesystem::create_directories(folder, ignored);
    return std::filesystem::is_directory(folder, ignored);
}

// Windows has no runtime folder to set.
void useOwnRuntimeFolder() {}

std::string helpFolder(const std::string& executableFolder) {
    return executableFolder + "\\Help";
}

} // namespace quillmark
