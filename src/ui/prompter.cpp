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
    // Indexed by the Icon and Buttons enumerators, in their order.
    static constexpr QMessageBox::Icon kIcons[] = {QMessageBox::NoIcon, QMessageBox::Information,
                                                   QMessageBox::Question, QMessageBox::Warning,
                                                   QMessageBox::Critical};
    static const QMessageBox::StandardButtons kButtons[] = {
        QMessageBox::Ok, QMessageBox::Yes | QMessageBox::No,
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Ok | QMessageBox::Cancel};
    box.setIcon(kIcons[static_cast<int>(icon)]);
    box.setStandardButtons(kButtons[static_cast<int>(buttons)]);
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
