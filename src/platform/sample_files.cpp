#include "platform/sample_files.h"

#include "platform/error_handler.h"
#include "platform/file_io.h"

#include <filesystem>

namespace quillmark {

void copyMissingFiles(const std::string& fromFolder, const std::string& toFolder) {
    std::error_code ec;
    if (!std::filesystem::is_directory(fromFolder, ec))
        return;
    if (IoStatus made = makeFolders(toFolder); !made.ok()) {
        LogError("copyMissingFiles", made.message);
        return;
    }
    for (const auto& entry : std::filesystem::directory_iterator(fromFolder, ec)) {
        if (!entry.is_regular_file(ec))
            continue;
        const std::string target = toFolder + "/" + entry.path().filename().string();
        if (std::filesystem::exists(std::filesystem::symlink_status(target, ec)))
            continue;
        ReadResult sample = readFile(entry.path().string());
        IoStatus status = sample.status.ok() ? writeFileAtomic(target, sample.bytes) : sample.status;
        if (!status.ok())
            LogError("copyMissingFiles", status.message);
    }
}

} // namespace quillmark
