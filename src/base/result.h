#pragma once
// Errors are values: every fallible operation of the core returns a Result, the value or an Error
// in words a log line or a message box can use; the caller adds its context and carries on.

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace quillmark {

enum class ErrorCode {
    NotFound,     // the file itself does not exist
    PathNotFound, // its folder does not exist
    AccessDenied,
    IsDirectory,
    SpecialFile,   // a device, socket or other non-regular file where a file was expected
    NoReader,      // a named pipe with nobody reading it
    TooLarge,      // larger than the program accepts
    SameFile,      // the output would overwrite one of its own sources
    UntrustedLink, // a symbolic link another user left in a shared folder
    InvalidInput,  // bytes or names that cannot be taken as they are
    Other,
};

struct Error {
    ErrorCode code = ErrorCode::Other;
    std::string message; // readable description, without the caller's context
};

template <typename T> class [[nodiscard]] Result {
public:
    Result(T value) : m_data(std::move(value)) {}
    Result(Error error) : m_data(std::move(error)) {}

    bool ok() const { return m_data.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() & { return std::get<0>(m_data); }
    const T& value() const& { return std::get<0>(m_data); }
    T&& value() && { return std::get<0>(std::move(m_data)); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }

    const Error& error() const { return std::get<1>(m_data); }
    ErrorCode code() const { return error().code; }
    const std::string& message() const { return error().message; }

private:
    std::variant<T, Error> m_data;
};

template <> class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Error error) : m_error(std::move(error)) {}

    bool ok() const { return !m_error; }
    explicit operator bool() const { return ok(); }

    const Error& error() const { return *m_error; }
    ErrorCode code() const { return m_error->code; }
    const std::string& message() const { return m_error->message; }

private:
    std::optional<Error> m_error;
};

// Success or an error, for operations that give nothing back.
using Status = Result<void>;

} // namespace quillmark
