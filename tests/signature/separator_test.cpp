#include "signature/separator.h"

#include <gtest/gtest.h>

namespace quillmark {

TEST(SeparatorFromSetting, KeepsTheFirstCharacterByteForByte) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "%"},
        {"%", "%"},
        {"#x", "#"},
        {"\xA7", "\xA7"}, // Windows-1252 section sign: one byte, not two
        {"\xA7\xA7", "\xA7"},
        {"\xC2\xA7rest", "\xC2\xA7"},     // UTF-8 section sign
        {"\xE2\x82\xAC", "\xE2\x82\xAC"}, // euro sign
        {"\xF0\x9F\x98\x80!", "\xF0\x9F\x98\x80"},
        {"\xC2", "\xC2"},         // a sequence cut short is a byte of its own
        {"\xC0\xAF", "\xC0"},     // overlong
        {"\xED\xA0\x80", "\xED"}, // surrogate
        {"\xE2\x28\xA1", "\xE2"}, // bad continuation
    };
    for (const auto& [stored, expected] : cases)
        EXPECT_EQ(separatorFromSetting(stored), expected) << stored;
}

} // namespace quillmark
