#include "ui/about_box.h"

#include "support/ui_fixture.h"
#include "ui/shell_open.h"

#include <QLabel>
#include <QTest>

namespace quillmark {
namespace {

using AboutTest = test::UiTest;

TEST_F(AboutTest, OneWindowWhoseLinksOpenTheWebPageAndAMailToTheMakers) {
    std::vector<QUrl> opened;
    setUrlOpener([&](const QUrl& url) {
        opened.push_back(url);
        return opened.size() < 3;
    });
    AboutBox* about = AboutBox::showAbout(prompter);
    about->showMinimized();
    EXPECT_EQ(AboutBox::showAbout(prompter), about) << "a second request raises the open window";
    EXPECT_FALSE(about->isMinimized());
    for (const char* link : {"lblWeb", "lblMail", "lblWeb"})
        QTest::mouseClick(test::control<QLabel>(*about, QString::fromLatin1(link)), Qt::LeftButton);
    EXPECT_EQ(opened, (std::vector<QUrl>{QUrl(QStringLiteral("https://quillmark.org")),
                                         QUrl(QStringLiteral("mailto:support@quillmark.org")),
                                         QUrl(QStringLiteral("https://quillmark.org"))}));
    prompter.expectMessage(QStringLiteral("No association for file extension")); // the third was not taken
    delete about;
    setUrlOpener({});
}

} // namespace
} // namespace quillmark
