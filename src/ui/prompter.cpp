#include "ui/prompter.h"

#include <QFileDialog>
#include <QMessageBox>

namespace quillmark {

Prompter::Answer QtPrompter::message(const QString& text, const QString& title, Icon icon, Buttons buttons) {
    QMessageBox box(m_parent);
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

QString QtPrompter::openFile(const QString& caption, const QString& startPath, const QString& filter) {
    return QFileDialog::getOpenFileName(m_parent, caption, startPath, filter);
}

QStringList QtPrompter::openFiles(const QString& caption, const QString& startPath, const QString& filter) {
    return QFileDialog::getOpenFileNames(m_parent, caption, startPath, filter);
}

QString QtPrompter::saveFile(const QString& caption, const QString& startPath, const QString& filter) {
    return QFileDialog::getSaveFileName(m_parent, caption, startPath, filter);
}

QString QtPrompter::chooseFolder(const QString& caption, const QString& startFolder) {
    return QFileDialog::getExistingDirectory(m_parent, caption, startFolder);
}

} // namespace quillmark
