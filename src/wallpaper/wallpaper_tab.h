#pragma once
// The Wallpaper tab. For now it holds the fitting options that the settings keep.

#include <QWidget>

class QCheckBox;

namespace quillmark {

class Settings;

class WallpaperTab : public QWidget {
    Q_OBJECT
public:
    explicit WallpaperTab(QWidget* parent = nullptr);

    void loadSettings(Settings& settings);
    void saveSettings(Settings& settings);

private:
    QCheckBox* chkShrinkWallpaper;
    QCheckBox* chkStretchWallpaper;
};

} // namespace quillmark
