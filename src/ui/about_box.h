#pragma once
// AboutBox: the About box. The version, the product picture, the web and mail links of the
// makers and a short notice. Only one exists at a time. The controls are in about_box.ui.

#include <QDialog>
#include <QString>
#include <memory>

namespace Ui {
class AboutBox;
}

namespace quillmark {

class Prompter;

class AboutBox final : public QDialog {
    Q_OBJECT
public:
    // Shows the About window without blocking, or brings an open one to the front. `prompter` tells
    // the user when a link cannot be opened and must outlive the window.
    static AboutBox* showAbout(Prompter& prompter, QWidget* parent = nullptr);

    ~AboutBox() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    AboutBox(Prompter& prompter, QWidget* parent);
    void load();

    Prompter& m_prompter;
    std::unique_ptr<Ui::AboutBox> m_ui;
};

} // namespace quillmark
