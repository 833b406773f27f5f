#include "ui/shell_open.h"

#include "platform/error_handler.h"
#include "support/temp_folder.h"
#include "ui/help.h"
#include "support/scripted_prompter.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <stdexcept>
#include <unistd.h>

namespace quillmark {
namespace {

class ShellOpenTest : public ::testing::Test {
protected:
    void SetUp() override {
        setUrlOpener([this](const QUrl& url) {
            m_opened.push_back(url);
            return m_accept;
        });
    }
    void TearDown() override {
        setUrlOpener({});
        setHelpFolder({});
        setErrorLogPath({});
    }
    QString path(const char* name) const { return QString::fromStdString(m_tmp.file(name)); }

    test::TempFolder m_tmp;
    std::vector<QUrl> m_opened;
    bool m_accept = true;
    test::ScriptedPrompter m_prompter;
};

TEST_F(ShellOpenTest, OpensFilesAndAddressesAndShowsFailuresWithTheirMessage) {
    test::spit(m_tmp.file("page one.htm"), "<p>hi</p>");
    openDocument(m_prompter, path("page one.htm"));
    EXPECT_TRUE(openInShell(QStringLiteral("mailto:support@example.org")).ok());
    EXPECT_TRUE(openInShell(QStringLiteral("HTTPS://example.org/quillmark")).ok());
    EXPECT_TRUE(m_prompter.calls.empty());
    EXPECT_EQ(m_opened, (std::vector<QUrl>{QUrl::fromLocalFile(path("page one.htm")),
                                           QUrl(QStringLiteral("mailto:support@example.org")),
                                           QUrl(QStringLiteral("https://example.org/quillmark"))}));

    m_opened.clear();
    EXPECT_EQ(openInShell(path("no-folder/missing.htm")).code(), ErrorCode::PathNotFound);
    EXPECT_EQ(openInShell(QString()).code(), ErrorCode::NotFound);
    openDocument(m_prompter, path("missing.htm"));
    EXPECT_TRUE(m_opened.empty()) << "a missing file never reaches the desktop";

    test::spit(m_tmp.file("notes.xyz"), "x");
    m_accept = false;
    openDocument(m_prompter, path("notes.xyz"));
    const auto messages = m_prompter.messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, QStringLiteral("File not found"));
    EXPECT_EQ(messages[0].title, QStringLiteral("Quillmark"));
    EXPECT_EQ(messages[1].text, QStringLiteral("No association for file extension"));

    if (::geteuid() == 0)
        return; // root reads every file
    test::spit(m_tmp.file("secret.htm"), "x");
    std::filesystem::permissions(m_tmp.file("secret.htm"), std::filesystem::perms::none);
    EXPECT_EQ(openInShell(path("secret.htm")).code(), ErrorCode::AccessDenied);
}

TEST_F(ShellOpenTest, HelpOpensAPresentPageAndExplainsAMissingPageOrAFailure) {
    setHelpFolder(path("Help"));
    showHelp(m_prompter, QStringLiteral("quickstart.htm"));
    EXPECT_TRUE(m_opened.empty());
    ASSERT_EQ(m_prompter.messages().size(), 1u);
    EXPECT_EQ(m_prompter.messages()[0].title, QStringLiteral("Sorry..."));
    EXPECT_EQ(m_prompter.messages()[0].text,
              QStringLiteral("Help file not found.\r") + path("Help/quickstart.htm") +
                  QStringLiteral("\rPlease visit the Halvrene Design website for the latest help files"));

    std::filesystem::create_directory(m_tmp.file("Help"));
    test::spit(m_tmp.file("Help/index.htm"), "<html></html>");
    showHelp(m_prompter, QStringLiteral("index.htm"));
    EXPECT_EQ(m_opened, std::vector<QUrl>{QUrl::fromLocalFile(path("Help/index.htm"))});
    EXPECT_EQ(m_prompter.calls.size(), 1u);

    // No program takes the page: the message names it, so it can be opened by hand.
    m_accept = false;
    showHelp(m_prompter, QStringLiteral("index.htm"));
    ASSERT_EQ(m_prompter.messages().size(), 2u);
    EXPECT_EQ(m_prompter.messages()[1].text,
              QStringLiteral("No association for file extension\r") + path("Help/index.htm"));
}

} // namespace
} // namespace quillmark
