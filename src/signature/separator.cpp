#include "signature/separator.h"

#include "settings/setting_keys.h"

namespace quillmark {

namespace {

// Length of the valid UTF-8 sequence at the start of `text`, 0 when there is none.
std::size_t utf8SequenceLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = 0;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4;
    else
        return 0;
    if (text.size() < length)
        return 0;
    const auto second = static_cast<unsigned char>(text[1]);
    // Overlong forms, UTF-16 surrogates and code points above U+10FFFF are not UTF-8.
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F))
        return 0;
    for (std::size_t i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            return 0;
    return length;
}

} // namespace

std::string separatorFromSetting(std::string_view stored) {
    if (stored.empty())
        return std::string(keys::kSeparator.defaultValue);
    const std::size_t length = utf8SequenceLength(stored);
    return std::string(stored.substr(0, length == 0 ? 1 : length));
}

} // namespace quillmark
