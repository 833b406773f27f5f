#include "editor/editor_window.h"

#include "editor/editor_text.h"
#include "platform/error_handler.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/platform.h"
#include "ui/appearance.h"
#include "ui/prompter.h"
#include "ui/text_codec.h"
#include "ui/wait_cursor.h"
#include "ui_editor_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTextCursor>
#include <QTextDocument>

namespace quillmark {

namespace {

const QString kTitle = QStringLiteral("Quillmark Sig Editor (%1)");

// Characters shown at once when a file opens, and added per turn of the event loop after.
constexpr qsizetype kFirstPartChars = 256 * 1024;
constexpr qsizetype kNextPartChars = 512 * 1024;

// Where a part that starts at `from` ends: at the first line end `size` characters on, so
// that every part holds whole lines.
qsizetype partEnd(const QString& text, qsizetype from, qsizetype size) {
    if (text.size() - from <= size)
        return text.size();
    const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'), from + size);
    return lineEnd < 0 ? text.size() : lineEnd;
}

// Filled before the box shows it: one layout for the part, not one per line.
void showNewDocument(QPlainTextEdit* box, const QString& text) {
    auto* document = new QTextDocument(box);
    document->setDocumentLayout(new QPlainTextDocumentLayout(document));
    document->setDefaultFont(box->font());
    document->setUndoRedoEnabled(false); // loading is not an edit the user could undo
    document->setPlainText(text);
    const QPointer<QTextDocument> previous = box->document();
    box->setDocument(document);
    if (previous && previous->parent() == box)
        delete previous.data();
}

} // namespace

EditorWindow::EditorWindow(Prompter& prompter, QWidget* parent)
    : QMainWindow(parent, Qt::Window), m_prompter(prompter), m_ui(std::make_unique<Ui::EditorWindow>()) {
    m_ui->setupUi(this);
    txtMain = m_ui->txtMain;
    setAttribute(Qt::WA_DeleteOnClose);
    // "Open" stays disabled: files come from the profile's path boxes; the item is there for
    // the familiar menu only.
    setProportional(false);
    connectControls();

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    applyColourScheme(this);
}

EditorWindow::~EditorWindow() = default;

void EditorWindow::connectControls() {
    // Only a flag per keystroke: nothing here may walk the whole text.
    connect(txtMain, &QPlainTextEdit::textChanged, this, [this] {
        if (!isLoading())
            m_saved = false;
    });
    connect(m_ui->mnuSave, &QAction::triggered, this, [this] {
        WaitCursor wait;
        save(m_fileName);
    });
    connect(m_ui->mnuSaveAs, &QAction::triggered, this, [this] { promptToSaveAs(); });
    connect(m_ui->mnuExit, &QAction::triggered, this, &QWidget::close);
    connect(m_ui->cmdOK, &QPushButton::clicked, this, &QWidget::close);
    connect(m_ui->cmdCancel, &QPushButton::clicked, this, &QWidget::close);
    connect(m_ui->mnuFixed, &QAction::triggered, this, [this] { setProportional(false); });
    connect(m_ui->mnuProportional, &QAction::triggered, this, [this] { setProportional(true); });
}

void EditorWindow::setProportional(bool proportional) {
    txtMain->setFont(designFont(proportional ? DesignFont::Arial : DesignFont::CourierNew));
    m_ui->mnuProportional->setChecked(proportional);
    m_ui->mnuFixed->setChecked(!proportional);
}

void EditorWindow::showFileTitle() {
    setWindowTitle(kTitle.arg(textFromBytes(m_fileName)));
}

Status EditorWindow::openFile(const std::string& path) {
    if (path.empty())
        return {};
    Result<std::string> bytes = readFileForEditor(path);
    if (!bytes) {
        if (bytes.code() != ErrorCode::NotFound && bytes.code() != ErrorCode::PathNotFound)
            logError("frmEditor.subOpenFile", bytes.message());
        return bytes.error();
    }
    // The first part is shown at once; a large file's rest follows in parts between events,
    // so the window opens quickly and stays responsive. Until then it cannot be changed.
    m_pending = textFromBytes(editorTextFromFile(*bytes), &m_legacy);
    m_pendingFrom = 0;
    setLoading(true);
    m_load.start([this] { return loadPart(); });
    m_fileName = path;
    showFileTitle();
    m_saved = true;
    return {};
}

void EditorWindow::setLoading(bool loading) {
    txtMain->setReadOnly(loading);
    m_ui->mnuSave->setEnabled(!loading);
    m_ui->mnuSaveAs->setEnabled(!loading);
}

bool EditorWindow::loadPart() {
    const bool first = m_pendingFrom == 0;
    const qsizetype end = partEnd(m_pending, m_pendingFrom, first ? kFirstPartChars : kNextPartChars);
    const QString part = m_pending.mid(m_pendingFrom, end - m_pendingFrom);
    m_pendingFrom = end;
    if (first) {
        showNewDocument(txtMain, part);
    } else {
        QTextCursor cursor(txtMain->document());
        cursor.movePosition(QTextCursor::End);
        // Each later part begins with the line end that closes the part before it.
        cursor.insertText(part);
    }
    if (end < m_pending.size())
        return true;
    m_pending = QString();
    txtMain->document()->setUndoRedoEnabled(true);
    setLoading(false);
    return false;
}

void EditorWindow::finishLoading() {
    m_load.stop();
    while (isLoading())
        loadPart();
}

std::string EditorWindow::textBytes() {
    finishLoading();
    // The raw text keeps no-break spaces, which the plain-text form would turn into spaces.
    QString text = txtMain->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return bytesFromText(text, m_legacy);
}

bool EditorWindow::save(const std::string& fileName) {
    if (fileName.empty())
        return promptToSaveAs();
    if (Status written = writeFileAtomic(fileName, fileFromEditorText(textBytes(), kLineEnd)); !written) {
        logError("frmEditor.subSave", written.message());
        m_prompter.message(this,
                           tr("Your changes could not be saved:\r\r%1\r\rThe text is still here; please "
                              "save it somewhere else with \"Save As\".")
                               .arg(textFromBytes(written.message())),
                           tr("Not saved"), Prompter::Icon::Critical, Prompter::Buttons::Ok);
        return false;
    }
    m_saved = true;
    if (fileName == m_fileName)
        showFileTitle();
    return true;
}

bool EditorWindow::promptToSaveAs() {
    const std::string start = m_sigFolder + kPathSeparator + fileNameOfPath(m_fileName);
    const QString chosen =
        m_prompter.saveFile(this, tr("Save As"), textFromBytes(start), tr("Text Document (*.txt)"));
    if (chosen.isEmpty())
        return false;
    const std::string path = chosen.toStdString();
    if (fileExists(path) &&
        m_prompter.message(this, chosen + tr(" already exists.  Do you want to overwrite it?"),
                           tr("Overwrite file?"), Prompter::Icon::Question,
                           Prompter::Buttons::YesNoCancel) != Prompter::Answer::Yes)
        return false;
    if (!save(path))
        return false;
    m_fileName = path;
    showFileTitle();
    emit savedAs(m_boxIndex, chosen);
    return true;
}

void EditorWindow::closeEvent(QCloseEvent* event) {
    if (!m_saved) {
        const Prompter::Answer answer = m_prompter.message(
            this, tr("Would you like to save the changes you've made to this signature file?"),
            tr("Save file?"), Prompter::Icon::Question, Prompter::Buttons::YesNoCancel);
        // A save that did not happen keeps the window, so the text is never lost unseen.
        if (answer == Prompter::Answer::Cancel || (answer == Prompter::Answer::Yes && !save(m_fileName))) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

} // namespace quillmark
