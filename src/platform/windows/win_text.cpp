#include "platform/windows/win_text.h"

#include <windows.h>

namespace quillmark::win {

std::wstring toWide(std::string_view text) {
    if (text.empty())
        return {};
    const int length = static_cast<int>(text.size());
    const int needed = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
    std::wstring out(static_cast<size_t>(needed), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), length, out.data(), needed);
    return out;
}

std::string toUtf8(std::wstring_view text) {
    if (text.empty())
        return {};
    const int length = static_cast<int>(text.size());
    const int needed = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(needed), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, out.data(), needed, nullptr, nullptr);
    return out;
}

std::wstring widePath(std::string_view path) {
    std::wstring wide = toWide(path);
    for (wchar_t& c : wide)
        if (c == L'/')
            c = L'\\';
    if (wide.size() < MAX_PATH || wide.starts_with(L"\\\\?\\"))
        return wide;
    // Only a full path may carry the prefix: "\\?\" turns off every other rewriting.
    if (wide.starts_with(L"\\\\"))
        return L"\\\\?\\UNC\\" + wide.substr(2);
    if (wide.size() > 2 && wide[1] == L':' && wide[2] == L'\\')
        return L"\\\\?\\" + wide;
    return wide;
}

std::string systemMessage(unsigned long error) {
    wchar_t* buffer = nullptr;
    const DWORD n = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                         FORMAT_MESSAGE_IGNORE_INSERTS,
                                     nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text;
    if (n > 0 && buffer)
        text = toUtf8(std::wstring_view(buffer, n));
    if (buffer)
        ::LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    for (char& c : text)
        if (c == '\r' || c == '\n')
            c = ' ';
    return text.empty() ? "error " + std::to_string(error) : text;
}

Error fromWinError(unsigned long error, std::string_view what, std::string_view path) {
    ErrorCode code = ErrorCode::Other;
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
        code = ErrorCode::NotFound;
        break;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_DIRECTORY:
        code = ErrorCode::PathNotFound;
        break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
    case ERROR_UNABLE_TO_REMOVE_REPLACED:
        code = ErrorCode::AccessDenied;
        break;
    default:
        break;
    }
    return {code, std::string(what) + " " + std::string(path) + ": " + systemMessage(error)};
}

} // namespace quillmark::win
