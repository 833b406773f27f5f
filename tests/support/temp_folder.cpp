#include "support/temp_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#ifdef _WIN32
#include <process.h>
#endif

namespace quillmark::test {

namespace {

#ifdef _WIN32
// The C runtime's environment, which getenv reads, and the process's, which the
// program's Windows calls read, both take the value.
void setVariable(const char* name, const std::string& value) {
    ::_putenv_s(name, value.c_str());
}

std::string makeTempFolder() {
    static unsigned counter = 0;
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const std::filesystem::path candidate =
            base / ("quillmark-test-" + std::to_string(::_getpid()) + "-" + std::to_string(++counter));
        std::error_code ec;
        if (std::filesystem::create_directory(candidate, ec))
            return candidate.string();
    }
    throw std::runtime_error("cannot create a temporary folder");
}
#else
void setVariable(const char* name, const std::string& value) {
    ::setenv(name, value.c_str(), 1);
}

std::string makeTempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quillmark-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    return pattern;
}
#endif

} // namespace

TempFolder::TempFolder() : m_path(makeTempFolder()) {}

TempFolder::~TempFolder() {
    std::error_code ec;
    // Tests make some folders read-only; give the owner its rights back before removing.
    // A link is passed over: its target may lie outside the folder (a device, a system file).
    for (auto it = std::filesystem::recursive_directory_iterator(m_path, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
        if (it->symlink_status(ec).type() != std::filesystem::file_type::symlink && !ec)
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(m_path, ec);
}

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void spit(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void isolateHome(const std::string& root) {
    std::filesystem::create_directories(root + "/config");
    std::filesystem::create_directories(root + "/data");
    std::filesystem::create_directories(root + "/runtime");
    std::filesystem::permissions(root + "/runtime", std::filesystem::perms::owner_all);
    setVariable("HOME", root);
    setVariable("XDG_CONFIG_HOME", root + "/config");
    setVariable("XDG_DATA_HOME", root + "/data");
    setVariable("XDG_RUNTIME_DIR", root + "/runtime");
    setVariable("XDG_CACHE_HOME", root + "/cache");
    // Their Windows counterparts: the settings file lives in %APPDATA%\Quillmark.
    setVariable("APPDATA", root + "\\config");
    setVariable("LOCALAPPDATA", root + "\\data");
}

} // namespace quillmark::test
