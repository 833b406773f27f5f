#include "signature/separator.h"

#include "settings/setting_keys.h"
#include "settings/utf8.h"

namespace quillmark {

std::string separatorFromSetting(std::string_view stored) {
    if (stored.empty())
        return std::string(keys::kSeparator.defaultValue);
    const std::size_t length = utf8SequenceLength(stored);
    return std::string(stored.substr(0, length == 0 ? 1 : length));
}

} // namespace quillmark
