// The start-at-login entry in Wine's (or Windows') registry, under a name of the test's own.
#include "platform/autostart.h"
#include "platform/windows/registry.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <string>

namespace quillmark::win {
namespace {

TEST(RunEntryWindows, TheRunEntryQuotesTheProgramAndComesOffAgain) {
    const std::string name = "QuillmarkTest" + std::to_string(::GetCurrentProcessId());
    const std::string program = "C:\\Program Files\\J\xC3\xBCrgen\\quillmark.exe";
    const auto stored = [&name] {
        return readRegistryText(RegistryRoot::CurrentUser,
                                "Software\\Microsoft\\Windows\\CurrentVersion\\Run", name);
    };
    ASSERT_TRUE(setRunEntry(name, program, false).ok());
    EXPECT_EQ(stored().value(), "\"" + program + "\"");
    EXPECT_TRUE(setRunEntry(name, "", true).ok());
    EXPECT_EQ(stored().code(), ErrorCode::NotFound);
    EXPECT_TRUE(setRunEntry(name, "", true).ok()) << "nothing to remove is no failure";
    // Names that would reach another key, and commands that would break the entry.
    EXPECT_FALSE(setRunEntry("a\\b", program, false).ok());
    EXPECT_FALSE(setRunEntry(name, program + "\r\nevil.exe", false).ok());
    EXPECT_EQ(stored().code(), ErrorCode::NotFound);
}

} // namespace
} // namespace quillmark::win
