#include "editor/editor_text.h"

#include "support/temp_folder.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace quillmark {
namespace {

// CR LF, CR and LF each end a line; saved, every line ends in the given line end.
TEST(EditorTextTest, LinesComeBackWithOneLineEndAtTheEnd) {
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"", "", "\n"},
        {"a\r\nb\r\n", "a\nb", "a\nb\n"},
        {"a\rb\r", "a\nb", "a\nb\n"},
        {"a\r\n\r\n", "a\n", "a\n\n"},
        {"a\n\rb", "a\n\nb", "a\n\nb\n"},
        {"caf\xE9\r\n", "caf\xE9", "caf\xE9\n"}};
    for (const auto& [file, text, saved] : cases) {
        EXPECT_EQ(editorTextFromFile(file), text) << file;
        EXPECT_EQ(fileFromEditorText(text, "\n"), saved) << file;
        EXPECT_EQ(fileFromEditorText(editorTextFromFile(saved), "\n"), saved) << file;
    }
    EXPECT_EQ(fileFromEditorText("a\nb", "\r\n"), "a\r\nb\r\n");
}

TEST(EditorTextTest, RefusesWhatTheEditorWouldDamage) {
    test::TempFolder dir;
    test::spit(dir.file("zero_byte.txt"), std::string("ab\0cd", 5));
    std::filesystem::create_directory(dir.file("folder"));
    test::spit(dir.file("huge.txt"), "");
    std::filesystem::resize_file(dir.file("huge.txt"), 100ull * 1024 * 1024);
    const std::pair<std::string, ErrorCode> cases[] = {{dir.file("zero_byte.txt"), ErrorCode::InvalidInput},
                                                       {dir.file("folder"), ErrorCode::IsDirectory},
                                                       {dir.file("huge.txt"), ErrorCode::TooLarge},
                                                       {dir.file("absent.txt"), ErrorCode::NotFound}};
    for (const auto& [path, code] : cases) {
        const Result<std::string> r = readFileForEditor(path);
        ASSERT_FALSE(r.ok()) << path;
        EXPECT_EQ(r.code(), code) << path;
        EXPECT_NE(r.message().find(path), std::string::npos) << r.message();
    }
}

} // namespace
} // namespace quillmark
