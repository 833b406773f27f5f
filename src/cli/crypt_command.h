#pragma once
// "quillmark-cli encrypt|decrypt": the Encryption tab's two methods on standard input,
// for scripts and mail filters.

#include <iosfwd>
#include <string>
#include <vector>

namespace quillmark {

// args[0] is "encrypt" or "decrypt", followed by exactly one method option:
//   --rot N               rotation by N, a whole number 1..26 (no envelope)
//   --password-file FILE  the password is FILE's first line, without its line end; only
//                         that line is read
//   --password-env NAME   the password is the value of the environment variable NAME
// "--help" anywhere prints the usage to `out` and returns 0.
// Reads all of `in` as bytes and writes the result to `out` byte for byte: the password
// method wraps its ciphertext in the begin and end lines and unwraps before decrypting.
// Returns 0 on success; 2 for a usage error (one line on `err`), which includes a password
// file that does not exist or whose first line is empty or longer than 64 KB; 1 when the
// input or the password file cannot be read or the output cannot be written.
int runCryptCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                    std::ostream& err);

} // namespace quillmark
