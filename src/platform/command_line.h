#pragma once
// The program's command-line arguments as UTF-8, like every text of the program.

#include <string>
#include <vector>

namespace quillmark {

// On Linux the arguments as they came. On Windows the UTF-16 command line, converted: the
// narrow `argv` there is in the code page and loses every letter outside it.
std::vector<std::string> utf8Arguments(int argc, char** argv);

} // namespace quillmark
