#include "platform/sample_files.h"

#include "platform/windows/app_folders_windows.h"

namespace quillmark {

std::string executableFolder() {
    return win::executableFolder();
}

} // namespace quillmark
