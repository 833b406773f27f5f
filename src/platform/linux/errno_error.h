#pragma once
// The error a failed system call of the Linux file functions gives: its code for the
// program, and "what path: reason" for the user.

#include "base/result.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>

namespace quillmark {

inline Error errnoError(int err, std::string_view what, const std::string& path) {
    const ErrorCode code = err == ENOENT                                   ? ErrorCode::NotFound
                           : err == ENOTDIR                                ? ErrorCode::PathNotFound
                           : err == EACCES || err == EPERM || err == EROFS ? ErrorCode::AccessDenied
                           : err == EISDIR                                 ? ErrorCode::IsDirectory
                           : err == ENXIO ? ErrorCode::SpecialFile // a socket, or a device with no driver
                                          : ErrorCode::Other;
    return {code, std::string(what) + " " + path + ": " + std::strerror(err)};
}

} // namespace quillmark
