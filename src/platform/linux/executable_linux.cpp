#include "platform/command_line.h"
#include "platform/sample_files.h"

#include <climits>
#include <unistd.h>

namespace quillmark {

std::string executableFolder() {
    char buffer[PATH_MAX];
    const ssize_t size = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (size <= 0)
        return {};
    std::string path(buffer, static_cast<std::size_t>(size));
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash == 0 ? 1 : slash);
}

std::vector<std::string> utf8Arguments(int argc, char** argv) {
    return {argv, argv + argc};
}

} // namespace quillmark
