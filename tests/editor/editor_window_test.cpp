#include "editor/editor_window.h"

#include "support/ui_fixture.h"
#include "ui/appearance.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <unistd.h>

namespace quillmark {
namespace {

class EditorTest : public test::UiTest {
protected:
    EditorTest() { editor->setSigFolder(dir.path()); }
    ~EditorTest() override { delete editor.data(); }

    QPlainTextEdit* text() { return editor->findChild<QPlainTextEdit*>(QStringLiteral("txtMain")); }
    void menu(const char* name) { editor->findChild<QAction*>(QString::fromLatin1(name))->trigger(); }
    // Key presses carrying the characters, so letters beyond ASCII can be typed too.
    void type(const QString& keys) {
        text()->moveCursor(QTextCursor::End);
        for (QChar c : keys) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(text(), &press);
        }
    }
    Prompter::Answer answer(Prompter::Answer a) {
        prompter.answers.push_back(a);
        return a;
    }

    QPointer<EditorWindow> editor = new EditorWindow(prompter);
};

TEST_F(EditorTest, SavingUnchangedKeepsTheBytesWithPlatformLineEnds) {
    struct Case {
        std::string file;
        std::string saved;
        QString shown;
    };
    const Case cases[] = {
        {"Hello\r\nWorld\r\n", "Hello\nWorld\n", QStringLiteral("Hello\nWorld")},
        {"no end", "no end\n", QStringLiteral("no end")},
        {"two\n\n", "two\n\n", QStringLiteral("two\n")},
        // Windows-1252: e-acute, euro sign, a no-break space and an undefined byte survive.
        {"caf\xE9 \x80\xA0\x81\r\n", "caf\xE9 \x80\xA0\x81\n",
         QStringLiteral(u"caf\u00E9 \u20AC\u00A0\u0081")},
        {"caf\xC3\xA9 \xE2\x82\xAC\n", "caf\xC3\xA9 \xE2\x82\xAC\n", QStringLiteral(u"caf\u00E9 \u20AC")},
    };
    for (const Case& c : cases) {
        const std::string path = dir.file("sig.txt");
        test::spit(path, c.file);
        ASSERT_TRUE(editor->openFile(path).ok());
        // The box's plain text shows a no-break space as a blank; the file keeps it.
        EXPECT_EQ(text()->toPlainText(), QString(c.shown).replace(QChar(0xA0), QLatin1Char(' ')));
        EXPECT_EQ(editor->windowTitle(),
                  QStringLiteral("Quillmark Sig Editor (%1)").arg(QString::fromStdString(path)));
        EXPECT_TRUE(editor->isSaved());
        menu("mnuSave");
        EXPECT_EQ(test::slurp(path), c.saved);
    }
    // Typed text in a Windows-1252 file stays in that code page.
    test::spit(dir.file("old.txt"), "caf\xE9\r\n");
    ASSERT_TRUE(editor->openFile(dir.file("old.txt")).ok());
    type(QStringLiteral(u" \u00FC"));
    EXPECT_FALSE(editor->isSaved());
    menu("mnuSave");
    EXPECT_EQ(test::slurp(dir.file("old.txt")), "caf\xE9 \xFC\n");
    EXPECT_TRUE(editor->isSaved());
    EXPECT_TRUE(prompter.calls.empty());
}

TEST_F(EditorTest, LargeFileOpensAtOnceAndCannotBeChangedUntilWhole) {
    std::string file;
    for (int i = 0; i < 40000; ++i)
        file += "Line " + std::to_string(i) + " of a large footer file, caf\xC3\xA9\r\n";
    const std::string path = dir.file("large.txt");
    test::spit(path, file);
    ASSERT_TRUE(editor->openFile(path).ok());
    editor->show();
    EXPECT_TRUE(editor->isLoading());
    EXPECT_TRUE(text()->isReadOnly());
    EXPECT_FALSE(editor->findChild<QAction*>(QStringLiteral("mnuSave"))->isEnabled());
    EXPECT_LT(text()->blockCount(), 40000);
    EXPECT_TRUE(editor->isSaved());
    EXPECT_TRUE(QTest::qWaitFor([this] { return !editor->isLoading(); }, 10000));
    EXPECT_EQ(text()->blockCount(), 40000);
    EXPECT_FALSE(text()->isReadOnly());
    EXPECT_TRUE(editor->isSaved());
    EXPECT_FALSE(text()->document()->isUndoAvailable());
    menu("mnuSave");
    std::string withLf = file;
    std::erase(withLf, '\r');
    EXPECT_EQ(test::slurp(path), withLf);
    EXPECT_TRUE(prompter.calls.empty());
}

TEST_F(EditorTest, NewFileTitleAndNothingOpenedFromAMissingPath) {
    EXPECT_EQ(editor->windowTitle(), QStringLiteral("Quillmark Sig Editor (New File)"));
    EXPECT_EQ(editor->openFile(dir.file("absent.txt")).code(), ErrorCode::NotFound);
    EXPECT_EQ(editor->windowTitle(), QStringLiteral("Quillmark Sig Editor (New File)"));
    EXPECT_TRUE(text()->toPlainText().isEmpty());
    EXPECT_TRUE(editor->fileName().empty());
    // A folder, binary data or a huge file is refused and the editor stays as it was.
    std::filesystem::create_directory(dir.file("folder"));
    test::spit(dir.file("bin.txt"), std::string("a\0b", 3));
    for (const std::string& bad : {dir.file("folder"), dir.file("bin.txt")}) {
        EXPECT_FALSE(editor->openFile(bad).ok()) << bad;
        EXPECT_TRUE(editor->fileName().empty());
    }
}

TEST_F(EditorTest, SaveAsAsksBeforeOverwritingAndACancelWritesNothing) {
    type(QStringLiteral("Fresh text"));
    QSignalSpy savedAs(editor.data(), &EditorWindow::savedAs);

    // Save with no name goes to the dialog; cancelling it writes nothing anywhere.
    menu("mnuSave");
    ASSERT_EQ(prompter.calls.size(), 1u);
    EXPECT_EQ(prompter.calls[0].kind, QStringLiteral("saveFile"));
    EXPECT_EQ(prompter.calls[0].path, QString::fromStdString(dir.path() + "/"));
    EXPECT_EQ(prompter.calls[0].window, editor.data());
    EXPECT_FALSE(editor->isSaved());

    const std::string existing = dir.file("existing.txt");
    test::spit(existing, "precious\n");
    for (Prompter::Answer a : {Prompter::Answer::No, Prompter::Answer::Cancel}) {
        prompter.paths.push_back(QString::fromStdString(existing));
        answer(a);
        menu("mnuSaveAs");
        EXPECT_EQ(test::slurp(existing), "precious\n");
        EXPECT_TRUE(editor->fileName().empty());
        EXPECT_EQ(editor->windowTitle(), QStringLiteral("Quillmark Sig Editor (New File)"));
    }
    const auto question = prompter.messages().back();
    EXPECT_EQ(question.title, QStringLiteral("Overwrite file?"));
    EXPECT_EQ(question.text, QString::fromStdString(existing) +
                                 QStringLiteral(" already exists.  Do you want to overwrite it?"));
    EXPECT_EQ(question.buttons, Prompter::Buttons::YesNoCancel);
    EXPECT_EQ(question.window, editor.data()) << "the question comes up over the editor";
    EXPECT_EQ(savedAs.count(), 0);

    editor->setBoxIndex(1);
    prompter.paths.push_back(QString::fromStdString(existing));
    answer(Prompter::Answer::Yes);
    menu("mnuSaveAs");
    EXPECT_EQ(test::slurp(existing), "Fresh text\n");
    EXPECT_EQ(editor->fileName(), existing);
    EXPECT_EQ(editor->windowTitle(),
              QStringLiteral("Quillmark Sig Editor (%1)").arg(QString::fromStdString(existing)));
    ASSERT_EQ(savedAs.count(), 1);
    EXPECT_EQ(savedAs[0][0].toInt(), 1);
    EXPECT_EQ(savedAs[0][1].toString(), QString::fromStdString(existing));
    EXPECT_TRUE(editor->isSaved());
}

// The real file dialog belongs to the editor and leaves an existing file to "Overwrite file?".
TEST_F(EditorTest, SaveAsDialogBelongsToTheEditorAndDoesNotAskAboutReplacing) {
    QtPrompter real;
    const std::unique_ptr<EditorWindow> own(new EditorWindow(real));
    int seen = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            seen +=
                dialog->parentWidget() == own.get() && dialog->testOption(QFileDialog::DontConfirmOverwrite);
            dialog->reject();
        }
    });
    poll.start(10);
    own->findChild<QAction*>(QStringLiteral("mnuSaveAs"))->trigger();
    EXPECT_EQ(seen, 1);
}

