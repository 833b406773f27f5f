#include "ui/about_box.h"

#include "support/ui_fixture.h"
#include "ui/shell_open.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

namespace quillmark {
namespace {

class AboutTest : public test::UiTest {
protected:
    AboutTest() {
        setUrlOpener([this](const QUrl& url) {
            m_opened.push_back(url);
            return m_accept;
        });
    }
    ~AboutTest() override {
        delete AboutBox::current();
        AboutBox::setPicturePath({});
        setUrlOpener({});
        setErrorLogPath({});
    }
    QLabel* label(const char* name) const {
        return AboutBox::current()->findChild<QLabel*>(QString::fromLatin1(name));
    }

    std::vector<QUrl> m_opened;
    bool m_accept = true;
};

TEST_F(AboutTest, OpensOnceCentredWithTitleVersionPictureAndCaptions) {
    AboutBox* about = AboutBox::showAbout(prompter);
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    EXPECT_FALSE(about->isModal());
    EXPECT_EQ(about->windowTitle(), QStringLiteral("About Quillmark"));
    about->showMinimized();
    EXPECT_EQ(AboutBox::showAbout(prompter), about) << "a second request raises the open window";
    EXPECT_FALSE(about->isMinimized());
    EXPECT_EQ(QApplication::topLevelWidgets().count(about), 1);

    EXPECT_EQ(label("lblVersion")->text(), QStringLiteral("Version %1.%2%3")
                                               .arg(QUILLMARK_VERSION_MAJOR)
                                               .arg(QUILLMARK_VERSION_MINOR)
                                               .arg(QUILLMARK_VERSION_PATCH));
    EXPECT_EQ(label("lblWeb")->text(), QStringLiteral("https://quillmark.org"));
    EXPECT_EQ(label("lblMail")->text(), QStringLiteral("support@quillmark.org"));
    auto* cmdOK = about->findChild<QPushButton*>(QStringLiteral("cmdOK"));

    const QLabel* imgAbout = label("imgAbout");
    EXPECT_EQ(imgAbout->pixmap().toImage(), QPixmap(QStringLiteral(":/tray/quillmark_256.png")).toImage())
        << "the splash screen's picture";
    EXPECT_EQ(imgAbout->geometry(), about->rect());

    const QRect screen = about->screen()->geometry();
    EXPECT_EQ(about->pos(),
              QPoint((screen.width() - about->width()) / 2, (screen.height() - about->height()) / 2));
    ASSERT_TRUE(QTest::qWaitForWindowActive(about));
    EXPECT_EQ(QApplication::focusWidget(), cmdOK);
}

TEST_F(AboutTest, LinksOpenTheWebPageAndAMailToTheMakers) {
    AboutBox::showAbout(prompter);
    QTest::mouseClick(label("lblWeb"), Qt::LeftButton);
    QTest::mouseClick(label("lblMail"), Qt::LeftButton);
    EXPECT_EQ(m_opened, (std::vector<QUrl>{QUrl(QStringLiteral("https://quillmark.org")),
                                           QUrl(QStringLiteral("mailto:support@quillmark.org"))}));
    EXPECT_TRUE(prompter.calls.empty());

    m_accept = false;
    QTest::mouseClick(label("lblWeb"), Qt::LeftButton);
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0].text, QStringLiteral("No association for file extension"));
}

TEST_F(AboutTest, OkClosesAndTheNextRequestOpensAFreshWindow) {
    QPointer<AboutBox> about = AboutBox::showAbout(prompter);
    QTest::mouseClick(about->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(about.isNull());
    EXPECT_EQ(AboutBox::current(), nullptr);
    ASSERT_NE(AboutBox::showAbout(prompter), nullptr);
    EXPECT_TRUE(AboutBox::current()->isVisible());
}

TEST_F(AboutTest, AnUnreadablePictureLeavesTheBoxWithoutItAndIsLoggedOnce) {
    test::spit(dir.file("broken.png"), "not a picture");
    AboutBox::setPicturePath(QString::fromStdString(dir.file("broken.png")));
    AboutBox::showAbout(prompter);
    EXPECT_TRUE(label("imgAbout")->pixmap().isNull());
    EXPECT_TRUE(AboutBox::current()->isVisible());
    delete AboutBox::current();
    AboutBox::showAbout(prompter);
    const std::string log = test::slurp(dir.file("errorlog.dat"));
    EXPECT_NE(log.find("frmAbout_Load, cannot read the picture "), std::string::npos) << log;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
}

} // namespace
} // namespace quillmark
