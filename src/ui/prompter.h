#pragma once
// Every modal interaction of the program goes through a Prompter, so tests can answer
// message boxes and file dialogs without a real modal window.

#include <QString>
#include <QStringList>

class QWidget;

namespace quillmark {

class Prompter {
public:
    enum class Icon { None, Information, Question, Warning, Critical };
    enum class Buttons { Ok, YesNo, YesNoCancel, OkCancel };
    enum class Answer { Ok, Yes, No, Cancel };

    virtual ~Prompter() = default;

    // Every box and dialog belongs to the window of `asker` (null: the main window), comes up over it
    // and leaves it in front once answered.

    // A message box; an empty title means the program's title "Quillmark".
    virtual Answer message(QWidget* asker, const QString& text, const QString& title = {},
                           Icon icon = Icon::None, Buttons buttons = Buttons::Ok) = 0;
    // File and folder choosers; an empty result means the user cancelled.
    virtual QString openFile(QWidget* asker, const QString& caption, const QString& startPath,
                             const QString& filter) = 0;
    // Several files at once, each as a full path; empty when the user cancelled.
    virtual QStringList openFiles(QWidget* asker, const QString& caption, const QString& startPath,
                                  const QString& filter) = 0;
    // Does not ask about replacing an existing file: the caller asks its own question.
    virtual QString saveFile(QWidget* asker, const QString& caption, const QString& startPath,
                             const QString& filter) = 0;
    virtual QString chooseFolder(QWidget* asker, const QString& caption, const QString& startFolder) = 0;
};

// The real prompter: QMessageBox and QFileDialog over the asker's window, else over `parent`.
class QtPrompter final : public Prompter {
public:
    explicit QtPrompter(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }

    Answer message(QWidget* asker, const QString& text, const QString& title, Icon icon,
                   Buttons buttons) override;
    QString openFile(QWidget* asker, const QString& caption, const QString& startPath,
                     const QString& filter) override;
    QStringList openFiles(QWidget* asker, const QString& caption, const QString& startPath,
                          const QString& filter) override;
    QString saveFile(QWidget* asker, const QString& caption, const QString& startPath,
                     const QString& filter) override;
    QString chooseFolder(QWidget* asker, const QString& caption, const QString& startFolder) override;

private:
    QWidget* owner(QWidget* asker) const;

    QWidget* m_parent;
};

inline const QString kProgramTitle = QStringLiteral("Quillmark");

} // namespace quillmark
