#include "ui/prompter.h"

#include <QFileDialog>
#include <QMessageBox>

namespace quillmark {

QWidget* QtPrompter::owner(QWidget* asker) const {
    return asker ? asker->window() : m_parent;
}

Prompter::Answer QtPrompter::message(QWidget* asker, const QString& text, const QString& title, Icon icon,
                                     Buttons buttons) {
    QMessageBox box(owner(asker));
    box.setWindowTitle(title.isEmpty() ? kProgramTitle : title);
    box.setText(text);
    switch (icon) {
    case Icon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case Icon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Ok:
        return Answer::Ok;
    default:
        return Answer::Cancel;
    }
}

QString QtPrompter::openFile(QWidget* asker, const QString& caption, const QString& startPath,
                             const QString& filter) {
    return QFileDialog::getOpenFileName(owner(asker), caption, startPath, filter);
}

QStringList QtPrompter::openFiles(QWidget* asker, const QString& caption, const QString& startPath,
                                  const QString& filter) {
    return QFileDialog::getOpenFileNames(owner(asker), caption, startPath, filter);
}

QString QtPrompter::saveFile(QWidget* asker, const QString& caption, const QString& startPath,
                             const QString& filter) {
    return QFileDialog::getSaveFileName(owner(asker), caption, startPath, filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

QString QtPrompter::chooseFolder(QWidget* asker, const QString& caption, const QString& startFolder) {
    return QFileDialog::getExistingDirectory(owner(asker), caption, startFolder);
}

} // namespace quillmark