TEST_F(EditorTest, AFailedSaveIsNotASuccess) {
    const std::string path = dir.file("Sigs/header.txt");
    editor->setFileName(path); // the folder was deleted meanwhile
    type(QStringLiteral("Typed words"));
    menu("mnuSave");
    ASSERT_EQ(prompter.messages().size(), 1u);
    const auto message = prompter.messages()[0];
    EXPECT_EQ(message.icon, Prompter::Icon::Critical);
    EXPECT_TRUE(message.text.contains(QString::fromStdString(path))) << message.text.toStdString();
    EXPECT_TRUE(message.text.contains(QStringLiteral("No such file"))) << message.text.toStdString();
    EXPECT_FALSE(editor->isSaved());
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_NE(test::slurp(dir.file("errorlog.dat")).find("frmEditor.subSave"), std::string::npos);

    // Closing still asks; "Yes" with a save that fails again keeps the window and the text.
    editor->show();
    answer(Prompter::Answer::Yes);
    EXPECT_FALSE(editor->close());
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(text()->toPlainText(), QStringLiteral("Typed words"));
    EXPECT_EQ(prompter.messages()[1].title, QStringLiteral("Save file?"));
    EXPECT_EQ(prompter.messages()[2].icon, Prompter::Icon::Critical);
}

