#include "ui/shell_open.h"

#include "support/ui_fixture.h"
#include "ui/about_box.h"

#include <QLabel>
#include <QTest>

namespace quillmark {
namespace {

// The desktop takes the first `taken` requests and refuses the rest.
class ShellOpenTest : public test::UiTest {
protected:
    ShellOpenTest() {
        setUrlOpener([this](const QUrl& url) {
            opened.push_back(url);
            return opened.size() <= taken;
        });
    }
    ~ShellOpenTest() override { setUrlOpener({}); }
    std::vector<QUrl> opened;
    std::size_t taken = 99;
};

TEST_F(ShellOpenTest, OnlyWhatIsThereReachesTheDesktopAndAFailureSaysWhy) {
    const auto path = [&](const char* name) {
        return QString::fromStdString(dir.file(name));
    };
    test::spit(dir.file("page one.htm"), "<p>hi</p>");
    const std::pair<QString, std::optional<ErrorCode>> cases[] = {
        {path("page one.htm"), std::nullopt},
        {QStringLiteral("HTTPS://example.org/quillmark"), std::nullopt},
        {path("missing.htm"), ErrorCode::NotFound},
        {path("no-folder/missing.htm"), ErrorCode::PathNotFound},
    };
    for (const auto& [file, code] : cases) {
        const Status opening = openInShell(file);
        EXPECT_EQ(opening ? std::nullopt : std::optional(opening.code()), code) << file.toStdString();
    }
    EXPECT_EQ(opened, (std::vector<QUrl>{QUrl::fromLocalFile(path("page one.htm")),
                                         QUrl(QStringLiteral("https://example.org/quillmark"))}));
    openDocument(prompter, path("missing.htm"));
    prompter.expectMessage(QStringLiteral("File not found"), QStringLiteral("Quillmark"));
}

TEST_F(ShellOpenTest, TheAboutBoxIsOneWindowWhoseLinksOpenTheWebPageAndAMail) {
    taken = 1;
    const std::unique_ptr<AboutBox> about(AboutBox::showAbout(prompter));
    EXPECT_EQ(AboutBox::showAbout(prompter), about.get()) << "a second request raises the open window";
    for (const char* link : {"lblWeb", "lblMail"})
        QTest::mouseClick(test::control<QLabel>(*about, QString::fromLatin1(link)), Qt::LeftButton);
    EXPECT_EQ(opened, (std::vector<QUrl>{QUrl(QStringLiteral("https://quillmark.org")),
                                         QUrl(QStringLiteral("mailto:support@quillmark.org"))}));
    prompter.expectMessage(QStringLiteral("No association for file extension")); // the mail was not taken
}

} // namespace
} // namespace quillmark
