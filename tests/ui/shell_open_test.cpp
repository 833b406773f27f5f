#include "ui/shell_open.h"

#include "support/ui_fixture.h"

namespace quillmark {
namespace {

// The desktop takes the first two requests and refuses the rest.
class ShellOpenTest : public test::UiTest {
protected:
    ShellOpenTest() {
        setUrlOpener([this](const QUrl& url) {
            opened.push_back(url);
            return opened.size() <= 2;
        });
    }
    ~ShellOpenTest() override { setUrlOpener({}); }
    std::vector<QUrl> opened;
};

TEST_F(ShellOpenTest, OnlyWhatIsThereReachesTheDesktopAndAFailureSaysWhy) {
    const auto path = [&](const char* name) {
        return QString::fromStdString(dir.file(name));
    };
    test::spit(dir.file("page one.htm"), "<p>hi</p>");
    const std::pair<QString, std::optional<ErrorCode>> cases[] = {
        {path("page one.htm"), std::nullopt},
        {QStringLiteral("HTTPS://example.org/quillmark"), std::nullopt},
        {QStringLiteral("mailto:support@quillmark.org"), ErrorCode::Other}, // the desktop refuses it
        {path("missing.htm"), ErrorCode::NotFound},
        {path("no-folder/missing.htm"), ErrorCode::PathNotFound},
    };
    for (const auto& [file, code] : cases) {
        const Status opening = openInShell(file);
        EXPECT_EQ(opening ? std::nullopt : std::optional(opening.code()), code) << file.toStdString();
    }
    ASSERT_EQ(opened.size(), 3u) << "a missing file never reaches the desktop";
    EXPECT_EQ(opened[0], QUrl::fromLocalFile(path("page one.htm")));
    openDocument(prompter, path("missing.htm"));
    prompter.expectMessage(QStringLiteral("File not found"), QStringLiteral("Quillmark"));
}

} // namespace
} // namespace quillmark
