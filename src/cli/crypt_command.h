#pragma once
// "quillmark-cli encrypt|decrypt": the Encryption tab's two methods on standard input,
// for scripts and mail filters.

#include <iosfwd>
#include <optional>
#include <string>

namespace quillmark {

// The method as the command line gave it: exactly one of the three is set.
struct CryptOptions {
    bool encrypt = true;
    std::optional<std::string> rot;          // N, a whole number 1..26 (no envelope)
    std::optional<std::string> passwordFile; // the password is the file's first line, without its line end
    std::optional<std::string> passwordEnv;  // the password is this environment variable's value
};

// Reads all of `in` as bytes and writes the result to `out` byte for byte: the password
// method wraps its ciphertext in the begin and end lines and unwraps before decrypting.
// Returns kExitSuccess; kExitUsageError for a usage error (one line on `err`), which
// includes a password file that does not exist or whose first line is empty or longer than
// 64 KB; kExitFileError when the input or the password file cannot be read or the output
// cannot be written.
int runCryptCommand(const CryptOptions& options, std::istream& in, std::ostream& out, std::ostream& err);

} // namespace quillmark
