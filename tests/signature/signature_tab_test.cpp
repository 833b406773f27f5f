#include "settings/setting_keys.h"
#include "signature/compose.h"
#include "signature/signature_tab.h"
#include "support/ui_fixture.h"
#include "ui/prompter.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDeadlineTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace quillmark {
namespace {

class SignatureTabTest : public test::UiTest {
protected:
    SignatureTabTest() {
        state.headers = {"H1", "H2", "H3"};
        state.footers = {"F1", "F2"};
        state.sigFile = dir.file("sig.txt");
        tab.setClock([this] { return now; });
        chkAddSigDashes->setChecked(false);
    }
    // loadEntries returns while a large file goes on loading between the window's events.
    void loadFiles() {
        tab.loadEntries();
        for (const QDeadlineTimer end(10'000); tab.isLoading() && !end.hasExpired();)
            QCoreApplication::processEvents();
    }
    template <typename T> T* find(const char* name) {
        T* control = tab.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }

    SignatureState state;
    SignatureTab tab{state, prompter, random};
    std::int64_t now = 1'700'000'000;
    QPlainTextEdit* txtSig = find<QPlainTextEdit>("txtSig");
    QLabel* lblCurrentSig = find<QLabel>("lblCurrentSig");
    QPushButton* cmdUpdate = find<QPushButton>("cmdUpdate");
    QPushButton* cmdCopy = find<QPushButton>("cmdCopy");
    QPushButton* cmdPause = find<QPushButton>("cmdPause");
    QCheckBox* chkAddSigDashes = find<QCheckBox>("chkAddSigDashes");
    QLineEdit* txtInterval1 = find<QLineEdit>("txtInterval1");
    QLabel* lblTimeUnits = find<QLabel>("lblTimeUnits");
    QSlider* sld1 = find<QSlider>("sld1");
    QTimer* tmr1 = find<QTimer>("tmr1");
};

TEST_F(SignatureTabTest, NextSigShowsPicksAndWritesTheFile) {
    random.values = {0.5f, 0.9f};
    QTest::mouseClick(cmdUpdate, Qt::LeftButton);
    EXPECT_EQ(lblCurrentSig->text(), QStringLiteral("Current Signature: Header 2 of 3, Footer 2 of 2"));
    EXPECT_EQ(txtSig->toPlainText(), QStringLiteral("H2\nF2"));
    EXPECT_EQ(test::slurp(state.sigFile), "H2\nF2\n");
    EXPECT_TRUE(tmr1->isActive());

    QTest::mouseClick(chkAddSigDashes, Qt::LeftButton);
    ASSERT_TRUE(state.addDashes);
    QTest::mouseClick(cmdUpdate, Qt::LeftButton);
    EXPECT_EQ(test::slurp(state.sigFile), "-- \nH1\nF1\n");

    QTest::mouseClick(cmdCopy, Qt::LeftButton);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("-- \nH1\nF1"));
}

TEST_F(SignatureTabTest, MissingOutputFolderAsksOnceAndPointsToProfiles) {
    state.sigFile = dir.file("no such folder/sig.txt");
    QSignalSpy missing(&tab, &SignatureTab::outputFolderMissing);
    QTest::mouseClick(cmdUpdate, Qt::LeftButton);
    ASSERT_EQ(prompter.messages().size(), 1u);
    const auto m = prompter.messages()[0];
    EXPECT_EQ(m.title, QStringLiteral("Sorry..."));
    EXPECT_EQ(m.icon, Prompter::Icon::Critical);
    EXPECT_EQ(m.text, QStringLiteral("There was a problem writing out your signature file:\r\r") +
                          QString::fromStdString(state.sigFile) +
                          QStringLiteral("\r\rPlease check where you are trying to output it to"));
    EXPECT_EQ(missing.count(), 1);
    EXPECT_NE(test::slurp(dir.file("errorlog.dat")).find("subUpdateSig"), std::string::npos);

    // With no output file the label changes and nothing else happens.
    state.sigFile.clear();
    txtSig->setPlainText(QStringLiteral("kept"));
    QTest::mouseClick(cmdUpdate, Qt::LeftButton);
    EXPECT_EQ(txtSig->toPlainText(), QStringLiteral("kept"));
    EXPECT_EQ(prompter.messages().size(), 1u);
}

std::size_t logLines(const std::string& log, std::string_view words) {
    std::size_t n = 0;
    for (std::size_t at = log.find(words); at != std::string::npos; at = log.find(words, at + 1))
        ++n;
    return n;
}

TEST_F(SignatureTabTest, AnOutputThatIsASourceFileIsRefusedAndReportedOnce) {
    state.headerFile = dir.file("h.txt");
    test::spit(state.headerFile, "H1\n%\nH2\n");
    state.sigFile = state.headerFile;
    const std::string words = "the output file " + state.headerFile + " is the profile's header file";
    for (int tick = 0; tick < 3; ++tick)
        QTest::mouseClick(cmdUpdate, Qt::LeftButton);
    EXPECT_EQ(test::slurp(state.headerFile), "H1\n%\nH2\n");
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0].icon, Prompter::Icon::Critical);
    EXPECT_EQ(prompter.messages()[0].title, kProgramTitle);
    EXPECT_TRUE(prompter.messages()[0].text.contains(QString::fromStdString(words)));
    const std::string log = test::slurp(dir.file("errorlog.dat"));
    EXPECT_EQ(logLines(log, words), 1u);
    EXPECT_EQ(logLines(log, "subUpdateSig"), 1u);

