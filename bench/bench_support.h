#pragma once
// Temporary folders for the benchmarks.

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace quillmark::bench {

// A new empty folder under the system's temporary folder; the caller removes it.
inline std::string freshFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quillmark-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        std::abort();
    return pattern;
}

} // namespace quillmark::bench
