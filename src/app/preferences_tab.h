#pragma once
// The Preferences tab: separator, signature folder, preview font, colour scheme and the
// start-up options. Most boxes only hold a state that the settings save writes.

#include <QWidget>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace quillmark {

class PreferencesTab : public QWidget {
    Q_OBJECT
public:
    explicit PreferencesTab(QWidget* parent = nullptr);

    QLineEdit* txtSeparator;
    QLineEdit* txtSigPath;
    QPushButton* cmdBrowseSigPathDir;
    QCheckBox* chkStartUp;
    QCheckBox* chkShowSplashScreen;
    QCheckBox* chkWallpaperOnStartup;
    QCheckBox* chkProportional;
    QCheckBox* chkBoring;
};

} // namespace quillmark
