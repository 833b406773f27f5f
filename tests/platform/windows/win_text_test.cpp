#include "platform/windows/win_text.h"

#include <gtest/gtest.h>

namespace quillmark::win {
namespace {

TEST(WinText, NamesSurviveTheRoundTripThroughUtf16) {
    const std::string names[] = {"", "plain.txt", "J\xC3\xBCrgen", "\xE6\x97\xA5\xE6\x9C\xAC.txt",
                                 "\xF0\x9F\x96\x8B pen"};
    for (const std::string& name : names)
        EXPECT_EQ(toUtf8(toWide(name)), name);
    EXPECT_EQ(toWide("J\xC3\xBCrgen"), L"J\u00FCrgen");
    EXPECT_EQ(toWide("\xF0\x9F\x96\x8B").size(), 2u) << "a letter outside the BMP takes a surrogate pair";
    // A stray byte must not cut the rest of the name off.
    EXPECT_EQ(toWide("a\xFFz"), L"a\uFFFDz");
}

TEST(WinText, LongFullPathsGetThePrefixThatLiftsTheLimit) {
    const std::string longTail(300, 'x');
    const struct {
        std::string path;
        std::wstring expected;
    } cases[] = {
        {"C:/Users/a/sig.txt", L"C:\\Users\\a\\sig.txt"},
        {"C:\\" + longTail, L"\\\\?\\C:\\" + std::wstring(300, L'x')},
        {"\\\\server\\share\\" + longTail, L"\\\\?\\UNC\\server\\share\\" + std::wstring(300, L'x')},
        // A relative path cannot carry the prefix; it stays as it is.
        {"Sigs\\" + longTail, L"Sigs\\" + std::wstring(300, L'x')},
        {"\\\\?\\C:\\" + longTail, L"\\\\?\\C:\\" + std::wstring(300, L'x')},
    };
    for (const auto& c : cases)
        EXPECT_EQ(widePath(c.path), c.expected) << c.path.substr(0, 30);
}

TEST(WinText, ErrorsCarryTheProgramsCodeAndTheSystemsWords) {
    const Error missing = fromWinError(2, "cannot open", "C:\\a.txt"); // ERROR_FILE_NOT_FOUND
    EXPECT_EQ(missing.code, ErrorCode::NotFound);
    EXPECT_TRUE(missing.message.starts_with("cannot open C:\\a.txt: ")) << missing.message;
    EXPECT_GT(missing.message.size(), std::string("cannot open C:\\a.txt: ").size());
    EXPECT_EQ(missing.message.find('\n'), std::string::npos) << "a log entry is one line";
    EXPECT_EQ(fromWinError(3, "x", "y").code, ErrorCode::PathNotFound);
    EXPECT_EQ(fromWinError(32, "x", "y").code, ErrorCode::AccessDenied) << "sharing violation";
    EXPECT_EQ(fromWinError(5, "x", "y").code, ErrorCode::AccessDenied);
}

} // namespace
} // namespace quillmark::win
