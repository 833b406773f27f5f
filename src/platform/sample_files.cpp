#include "platform/sample_files.h"

#include "platform/error_handler.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/platform.h"

#include <filesystem>

#ifndef QUILLMARK_INSTALL_DATADIR
#define QUILLMARK_INSTALL_DATADIR "/usr/local/share"
#endif

namespace quillmark {

std::string sampleSigsFolder(const std::string& executableFolder) {
    std::error_code ec;
    std::string beside = executableFolder + kPathSeparator + "Sigs";
    if (!executableFolder.empty() && std::filesystem::is_directory(toFsPath(beside), ec))
        return beside;
    return std::string(QUILLMARK_INSTALL_DATADIR) + "/quillmark/Sigs";
}

int copyMissingFiles(const std::string& fromFolder, const std::string& toFolder) {
    std::error_code ec;
    if (!std::filesystem::is_directory(toFsPath(fromFolder), ec))
        return 0;
    if (Status made = makeFolders(toFolder); !made.ok()) {
        logError("copyMissingFiles", made.message());
        return 0;
    }
    int copied = 0;
    for (const auto& entry : std::filesystem::directory_iterator(toFsPath(fromFolder), ec)) {
        if (!entry.is_regular_file(ec))
            continue;
        const std::string target = toFolder + kPathSeparator + toUtf8Path(entry.path().filename());
        if (std::filesystem::exists(std::filesystem::symlink_status(toFsPath(target), ec)))
            continue;
        const Result<std::string> sample = readFile(toUtf8Path(entry.path()));
        const Status status = sample ? writeFileAtomic(target, *sample) : Status(sample.error());
        if (!status)
            logError("copyMissingFiles", status.message());
        else
            ++copied;
    }
    return copied;
}

} // namespace quillmark
