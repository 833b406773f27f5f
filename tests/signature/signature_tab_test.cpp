#include "signature/compose.h"
#include "signature/signature_tab.h"
#include "support/ui_fixture.h"

#include <QtTest>
#include <QtWidgets>
#include <filesystem>
#include <sys/stat.h>

namespace quillmark {
namespace {

using test::control;

class SignatureTabTest : public test::UiTest {
protected:
    SignatureTabTest() {
        state = {"", "", dir.file("sig.txt"), {"H1", "H2", "H3"}, {"F1", "F2"}};
        tab.setClock([] { return 1'700'000'000; });
    }
    void click(const char* name) {
        QTest::mouseClick(control<QAbstractButton>(tab, QLatin1String(name)), Qt::LeftButton);
    }
    std::size_t logLines() {
        const std::string log = test::slurp(dir.file("errorlog.dat"));
        return static_cast<std::size_t>(std::count(log.begin(), log.end(), '\n'));
    }

    SignatureState state;
    SignatureTab tab{state, prompter, random};
};

TEST_F(SignatureTabTest, NextSigWritesThePickAndCopyTakesTheWholeSignature) {
    random.values = {0.5f, 0.9f};
    click("cmdUpdate");
    EXPECT_EQ(test::slurp(state.sigFile), "-- \nH2\nF2\n");
    click("chkAddSigDashes");
    // Previewed in part, written and copied whole.
    state.headers = {std::string(100'000, 'a')};
    click("cmdUpdate");
    EXPECT_TRUE(test::slurp(state.sigFile) == std::string(100'000, 'a') + "\nF1\n");
    EXPECT_LT(control<QPlainTextEdit>(tab, QStringLiteral("txtSig"))->toPlainText().size(), 64 * 1024 + 200);
    click("cmdCopy");
    EXPECT_TRUE(QApplication::clipboard()->text() == QString(100'000, u'a') + QStringLiteral("\nF1"));
    click("cmdPause");
    EXPECT_FALSE(control<QTimer>(tab, QStringLiteral("tmr1"))->isActive());
}

// A missing folder is said each time, a source once, a pipe only logged.
TEST_F(SignatureTabTest, AnOutputThatCannotBeWrittenIsReportedAsOftenAsItsKindNeeds) {
    state.headerFile = dir.file("h.txt");
    test::spit(state.headerFile, "H1\n%\nH2\n");
    const std::string pipe = dir.file("sig.pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::tuple<std::string, std::size_t, std::size_t> outputs[] = {
        {state.headerFile, 1, 1}, {pipe, 0, 1}, {dir.file("gone/sig.txt"), 3, 3}};
    QSignalSpy missing(&tab, &SignatureTab::outputFolderMissing);
    for (const auto& [output, messages, logs] : outputs) {
        SCOPED_TRACE(output);
        const std::size_t shown = prompter.messages().size(), logged = logLines();
        for (std::size_t round = 1; round <= 2; ++round) {
            state.sigFile = output;
            for (int tick = 0; tick < 3; ++tick)
                click("cmdUpdate");
            EXPECT_EQ(prompter.messages().size(), shown + messages * round);
            EXPECT_EQ(logLines(), logged + logs * round);
            state.sigFile = dir.file("sig.txt");
            click("cmdUpdate");
        }
    }
    EXPECT_EQ(missing.count(), 6);
    EXPECT_EQ(test::slurp(state.headerFile), "H1\n%\nH2\n");
}

TEST_F(SignatureTabTest, WindowEventsRunWhileAFileLoadsAndUpdatesWaitForIt) {
    const auto loadFiles = [this] {
        tab.loadEntries();
        for (const QDeadlineTimer end(10'000); tab.isLoading() && !end.hasExpired();)
            QCoreApplication::processEvents();
    };
    state.headerFile = dir.file("h.txt");
    std::string bytes;
    for (int i = 0; i < 40'000; ++i)
        bytes += "header " + std::to_string(i) + "\n%\n";
    test::spit(state.headerFile, bytes + "last");
    random.values = {0.99999f, 0.0f};
    bool ranWhileLoading = false;
    QTimer::singleShot(0, &tab, [&] {
        ranWhileLoading = tab.isLoading();
        click("cmdUpdate");
    });
    loadFiles();
    EXPECT_TRUE(ranWhileLoading);
    EXPECT_EQ(test::slurp(state.sigFile), "-- \nlast\nF1\n");
    // A stop request ends the load and the lists keep what they held.
    state.headers = {"kept"};
    QTimer::singleShot(0, &tab, [&] { tab.stopLoading(); });
    loadFiles();
    EXPECT_EQ(state.headers.entries(), std::vector<std::string>{"kept"});
}

TEST_F(SignatureTabTest, IntervalBoxTakesDigitsAndDrivesTheTimer) {
    auto* box = control<QLineEdit>(tab, QStringLiteral("txtInterval1"));
    box->clear();
    QTest::keyClicks(box, QStringLiteral("1a-0.x"));
    EXPECT_EQ(box->text(), QStringLiteral("10"));
    tab.onUpdateTimer();
    EXPECT_EQ(control<QTimer>(tab, QStringLiteral("tmr1"))->interval(), 10000);
    EXPECT_TRUE(std::filesystem::exists(state.sigFile));
}

} // namespace
} // namespace quillmark
