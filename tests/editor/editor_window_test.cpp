#include "editor/editor_window.h"

#include "support/ui_fixture.h"

#include <QtTest>
#include <QtWidgets>
#include <filesystem>

namespace quillmark {
namespace {

class EditorTest : public test::UiTest {
protected:
    EditorTest() { editor->setSigFolder(dir.path()); }
    ~EditorTest() override { delete editor.data(); }

    QPlainTextEdit* text() { return test::control<QPlainTextEdit>(*editor, QStringLiteral("txtMain")); }
    void menu(const char* name) { test::control<QAction>(*editor, QLatin1String(name))->trigger(); }
    // Key presses carrying the characters, so letters beyond ASCII can be typed too.
    void type(const QString& keys) {
        text()->moveCursor(QTextCursor::End);
        for (QChar c : keys) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(text(), &press);
        }
    }

    QPointer<EditorWindow> editor = new EditorWindow(prompter);
};

// Text that is not UTF-8 is Windows-1252, and typed text stays in that code page.
TEST_F(EditorTest, SavingUnchangedKeepsTheBytesWithPlatformLineEnds) {
    const std::string path = dir.file("sig.txt");
    const std::tuple<std::string, QString, std::string> cases[] = {
        {"Hello\r\nWorld\r\n", QStringLiteral("Hello\nWorld"), "Hello\nWorld\n"},
        {"caf\xE9 \x80\xA0\x81\r\n", QStringLiteral(u"caf\u00E9 \u20AC \u0081"), "caf\xE9 \x80\xA0\x81\n"},
        {"caf\xC3\xA9 \xE2\x82\xAC\n", QStringLiteral(u"caf\u00E9 \u20AC"), "caf\xC3\xA9 \xE2\x82\xAC\n"},
        {"caf\xE9", QStringLiteral(u"caf\u00E9 \u00FC"), "caf\xE9 \xFC\n"}};
    for (const auto& [file, shown, saved] : cases) {
        SCOPED_TRACE(file);
        test::spit(path, file);
        ASSERT_TRUE(editor->openFile(path).ok());
        if (file == "caf\xE9")
            type(QStringLiteral(u" \u00FC"));
        EXPECT_EQ(text()->toPlainText(), shown);
        menu("mnuSave");
        EXPECT_EQ(test::slurp(path), saved);
        EXPECT_TRUE(editor->isSaved());
    }
}

TEST_F(EditorTest, LargeFileOpensAtOnceAndCannotBeChangedUntilWhole) {
    std::string file;
    for (int i = 0; i < 40000; ++i)
        file += "Line " + std::to_string(i) + " of a large footer file, caf\xC3\xA9\n";
    const std::string path = dir.file("large.txt");
    test::spit(path, file);
    ASSERT_TRUE(editor->openFile(path).ok());
    editor->show();
    EXPECT_TRUE(editor->isLoading() && text()->isReadOnly());
    EXPECT_TRUE(QTest::qWaitFor([this] { return !editor->isLoading(); }, 10000));
    EXPECT_FALSE(text()->isReadOnly());
    menu("mnuSave");
    EXPECT_TRUE(test::slurp(path) == file);
}

TEST_F(EditorTest, SaveAsAsksBeforeOverwritingAndACancelWritesNothing) {
    type(QStringLiteral("Fresh text"));
    menu("mnuSave"); // no name yet: the dialog, cancelled
    EXPECT_EQ(prompter.calls.at(0).kind, QStringLiteral("saveFile"));
    const std::string existing = dir.file("existing.txt");
    test::spit(existing, "precious\n");
    for (Prompter::Answer a : {Prompter::Answer::No, Prompter::Answer::Cancel, Prompter::Answer::Yes}) {
        EXPECT_EQ(test::slurp(existing), "precious\n");
        prompter.paths.push_back(QString::fromStdString(existing));
        prompter.answers.push_back(a);
        menu("mnuSaveAs");
    }
    EXPECT_EQ(prompter.messages().at(0).title, QStringLiteral("Overwrite file?"));
    EXPECT_EQ(test::slurp(existing), "Fresh text\n");
    EXPECT_EQ(editor->fileName(), existing);
}

TEST_F(EditorTest, AFailedSaveIsNotASuccessAndCloseAsksAboutUnsavedText) {
    const std::string path = dir.file("Sigs/header.txt");
    editor->setFileName(path); // the folder was deleted meanwhile
    editor->setAttribute(Qt::WA_DeleteOnClose, false);
    editor->show();
    type(QStringLiteral("Typed words"));
    menu("mnuSave");
    EXPECT_TRUE(prompter.messages().at(0).text.contains(QString::fromStdString(path)));
    EXPECT_FALSE(editor->isSaved());
    prompter.answers.push_back(Prompter::Answer::Yes);
    EXPECT_FALSE(editor->close());
    EXPECT_EQ(prompter.messages().at(1).title, QStringLiteral("Save file?"));
    EXPECT_EQ(text()->toPlainText(), QStringLiteral("Typed words"));
    prompter.answers.push_back(Prompter::Answer::No);
    EXPECT_TRUE(editor->close());
    EXPECT_FALSE(std::filesystem::exists(path));
}

} // namespace
} // namespace quillmark
