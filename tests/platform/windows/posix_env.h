#pragma once
// Tests set environment variables the POSIX way; the Windows C runtime names the calls
// differently. Given to every test source of the Windows build.

#include <cstdlib>

inline int setenv(const char* name, const char* value, int overwrite) {
    if (!overwrite && std::getenv(name))
        return 0;
    // An empty value removes the variable in the C runtime, which reads the same.
    return ::_putenv_s(name, value);
}

inline int unsetenv(const char* name) {
    return ::_putenv_s(name, "");
}
