#include "platform/command_line.h"
#include "platform/sample_files.h"
#include "platform/windows/app_folders_windows.h"
#include "platform/windows/win_text.h"

#include <windows.h>

#include <shellapi.h>

namespace quillmark {

std::string executableFolder() {
    return win::executableFolder();
}

std::vector<std::string> utf8Arguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr)
        return {argv, argv + argc};
    std::vector<std::string> arguments;
    arguments.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        arguments.push_back(win::toUtf8(wide[i]));
    ::LocalFree(wide);
    return arguments;
}

} // namespace quillmark
