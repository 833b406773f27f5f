#include "base/version.h"

namespace quillmark {

std::string versionLabel(int major, int minor, int revision) {
    return "Version " + std::to_string(major) + "." + std::to_string(minor) + std::to_string(revision);
}

} // namespace quillmark
