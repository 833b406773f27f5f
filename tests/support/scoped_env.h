#pragma once
// Sets or clears an environment variable for one scope and puts it back afterwards.

#include <cstdlib>
#include <optional>
#include <string>

namespace quillmark::test {

class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : m_name(name) {
        if (const char* old = std::getenv(name))
            m_old = old;
        set(value);
    }
    ~ScopedEnv() { set(m_old); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    void set(const std::optional<std::string>& value) {
#ifdef _WIN32
        ::_putenv_s(m_name.c_str(), value ? value->c_str() : "");
#else
        value ? ::setenv(m_name.c_str(), value->c_str(), 1) : ::unsetenv(m_name.c_str());
#endif
    }

    std::string m_name;
    std::optional<std::string> m_old;
};

} // namespace quillmark::test
