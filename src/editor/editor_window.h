#pragma once
// EditorWindow: a small plain-text editor for a profile's header, footer and output files.
// Files are written whole and replaced atomically; text that is not UTF-8 is shown as
// Windows-1252 and written back byte for byte. The controls are in editor_window.ui.

#include "base/result.h"
#include "ui/chunked_work.h"

#include <QMainWindow>
#include <memory>
#include <string>

class QPlainTextEdit;

namespace Ui {
class EditorWindow;
}

namespace quillmark {

class Prompter;

class EditorWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit EditorWindow(Prompter& prompter, QWidget* parent = nullptr);
    ~EditorWindow() override;

    // Loads the file. Nothing changes when the path is empty or nothing is there (NotFound,
    // PathNotFound); a folder, a file too large, binary data or a read error is reported
    // back and leaves the editor as it was.
    Status openFile(const std::string& path);
    // Saves to `fileName`, through the save dialog when it is empty. False when nothing
    // was written: the dialog was cancelled or the write failed (which the user is told).
    bool save(const std::string& fileName);
    // Asks for a path and saves there; false when cancelled or not written.
    bool promptToSaveAs();

    // The file being edited (empty for a new file) and the path box it came from.
    const std::string& fileName() const { return m_fileName; }
    void setFileName(const std::string& path) { m_fileName = path; }
    int boxIndex() const { return m_boxIndex; }
    void setBoxIndex(int index) { m_boxIndex = index; }
    // The folder the save dialog starts in.
    void setSigFolder(const std::string& folder) { m_sigFolder = folder; }
    // Whether the text equals what was last read or written.
    bool isSaved() const { return m_saved; }
    // A large file is still being put into the box; it cannot be changed until then.
    bool isLoading() const { return !m_pending.isEmpty(); }

signals:
    // "Save As" wrote the file under a new name; the profile's path box follows it.
    void savedAs(int boxIndex, const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void setProportional(bool proportional);
    void showFileTitle();
    std::string textBytes();
    void setLoading(bool loading);
    bool loadPart();
    void finishLoading();

    void connectControls();

    Prompter& m_prompter;
    std::unique_ptr<Ui::EditorWindow> m_ui;
    QPlainTextEdit* txtMain; // the form's text box, which the loading and saving work on

    std::string m_fileName;
    std::string m_sigFolder;
    int m_boxIndex = 0;
    bool m_saved = false;
    bool m_legacy = false; // the file was not UTF-8: write it back in Windows-1252
    QString m_pending;     // the opened text while its later parts are still being added
    qsizetype m_pendingFrom = 0;
    ChunkedWork m_load;
};

} // namespace quillmark
