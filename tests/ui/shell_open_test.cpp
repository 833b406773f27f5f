#include "ui/shell_open.h"

#include "support/temp_folder.h"
#include "ui/scripted_prompter.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace quillmark {
namespace {

// Stands in for the desktop: records what would have been opened.
class ShellOpenTest : public ::testing::Test {
protected:
    void SetUp() override {
        setUrlOpener([this](const QUrl& url) {
            m_opened.push_back(url);
            return m_accept;
        });
    }
    void TearDown() override { setUrlOpener({}); }
    QString path(const char* name) const { return QString::fromStdString(m_tmp.file(name)); }

    test::TempFolder m_tmp;
    std::vector<QUrl> m_opened;
    bool m_accept = true;
    test::ScriptedPrompter m_prompter;
};

TEST_F(ShellOpenTest, OpensFilesAndAddresses) {
    test::spit(m_tmp.file("page one.htm"), "<p>hi</p>");
    OpenDocument(m_prompter, path("page one.htm"));
    EXPECT_GT(ShellOpen(QStringLiteral("mailto:support@example.org")), 32);
    EXPECT_GT(ShellOpen(QStringLiteral("HTTPS://example.org/quillmark")), 32);

    EXPECT_TRUE(m_prompter.calls.empty());
    ASSERT_EQ(m_opened.size(), 3u);
    EXPECT_EQ(m_opened[0], QUrl::fromLocalFile(path("page one.htm")));
    EXPECT_EQ(m_opened[1].scheme(), QStringLiteral("mailto"));
    EXPECT_EQ(m_opened[1].path(), QStringLiteral("support@example.org"));
    EXPECT_EQ(m_opened[2].scheme(), QStringLiteral("https"));
}

TEST_F(ShellOpenTest, FailuresAreShownWithTheirMessage) {
    EXPECT_EQ(ShellOpen(path("no-folder/missing.htm")), 3);
    EXPECT_EQ(ShellOpen(QString()), 2);
    OpenDocument(m_prompter, path("missing.htm"));
    EXPECT_TRUE(m_opened.empty()) << "a missing file never reaches the desktop";

    test::spit(m_tmp.file("notes.xyz"), "x");
    m_accept = false;
    OpenDocument(m_prompter, path("notes.xyz"));

    const auto messages = m_prompter.messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, QStringLiteral("File not found"));
    EXPECT_EQ(messages[0].title, QStringLiteral("Quillmark"));
    EXPECT_EQ(messages[0].buttons, Prompter::Buttons::Ok);
    EXPECT_EQ(messages[1].text, QStringLiteral("No association for file extension"));
}

TEST_F(ShellOpenTest, AnUnreadableFileIsAccessDenied) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    test::spit(m_tmp.file("secret.htm"), "x");
    std::filesystem::permissions(m_tmp.file("secret.htm"), std::filesystem::perms::none);
    EXPECT_EQ(ShellOpen(path("secret.htm")), 5);
}

} // namespace
} // namespace quillmark
