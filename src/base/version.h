#pragma once
// The version text of the splash screen and the About box.

#include <string>

namespace quillmark {

// "Version 1.24" for major 1, minor 2, revision 4: the revision follows the minor number
// directly, as the program has always shown it.
std::string versionLabel(int major, int minor, int revision);

// The label for the version this program was built as.
inline std::string programVersionLabel() {
    return versionLabel(QUILLMARK_VERSION_MAJOR, QUILLMARK_VERSION_MINOR, QUILLMARK_VERSION_PATCH);
}

} // namespace quillmark
