#include "settings/ini_file.h"

#include "platform/platform.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>

namespace quillmark {
namespace {

using namespace std::string_literals;

TEST(IniFile, ReadsLikeTheProfileStringFunctions) {
    const IniFile ini("OUT=before any section\r\n"
                      "[ sEcT ]\r\n"
                      "  key  =  some value  \r\n"
                      "Q1=\"quoted \"\rQ2='x'\rQ3=\"x'\rQ4=\"\n"
                      "EQ=b=c\nDUP=first\nDUP=second\nEMPTY=\n"
                      "BARE\n; C=1\n[W=1\nNUL=x\0y\n"s
                      "[Other]\nO=1\n"
                      "[sect]\nLATER=1\n");
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"KEY", "some value"},   {"Q1", "quoted "},    {"q2", "x"},
        {"Q3", "\"x'"},          {"EQ", "b=c"},        {"DUP", "first"},
        {"EMPTY", ""},           {"NUL", "x\0y"s},     {"BARE", ""},
        {"; C", std::nullopt},   {"[W", std::nullopt}, {"OUT", std::nullopt},
        {"LATER", std::nullopt}, {"O", std::nullopt},  {"Q4", "\""}};
    for (const auto& [key, expected] : cases)
        EXPECT_EQ(ini.value("Sect", key), expected) << key;
    EXPECT_EQ(ini.value("other", "o"), "1");
}

TEST(IniFile, FilesSavedByOtherEditorsAreReadAndWrittenAsTheProfileStringFunctionsDo) {
    // "[S]\r\nK=é" in UTF-16: read, but never written.
    const std::string utf16 = "\xFF\xFE[\0S\0]\0\r\0\n\0K\0=\0\xE9\0"s;
    const std::tuple<const char*, std::string, std::string, std::string> cases[] = {
        // file, value of S/K, the file once K=v is written
        {"UTF-8 mark", "\xEF\xBB\xBF[S]\r\nK=1\r\n", "1", "\xEF\xBB\xBF[S]\r\nK=v\r\n"},
        {"bare key", "[S]\n  k \nK=2\n", "", "[S]\nK=v\nK=2\n"},
        {"UTF-16", utf16, "é", utf16},
    };
    for (const auto& [what, bytes, value, after] : cases) {
        SCOPED_TRACE(what);
        IniFile ini(bytes);
        EXPECT_EQ(ini.value("s", "K"), value);
        EXPECT_EQ(ini.setValue("S", "K", "v"),
                  after == bytes ? IniFile::SetResult::Utf16File : IniFile::SetResult::Changed);
        EXPECT_EQ(ini.bytes(), after);
    }
}

TEST(IniFile, WriteTouchesOnlyItsOwnLine) {
    IniFile ini("; made by hand\r\n[First]\r\n  KEY = old  \r\nKEY=duplicate\r\n\xe9\xff bare line\n"
                "; trailing comment\n\n[Second]\rx=y\r[first]\nz=9");
    EXPECT_EQ(ini.setValue("first", "KEY", "new"), IniFile::SetResult::Changed);
    EXPECT_EQ(ini.setValue("FIRST", "KEY", "new"), IniFile::SetResult::Unchanged);
    EXPECT_EQ(ini.setValue("First", "ADDED", ""), IniFile::SetResult::Changed);
    EXPECT_EQ(ini.setValue("Fresh Section", "K", "4"), IniFile::SetResult::Changed);
    EXPECT_EQ(ini.setValue("fresh section", "L", "5"), IniFile::SetResult::Changed);
    const std::string nl(kLineEnd); // added lines end as the system's text files do
    EXPECT_EQ(ini.bytes(), "; made by hand\r\n[First]\r\nKEY=new\r\nKEY=duplicate\r\n\xe9\xff bare line\n"
                           "; trailing comment\nADDED=" +
                               nl + "\n[Second]\rx=y\r[first]\nz=9" + nl + "[Fresh Section]" + nl + "K=4" +
                               nl + "L=5" + nl);
}

TEST(IniFile, WriteCannotInjectLinesOrUnreadableNames) {
    IniFile ini("[S]\nA=1\n");
    EXPECT_EQ(ini.setValue("S", "A", "two\r\n[Evil]\nX=1"), IniFile::SetResult::Changed);
    EXPECT_EQ(ini.setValue("S", "B", "cut\0here"s), IniFile::SetResult::Changed);
    for (const std::string& key : {""s, "  "s, "a=b"s, ";c"s, "[d]"s, "e\nf"s, "g\0"s})
        EXPECT_EQ(ini.setValue("S", key, "v"), IniFile::SetResult::InvalidName) << key;
    for (const std::string& section : {""s, " "s, "a\rb"s})
        EXPECT_EQ(ini.setValue(section, "K", "v"), IniFile::SetResult::InvalidName) << section;
    EXPECT_EQ(ini.bytes(), "[S]\nA=two\nB=cut" + std::string(kLineEnd));
}

} // namespace
} // namespace quillmark
