// The start-at-login entry in Wine's (or Windows') registry, under a name of the test's own.
#include "platform/autostart.h"
#include "platform/windows/registry.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <string>

namespace quillmark::win {
namespace {

constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

TEST(RunEntryWindows, TheRunEntryQuotesTheProgramAndComesOffAgain) {
    const std::string name = "QuillmarkTest" + std::to_string(::GetCurrentProcessId());
    const std::string program = "C:\\Program Files\\J\xC3\xBCrgen\\quillmark.exe";
    ASSERT_TRUE(setRunEntry(name, program, false).ok());
    EXPECT_EQ(readRegistryText(RegistryRoot::CurrentUser, kRunKey, name).value(), "\"" + program + "\"");
    EXPECT_TRUE(setRunEntry(name, "", true).ok());
    EXPECT_EQ(readRegistryText(RegistryRoot::CurrentUser, kRunKey, name).code(), ErrorCode::NotFound);
    EXPECT_TRUE(setRunEntry(name, "", true).ok()) << "nothing to remove is no failure";

    // Names that would reach another value or key, and commands that would break the entry.
    EXPECT_FALSE(setRunEntry("", program, false).ok());
    EXPECT_FALSE(setRunEntry("a\\b", program, false).ok());
    EXPECT_FALSE(setRunEntry(name, program + "\r\nevil.exe", false).ok());
    EXPECT_FALSE(setRunEntry(name, "", false).ok());
    EXPECT_EQ(readRegistryText(RegistryRoot::CurrentUser, kRunKey, name).code(), ErrorCode::NotFound);
}

} // namespace
} // namespace quillmark::win
