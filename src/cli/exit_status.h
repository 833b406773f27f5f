#pragma once
// Exit statuses of every quillmark-cli command, as the manual page and --help state them.

namespace quillmark {

constexpr int kExitSuccess = 0;
// A file (settings, source, output, standard input or output) could not be read or written.
constexpr int kExitFileError = 1;
// A usage error, a refused name or path, or an unknown profile.
constexpr int kExitUsageError = 2;

} // namespace quillmark