    // After a write that worked, the same mistake is reported again.
    state.sigFile = dir.file("sig.txt");
    QTest::mouseClick(cmdUpdate, Qt::LeftButton);
    state.sigFile = state.headerFile;
    QTest::mouseClick(cmdUpdate, Qt::LeftButton);
    QTest::mouseClick(cmdUpdate, Qt::LeftButton);
    EXPECT_EQ(prompter.messages().size(), 2u);
    EXPECT_EQ(test::slurp(state.headerFile), "H1\n%\nH2\n");

    // A link another user left in a shared sticky folder is refused and reported the same way.
    if (::geteuid() != 0)
        return;
    const std::string shared = dir.file("shared");
    std::filesystem::create_directory(shared);
    ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
    const std::string victim = dir.file("important.txt");
    test::spit(victim, "keep");
    state.sigFile = shared + "/sig.txt";
    std::filesystem::create_symlink(victim, state.sigFile);
    ASSERT_EQ(::lchown(state.sigFile.c_str(), 65534, 0), 0);
    QTest::mouseClick(cmdUpdate, Qt::LeftButton);
    QTest::mouseClick(cmdUpdate, Qt::LeftButton);
    ASSERT_EQ(prompter.messages().size(), 3u);
    EXPECT_TRUE(prompter.messages()[2].text.contains(QStringLiteral("belongs to another user")));
    EXPECT_EQ(test::slurp(victim), "keep");
}

