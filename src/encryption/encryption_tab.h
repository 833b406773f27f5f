#pragma once
// The Encryption tab.

#include <QWidget>

class QLineEdit;
class QRadioButton;

namespace quillmark {

class Prompter;

class EncryptionTab : public QWidget {
    Q_OBJECT
public:
    explicit EncryptionTab(Prompter& prompter, QWidget* parent = nullptr);

    QRadioButton* opnROT;
    QRadioButton* opnPassword;
    QLineEdit* txtPassword;

private:
    Prompter& m_prompter;
};

} // namespace quillmark
