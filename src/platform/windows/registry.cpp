#include "platform/windows/registry.h"

#include "platform/windows/win_text.h"

#include <windows.h>

namespace quillmark::win {

namespace {

HKEY rootKey(RegistryRoot root) {
    return root == RegistryRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

// The default value has no name in the registry.
std::wstring valueName(const std::string& name) {
    return name == "*" ? std::wstring() : toWide(name);
}

std::string where(const std::string& keyPath, const std::string& name) {
    return keyPath + "\\" + (name.empty() ? std::string("*") : name);
}

} // namespace

Result<std::string> readRegistryText(RegistryRoot root, const std::string& keyPath, const std::string& name) {
    HKEY key = nullptr;
    LSTATUS status = ::RegOpenKeyExW(rootKey(root), toWide(keyPath).c_str(), 0, KEY_QUERY_VALUE, &key);
    if (status != ERROR_SUCCESS)
        return fromWinError(static_cast<DWORD>(status), "cannot read", where(keyPath, name));
    const std::wstring wideName = valueName(name);
    std::wstring data;
    DWORD type = 0;
    DWORD bytes = 0;
    status = ::RegQueryValueExW(key, wideName.c_str(), nullptr, &type, nullptr, &bytes);
    // The size is asked first, then the text read; a value that grew in between is read again.
    while (status == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ)) {
        data.assign(bytes / sizeof(wchar_t) + 1, L'\0');
        bytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
        status = ::RegQueryValueExW(key, wideName.c_str(), nullptr, &type,
                                    reinterpret_cast<BYTE*>(data.data()), &bytes);
        if (status != ERROR_MORE_DATA)
            break;
        status = ERROR_SUCCESS;
    }
    ::RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        return fromWinError(static_cast<DWORD>(status), "cannot read", where(keyPath, name));
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return Error{ErrorCode::InvalidInput,
                     "cannot read " + where(keyPath, name) + ": the value is not text"};
    // The stored text may or may not carry its terminating NUL.
    data.resize(bytes / sizeof(wchar_t));
    while (!data.empty() && data.back() == L'\0')
        data.pop_back();
    return toUtf8(data);
}

Status writeRegistryText(RegistryRoot root, const std::string& keyPath, const std::string& name,
                         const std::string& text) {
    HKEY key = nullptr;
    LSTATUS status = ::RegCreateKeyExW(rootKey(root), toWide(keyPath).c_str(), 0, nullptr,
                                       REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS)
        return fromWinError(static_cast<DWORD>(status), "cannot write", where(keyPath, name));
    const std::wstring data = toWide(text);
    status =
        ::RegSetValueExW(key, valueName(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                         static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        return fromWinError(static_cast<DWORD>(status), "cannot write", where(keyPath, name));
    return {};
}

Status deleteRegistryValue(RegistryRoot root, const std::string& keyPath, const std::string& name) {
    HKEY key = nullptr;
    LSTATUS status = ::RegOpenKeyExW(rootKey(root), toWide(keyPath).c_str(), 0, KEY_SET_VALUE, &key);
    if (status == ERROR_SUCCESS) {
        status = ::RegDeleteValueW(key, valueName(name).c_str());
        ::RegCloseKey(key);
    }
    if (status != ERROR_SUCCESS)
        return fromWinError(static_cast<DWORD>(status), "cannot delete", where(keyPath, name));
    return {};
}

} // namespace quillmark::win