TEST_F(SignatureTabTest, APipeWithoutReaderIsSkippedAndLoggedOnce) {
    const std::string pipe = dir.file("sig.pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    state.sigFile = pipe;
    for (int tick = 0; tick < 3; ++tick)
        QTest::mouseClick(cmdUpdate, Qt::LeftButton);
    if (!std::filesystem::is_fifo(pipe))
        GTEST_SKIP() << "this platform's file writing replaces a named pipe";
    EXPECT_TRUE(prompter.messages().empty());
    EXPECT_EQ(logLines(test::slurp(dir.file("errorlog.dat")), "subUpdateSig"), 1u);

    state.sigFile = dir.file("sig.txt");
    QTest::mouseClick(cmdUpdate, Qt::LeftButton);
    state.sigFile = pipe;
    QTest::mouseClick(cmdUpdate, Qt::LeftButton);
    QTest::mouseClick(cmdUpdate, Qt::LeftButton);
    EXPECT_EQ(logLines(test::slurp(dir.file("errorlog.dat")), "subUpdateSig"), 2u);
    EXPECT_TRUE(prompter.messages().empty());
}

TEST_F(SignatureTabTest, ALargeSignatureIsPreviewedInPartAndWrittenWhole) {
    const std::string big(100'000, 'a');
    state.headers = {big};
    state.footers = {"\xC3\xA9t\xC3\xA9"};
    QTest::mouseClick(cmdUpdate, Qt::LeftButton);
    EXPECT_EQ(test::slurp(state.sigFile), big + "\n\xC3\xA9t\xC3\xA9\n");
    const QString preview = txtSig->toPlainText();
    EXPECT_TRUE(preview.startsWith(QString(64 * 1024, u'a')));
    EXPECT_LT(preview.size(), 64 * 1024 + 200);
    EXPECT_TRUE(
        preview.endsWith(QStringLiteral("the output file holds the whole signature, 100006 bytes.]")));
    QTest::mouseClick(cmdCopy, Qt::LeftButton);
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromStdString(big) + QStringLiteral("\nét\u00e9"));
}

TEST_F(SignatureTabTest, WindowEventsRunWhileAFileLoadsAndUpdatesWaitForIt) {
    state.headerFile = dir.file("h.txt");
    std::string bytes;
    for (int i = 0; i < 40'000; ++i)
        bytes += "header " + std::to_string(i) + "\n%\n";
    bytes += "last";
    test::spit(state.headerFile, bytes);
    random.values = {0.99999f, 0.0f};

    // A Next Sig click while the header loads: the update waits for the whole list.
    bool ranWhileLoading = false;
    QTimer::singleShot(0, &tab, [&] {
        ranWhileLoading = tab.isLoading();
        QTest::mouseClick(cmdUpdate, Qt::LeftButton);
    });
    loadFiles();
    EXPECT_TRUE(ranWhileLoading);
    EXPECT_EQ(state.headers.count(), 40'001u);
    EXPECT_EQ(lblCurrentSig->text(),
              QStringLiteral("Current Signature: Header 40001 of 40001, Footer 1 of 2"));
    EXPECT_EQ(test::slurp(state.sigFile), "last\nF1\n");

    // A stop request ends the load at once and the lists keep what they held.
    state.headers = {"kept"};
    QTimer::singleShot(0, &tab, [&] { tab.stopLoading(); });
    loadFiles();
    EXPECT_FALSE(tab.isLoading());
    EXPECT_EQ(state.headers.entries(), std::vector<std::string>{"kept"});
    // So does quitting the program, which then ends.
    QTimer::singleShot(0, &tab, [&] {
        QTimer::singleShot(0, &tab, [] { QCoreApplication::quit(); });
        tab.loadEntries();
    });
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_EQ(state.headers.entries(), std::vector<std::string>{"kept"});

    // A file above 256 MB is refused with its size (sparse: nothing is written to disk).
    const std::string huge = dir.file("huge.txt");
    test::spit(huge, "");
    std::filesystem::resize_file(huge, std::uintmax_t{300} << 20);
    state.headerFile = huge;
    tab.loadEntries();
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0].text,
              QStringLiteral("subLoadFiles: \r") + QString::fromStdString(huge) +
                  QStringLiteral(" is 300 MB; source files above 256 MB are not loaded"));
    EXPECT_EQ(state.headers.entries(), std::vector<std::string>{"kept"});
    EXPECT_NE(test::slurp(dir.file("errorlog.dat")).find("subLoadFiles"), std::string::npos);
}

TEST_F(SignatureTabTest, IntervalBoxFiltersKeysAndFollowsSlider) {
    txtInterval1->clear();
    QTest::keyClicks(txtInterval1, QStringLiteral("1a-2.x"));
    EXPECT_EQ(txtInterval1->text(), QStringLiteral("12"));
    EXPECT_EQ(lblTimeUnits->text(), QStringLiteral("seconds"));
    EXPECT_EQ(sld1->value(), 12);
    QTest::keyClick(txtInterval1, Qt::Key_Backspace);
    EXPECT_EQ(lblTimeUnits->text(), QStringLiteral("second"));

    // A paste keeps its digits, at the cursor.
    QApplication::clipboard()->setText(QStringLiteral("2ab3 x"));
    QTest::keyClick(txtInterval1, Qt::Key_Home);
    QTest::keySequence(txtInterval1, QKeySequence::Paste);
    EXPECT_EQ(txtInterval1->text(), QStringLiteral("231"));
    EXPECT_EQ(txtInterval1->cursorPosition(), 2);
    EXPECT_EQ(sld1->value(), 231);
    QApplication::clipboard()->setText(QStringLiteral("abc"));
    txtInterval1->selectAll();
    txtInterval1->paste();
    EXPECT_EQ(txtInterval1->text(), QStringLiteral("231"));

    sld1->setValue(45);
    EXPECT_EQ(txtInterval1->text(), QStringLiteral("45"));
    // A value beyond the slider's end stays as typed.
    txtInterval1->setText(QStringLiteral("99999999999"));
    EXPECT_EQ(sld1->value(), sld1->maximum());
    EXPECT_EQ(txtInterval1->text(), QStringLiteral("99999999999"));

    txtInterval1->setText(QStringLiteral("abc"));
    emit txtInterval1->editingFinished();
    EXPECT_EQ(txtInterval1->text(), QStringLiteral("0"));
    txtInterval1->setText(QStringLiteral("1e9"));
    emit txtInterval1->editingFinished();
    EXPECT_EQ(txtInterval1->text(), QStringLiteral("1e9"));
}

TEST_F(SignatureTabTest, TimerTicksFollowTheInterval) {
    QSignalSpy titles(&tab, &SignatureTab::titleChanged);
    txtInterval1->setText(QStringLiteral("10"));
    tab.tmr1_Timer();
    EXPECT_EQ(tmr1->interval(), 10000);
    EXPECT_EQ(titles.count(), 1);
    EXPECT_TRUE(titles.at(0).at(0).toString().startsWith(QStringLiteral("Quillmark Last Update ")));
    EXPECT_TRUE(QFile::exists(QString::fromStdString(state.sigFile)));

    // Long intervals poll every 30 seconds and write once the interval has passed.
    QFile::remove(QString::fromStdString(state.sigFile));
    txtInterval1->setText(QStringLiteral("120"));
    tab.tmr1_Timer(); // first long tick writes at once
    EXPECT_EQ(tmr1->interval(), 30000);
    EXPECT_TRUE(QFile::remove(QString::fromStdString(state.sigFile)));
    for (int i = 0; i < 4; ++i) {
        now += 30;
        tab.tmr1_Timer();
    }
    EXPECT_FALSE(QFile::exists(QString::fromStdString(state.sigFile)));
    now += 30;
    tab.tmr1_Timer();
    EXPECT_TRUE(QFile::exists(QString::fromStdString(state.sigFile)));

    // A tiny interval from the settings file ticks every 100 ms, not continuously.
    txtInterval1->setText(QStringLiteral("0.0004"));
    tab.tmr1_Timer();
    EXPECT_EQ(tmr1->interval(), 100);

    // Zero stops timed updates; Next Sig still works.
    QFile::remove(QString::fromStdString(state.sigFile));
    txtInterval1->setText(QStringLiteral("0"));
    now += 1000;
    tab.tmr1_Timer();
    EXPECT_FALSE(QFile::exists(QString::fromStdString(state.sigFile)));
}

TEST_F(SignatureTabTest, LoadsAndSavesItsSettings) {
    // A first run writes the defaults.
    tab.loadSettings(settings);
    EXPECT_EQ(txtInterval1->text(), QStringLiteral("60"));
    EXPECT_TRUE(chkAddSigDashes->isChecked());
    EXPECT_TRUE(state.addDashes);
    std::string file = test::slurp(settings.path());
    EXPECT_NE(file.find("INTERVAL_1=60"), std::string::npos) << file;
    EXPECT_NE(file.find("ADD DASHES TO SIG HEADER=True"), std::string::npos) << file;

    txtInterval1->selectAll();
    QTest::keyClicks(txtInterval1, QStringLiteral("15"));
    QTest::mouseClick(chkAddSigDashes, Qt::LeftButton);
    tab.saveSettings(settings);
    file = test::slurp(settings.path());
    EXPECT_NE(file.find("INTERVAL_1=15"), std::string::npos) << file;
    EXPECT_NE(file.find("ADD DASHES TO SIG HEADER=False"), std::string::npos) << file;

    // "False" and "0" clear the option; anything else sets it.
    for (const auto& [stored, on] : {std::pair{"False", false}, {"0", false}, {"-1", true}, {"yes", true}}) {
        settings.writeIni(keys::kAddDashes.section, keys::kAddDashes.key, stored);
        tab.loadSettings(settings);
        EXPECT_EQ(chkAddSigDashes->isChecked(), on) << stored;
        EXPECT_EQ(state.addDashes, on) << stored;
    }
}

TEST_F(SignatureTabTest, PauseAndResume) {
    tmr1->start();
    QTest::mouseClick(cmdPause, Qt::LeftButton);
    EXPECT_FALSE(tmr1->isActive());
    EXPECT_EQ(cmdPause->text(), QStringLiteral("&Resume"));
    // Next Sig restarts the timer and leaves the caption alone.
    QTest::mouseClick(cmdUpdate, Qt::LeftButton);
    EXPECT_TRUE(tmr1->isActive());
    EXPECT_EQ(cmdPause->text(), QStringLiteral("&Resume"));
    QTest::mouseClick(cmdPause, Qt::LeftButton);
    EXPECT_TRUE(tmr1->isActive());
    EXPECT_EQ(cmdPause->text(), QStringLiteral("&Pause"));
}

} // namespace
} // namespace quillmark
