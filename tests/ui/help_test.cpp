#include "ui/help.h"

#include "platform/error_handler.h"
#include "support/temp_folder.h"
#include "ui/scripted_prompter.h"
#include "ui/shell_open.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <stdexcept>

namespace quillmark {
namespace {

class HelpTest : public ::testing::Test {
protected:
    void SetUp() override {
        setHelpFolder(QString::fromStdString(m_help));
        setUrlOpener([this](const QUrl& url) {
            m_opened.push_back(url);
            return true;
        });
    }
    void TearDown() override {
        setHelpFolder({});
        setUrlOpener({});
        setErrorLogPath({});
    }
    void addPage(const char* name) {
        std::filesystem::create_directories(m_help);
        test::spit(m_help + "/" + name, "<html></html>");
    }

    test::TempFolder m_tmp;
    std::string m_help = m_tmp.file("Help");
    std::vector<QUrl> m_opened;
    test::ScriptedPrompter m_prompter;
};

TEST_F(HelpTest, AMissingPageNamesTheFileThatWasTried) {
    subShowHelp(m_prompter, QStringLiteral("quickstart.htm"));

    EXPECT_TRUE(m_opened.empty());
    ASSERT_EQ(m_prompter.messages().size(), 1u);
    const auto& message = m_prompter.messages()[0];
    EXPECT_EQ(message.title, QStringLiteral("Sorry..."));
    EXPECT_EQ(message.icon, Prompter::Icon::Warning);
    EXPECT_EQ(message.text, QStringLiteral("Help file not found.\r") + QString::fromStdString(m_help) +
                                QStringLiteral("/quickstart.htm\rPlease visit the Halvrene Design website "
                                               "for the latest help files"));
}

TEST_F(HelpTest, APresentPageOpensInTheBrowser) {
    addPage("index.htm");
    subShowHelp(m_prompter, QStringLiteral("index.htm"));
    EXPECT_TRUE(m_prompter.calls.empty());
    ASSERT_EQ(m_opened.size(), 1u);
    EXPECT_EQ(m_opened[0], QUrl::fromLocalFile(QString::fromStdString(m_help + "/index.htm")));
}

TEST_F(HelpTest, AnUnexpectedFailureIsShownAndLogged) {
    addPage("index.htm");
    setUrlOpener([](const QUrl&) -> bool { throw std::runtime_error("desktop went away"); });
    setErrorLogPath(m_tmp.file("errorlog.dat"));
    resetErrorLogCount();

    subShowHelp(m_prompter, QStringLiteral("index.htm"));

    ASSERT_EQ(m_prompter.messages().size(), 1u);
    EXPECT_EQ(m_prompter.messages()[0].text, QStringLiteral("mnuHelp:\rdesktop went away"));
    EXPECT_NE(test::slurp(m_tmp.file("errorlog.dat")).find(" - mnuHelp, desktop went away\n"),
              std::string::npos);
}

} // namespace
} // namespace quillmark
