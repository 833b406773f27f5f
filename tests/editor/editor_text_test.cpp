#include "editor/editor_text.h"

#include "support/temp_folder.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace quillmark {
namespace {

TEST(EditorTextTest, LinesComeBackWithOneLineEndAtTheEnd) {
    struct Case {
        std::string file;
        std::string text;  // as the editor shows it
        std::string saved; // written back with LF
    };
    const Case cases[] = {
        {"", "", "\n"},
        {"a", "a", "a\n"},
        {"a\r\nb\r\n", "a\nb", "a\nb\n"},
        {"a\nb\n", "a\nb", "a\nb\n"},
        {"a\rb\r", "a\nb", "a\nb\n"},
        {"a\r\n\r\n", "a\n", "a\n\n"},
        {"a\n\rb", "a\n\nb", "a\n\nb\n"},
        {"\r\n", "", "\n"},
        {"caf\xE9\r\n", "caf\xE9", "caf\xE9\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(editorTextFromFile(c.file), c.text) << c.file;
        EXPECT_EQ(fileFromEditorText(c.text, "\n"), c.saved) << c.file;
    }
    EXPECT_EQ(fileFromEditorText("a\nb", "\r\n"), "a\r\nb\r\n");
    // A file written by the editor reads back as the same text: saving twice changes nothing.
    EXPECT_EQ(fileFromEditorText(editorTextFromFile("x\n\ny\n"), "\n"), "x\n\ny\n");
}

TEST(EditorTextTest, RefusesWhatTheEditorWouldDamage) {
    test::TempFolder dir;
    test::spit(dir.file("ok.txt"), "text\n");
    test::spit(dir.file("zero_byte.txt"), std::string("ab\0cd", 5));
    std::filesystem::create_directory(dir.file("folder"));
    {
        test::spit(dir.file("huge.txt"), "");
        std::filesystem::resize_file(dir.file("huge.txt"), 100ull * 1024 * 1024);
    }
    EXPECT_EQ(readFileForEditor(dir.file("ok.txt")).value(), "text\n");
    struct Case {
        std::string path;
        ErrorCode code;
    };
    const Case cases[] = {
        {dir.file("zero_byte.txt"), ErrorCode::InvalidInput},
        {dir.file("folder"), ErrorCode::IsDirectory},
        {dir.file("huge.txt"), ErrorCode::TooLarge},
        {dir.file("absent.txt"), ErrorCode::NotFound},
    };
    for (const Case& c : cases) {
        Result<std::string> r = readFileForEditor(c.path);
        ASSERT_FALSE(r.ok()) << c.path;
        EXPECT_EQ(r.code(), c.code) << c.path;
        EXPECT_NE(r.message().find(c.path), std::string::npos) << r.message();
    }
    EXPECT_FALSE(readFileForEditor(dir.file("missing/a.txt")).ok());
}

} // namespace
} // namespace quillmark