TEST_F(EditorTest, ReadOnlyPlaceKeepsTheOldFile) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not stop root";
    const std::string folder = dir.file("ro");
    std::filesystem::create_directory(folder);
    test::spit(folder + "/sig.txt", "old\n");
    ASSERT_TRUE(editor->openFile(folder + "/sig.txt").ok());
    std::filesystem::permissions(folder,
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    type(QStringLiteral(" new"));
    menu("mnuSave");
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
    EXPECT_EQ(test::slurp(folder + "/sig.txt"), "old\n");
    EXPECT_FALSE(editor->isSaved());
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1); // no temporary left
}

TEST_F(EditorTest, CloseAsksOnlyAboutUnsavedText) {
    editor->setAttribute(Qt::WA_DeleteOnClose, false); // closed and shown again below
    editor->show();
    // An untouched new editor still asks, as the window always has.
    answer(Prompter::Answer::Cancel);
    QTest::mouseClick(editor->findChild<QPushButton*>(QStringLiteral("cmdCancel")), Qt::LeftButton);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(prompter.messages().back().title, QStringLiteral("Save file?"));
    EXPECT_EQ(prompter.messages().back().window, editor.data());
    EXPECT_EQ(prompter.messages().back().text,
              QStringLiteral("Would you like to save the changes you've made to this signature file?"));

    const std::string path = dir.file("footer.txt");
    test::spit(path, "one\n");
    ASSERT_TRUE(editor->openFile(path).ok());
    const size_t asked = prompter.messages().size();
    type(QStringLiteral(" two"));
    answer(Prompter::Answer::Yes);
    QTest::mouseClick(editor->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    EXPECT_EQ(prompter.messages().size(), asked + 1);
    EXPECT_EQ(test::slurp(path), "one two\n");
    EXPECT_FALSE(editor->isVisible());

    // "No" closes without writing.
    editor->show();
    type(QStringLiteral(" three"));
    answer(Prompter::Answer::No);
    menu("mnuExit");
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(test::slurp(path), "one two\n");
}

TEST_F(EditorTest, FontsSwitchBetweenFixedAndProportional) {
    auto* fixed = editor->findChild<QAction*>(QStringLiteral("mnuFixed"));
    auto* proportional = editor->findChild<QAction*>(QStringLiteral("mnuProportional"));
    EXPECT_TRUE(fixed->isChecked());
    EXPECT_FALSE(proportional->isChecked());
    EXPECT_EQ(text()->font().family(), designFont(DesignFont::CourierNew).family());
    // An opened file's text follows the choice as well.
    test::spit(dir.file("h.txt"), "Header\n");
    ASSERT_TRUE(editor->openFile(dir.file("h.txt")).ok());
    EXPECT_EQ(text()->document()->defaultFont().family(), designFont(DesignFont::CourierNew).family());
    proportional->trigger();
    EXPECT_TRUE(proportional->isChecked());
    EXPECT_FALSE(fixed->isChecked());
    EXPECT_EQ(text()->font().family(), designFont(DesignFont::Arial).family());
    EXPECT_EQ(text()->document()->defaultFont().family(), designFont(DesignFont::Arial).family());
    fixed->trigger();
    EXPECT_TRUE(fixed->isChecked());
    EXPECT_FALSE(proportional->isChecked());
    EXPECT_EQ(text()->font().family(), designFont(DesignFont::CourierNew).family());
}

} // namespace
} // namespace quillmark
