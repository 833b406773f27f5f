// The registry helper and the start-at-login entry against Wine's (or Windows') registry.
// Each test works under a key of its own and removes it again.
#include "platform/autostart.h"
#include "platform/windows/registry.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <string>

namespace quillmark::win {
namespace {

constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class RegistryTest : public ::testing::Test {
protected:
    void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, toWideKey().c_str()); }
    std::wstring toWideKey() const {
        return L"Software\\Halvrene\\QuillmarkTest" + std::to_wstring(::GetCurrentProcessId());
    }
    std::string m_key = "Software\\Halvrene\\QuillmarkTest" + std::to_string(::GetCurrentProcessId());
};

TEST_F(RegistryTest, TextsRoundTripUnderTheirNamesAndTheDefaultValue) {
    const std::pair<std::string, std::string> cases[] = {
        {"Author", "The Quillmark developers"},
        {"*", "the key's default value"},
        {"Sig", "Line one\r\nLine two\nLine three\r\n"},
        {"a/b\\c", "a name with separators stays one name"},
        {"Name \xC3\xBC", "J\xC3\xBCrgen \xE6\x97\xA5\xE6\x9C\xAC"},
        {"Empty", ""},
    };
    for (const auto& [name, text] : cases)
        ASSERT_TRUE(writeRegistryText(RegistryRoot::CurrentUser, m_key, name, text).ok()) << name;
    for (const auto& [name, text] : cases) {
        const auto read = readRegistryText(RegistryRoot::CurrentUser, m_key, name);
        ASSERT_TRUE(read.ok()) << name << ": " << read.message();
        EXPECT_EQ(*read, text) << name;
    }
    EXPECT_EQ(readRegistryText(RegistryRoot::CurrentUser, m_key, "").value(), "the key's default value")
        << "\"\" and \"*\" both name the default value";
    EXPECT_EQ(readRegistryText(RegistryRoot::CurrentUser, m_key + "\\Deeper", "Author").code(),
              ErrorCode::NotFound);
    EXPECT_EQ(readRegistryText(RegistryRoot::CurrentUser, m_key, "Missing").code(), ErrorCode::NotFound);

    ASSERT_TRUE(deleteRegistryValue(RegistryRoot::CurrentUser, m_key, "Author").ok());
    EXPECT_EQ(readRegistryText(RegistryRoot::CurrentUser, m_key, "Author").code(), ErrorCode::NotFound);
    EXPECT_EQ(deleteRegistryValue(RegistryRoot::CurrentUser, m_key, "Author").code(), ErrorCode::NotFound);
}

TEST_F(RegistryTest, AValueThatIsNotTextIsNeverReadAsText) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, toWideKey().c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                &key, nullptr),
              ERROR_SUCCESS);
    const DWORD number = 0x41424344; // "DCBA" if its bytes were taken for letters
    ::RegSetValueExW(key, L"Count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    const BYTE blob[] = {'a', 0, 'b', 0, 0, 0};
    ::RegSetValueExW(key, L"Blob", 0, REG_BINARY, blob, sizeof blob);
    // Text stored without its terminating NUL, as some programs write it.
    const wchar_t bare[] = {L'o', L'k'};
    ::RegSetValueExW(key, L"Bare", 0, REG_SZ, reinterpret_cast<const BYTE*>(bare), sizeof bare);
    ::RegCloseKey(key);

    EXPECT_EQ(readRegistryText(RegistryRoot::CurrentUser, m_key, "Count").code(), ErrorCode::InvalidInput);
    EXPECT_EQ(readRegistryText(RegistryRoot::CurrentUser, m_key, "Blob").code(), ErrorCode::InvalidInput);
    EXPECT_EQ(readRegistryText(RegistryRoot::CurrentUser, m_key, "Bare").value(), "ok");
}

TEST_F(RegistryTest, TheRunEntryQuotesTheProgramAndComesOffAgain) {
    const std::string name = "QuillmarkTest" + std::to_string(::GetCurrentProcessId());
    const std::string program = "C:\\Program Files\\Quillmark\\quillmark.exe";
    ASSERT_TRUE(setRunEntry(name, program, false).ok());
    EXPECT_EQ(readRegistryText(RegistryRoot::CurrentUser, kRunKey, name).value(), "\"" + program + "\"");
    // Already quoted (perhaps with arguments after it): taken as it is.
    ASSERT_TRUE(setRunEntry(name, "\"" + program + "\" /tray", false).ok());
    EXPECT_EQ(readRegistryText(RegistryRoot::CurrentUser, kRunKey, name).value(),
              "\"" + program + "\" /tray");

    EXPECT_TRUE(setRunEntry(name, "", true).ok());
    EXPECT_EQ(readRegistryText(RegistryRoot::CurrentUser, kRunKey, name).code(), ErrorCode::NotFound);
    EXPECT_TRUE(setRunEntry(name, "", true).ok()) << "nothing to remove is no failure";

    // Names that would reach another value or key, and commands that would break the entry.
    EXPECT_FALSE(setRunEntry("", program, false).ok());
    EXPECT_FALSE(setRunEntry("*", program, false).ok());
    EXPECT_FALSE(setRunEntry("a\\b", program, false).ok());
    EXPECT_FALSE(setRunEntry(name, program + "\r\nevil.exe", false).ok());
    EXPECT_FALSE(setRunEntry(name, "", false).ok());
    EXPECT_EQ(readRegistryText(RegistryRoot::CurrentUser, kRunKey, name).code(), ErrorCode::NotFound);
}

} // namespace
} // namespace quillmark::win
