#include "support/temp_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace quillmark::test {

namespace fs = std::filesystem;

namespace {

// On Windows _putenv_s sets both the C runtime's copy, which getenv reads, and the process's.
void setVariable(const char* name, const std::string& value) {
#ifdef _WIN32
    ::_putenv_s(name, value.c_str());
#else
    ::setenv(name, value.c_str(), 1);
#endif
}

std::string makeTempFolder() {
    static std::mt19937_64 random{std::random_device{}()};
    const fs::path folder = fs::temp_directory_path() / ("quillmark-test-" + std::to_string(random()));
    if (!fs::create_directory(folder)) // never a folder another run still uses
        throw std::runtime_error("cannot create a temporary folder");
    fs::permissions(folder, fs::perms::owner_all);
    return folder.string();
}

} // namespace

TempFolder::TempFolder() : m_path(makeTempFolder()) {}

TempFolder::~TempFolder() {
    std::error_code ec;
    // Give back the rights tests took away, passing over links (their target may lie outside).
    for (auto it = fs::recursive_directory_iterator(m_path, ec); it != fs::recursive_directory_iterator();
         it.increment(ec))
        if (it->symlink_status(ec).type() != fs::file_type::symlink && !ec)
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(m_path, ec);
}

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void spit(const std::string& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), std::ssize(bytes));
}

std::string withLineEnds(std::string_view text) {
    std::string out;
    for (char c : text)
        out += c == '\n' ? kLineEnd : std::string_view(&c, 1);
    return out;
}

void isolateHome(const std::string& root) {
    for (const char* folder : {"/config", "/data", "/runtime"})
        fs::create_directories(root + folder);
    fs::permissions(root + "/runtime", fs::perms::owner_all);
    setVariable("HOME", root);
    setVariable("XDG_CONFIG_HOME", root + "/config");
    setVariable("XDG_DATA_HOME", root + "/data");
    setVariable("XDG_RUNTIME_DIR", root + "/runtime");
    setVariable("XDG_CACHE_HOME", root + "/cache");
    setVariable("APPDATA", root + "\\config"); // the settings file lives in %APPDATA%\Quillmark
    setVariable("LOCALAPPDATA", root + "\\data");
}

} // namespace quillmark::test
