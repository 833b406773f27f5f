#include "platform/sample_files.h"

#include "platform/error_handler.h"
#include "platform/file_io.h"
#include "platform/platform.h"

#include <filesystem>

#ifndef QUILLMARK_INSTALL_DATADIR
#define QUILLMARK_INSTALL_DATADIR "/usr/local/share"
#endif

namespace quillmark {

namespace {

// The program's paths are UTF-8; a plain string would be read in the Windows code page,
// which breaks every name with letters outside it.
std::filesystem::path toPath(const std::string& path) {
    return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

std::string fromPath(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

} // namespace

std::string sampleSigsFolder(const std::string& executableFolder) {
    std::error_code ec;
    std::string beside = executableFolder + kPathSeparator + "Sigs";
    if (!executableFolder.empty() && std::filesystem::is_directory(toPath(beside), ec))
        return beside;
    return std::string(QUILLMARK_INSTALL_DATADIR) + "/quillmark/Sigs";
}

int copyMissingFiles(const std::string& fromFolder, const std::string& toFolder) {
    std::error_code ec;
    if (!std::filesystem::is_directory(toPath(fromFolder), ec))
        return 0;
    if (Status made = makeFolders(toFolder); !made.ok()) {
        logError("copyMissingFiles", made.message());
        return 0;
    }
    int copied = 0;
    for (const auto& entry : std::filesystem::directory_iterator(toPath(fromFolder), ec)) {
        if (!entry.is_regular_file(ec))
            continue;
        const std::string target = toFolder + kPathSeparator + fromPath(entry.path().filename());
        if (std::filesystem::exists(std::filesystem::symlink_status(toPath(target), ec)))
            continue;
        const Result<std::string> sample = readFile(fromPath(entry.path()));
        const Status status = sample ? writeFileAtomic(target, *sample) : Status(sample.error());
        if (!status)
            logError("copyMissingFiles", status.message());
        else
            ++copied;
    }
    return copied;
}

} // namespace quillmark
