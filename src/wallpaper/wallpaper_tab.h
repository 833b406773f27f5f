#pragma once
// The Wallpaper tab: the list of pictures with its file, the preview, the fitting options,
// the random and selected change, and the timed change.

#include "wallpaper/wallpaper_list.h"

#include <QWidget>
#include <functional>
#include <memory>
#include <string>

class QTimer;

namespace Ui {
class WallpaperTab;
}

namespace quillmark {

class Prompter;
class QtPrompter;
class RandomSource;
class Settings;
class WallpaperSetter;

class WallpaperTab : public QWidget {
    Q_OBJECT
public:
    WallpaperTab(Prompter& prompter, RandomSource& random, QWidget* parent = nullptr);
    ~WallpaperTab() override;

    // Tests replace the desktop, the program folder and the screen size.
    void setWallpaperSetter(WallpaperSetter* setter);
    void setProgramFolder(const std::string& folder);
    void setScreenSize(std::function<QSize()> screenSize) { m_screenSize = std::move(screenSize); }

    // The fitting options and the timed change. The settings are kept for the add command,
    // which stores its folder; a change fits the picture by the check boxes as they stand.
    void loadSettings(Settings& settings);
    void saveSettings(Settings& settings);

    // The list file: loaded at start-up, saved after each add, removal and tab switch.
    void loadWallpaperList();
    void saveWallpaperList();
    void updateWallpaperCount();
    const std::string& listFile() const { return wallpaperListFile; }

    void onBrowseWallpaperClicked();
    void onDeleteWallpaperItemsClicked();
    void onWallpaperListClicked();
    // A random picture from the list (also the start-up change and the timed change).
    void onChangeWallpaperClicked();
    void onSelectWallpaperClicked();
    void onWallpaperTimer();

    void updateThumbnail(const std::string& path);
    void showWallpaperPreview(bool visible);

signals:
    // A line for the main window's status: what the last change did, or why it did nothing.
    void statusMessage(const QString& text);

private:
    class EntryModel;

    void build();
    void connectControls();
    QSize previewSize(QSize natural) const;
    void showPreviewNote(const QString& text);
    bool applyPicture(const std::string& path);
    void reportFailure(const char* context, const std::string& reason);
    void intervalEdited();
    void restartTimer();

    std::unique_ptr<Ui::WallpaperTab> m_ui;
    EntryModel* m_model;
    QTimer* tmrWallpaper;

    std::unique_ptr<WallpaperSetter> m_ownSetter;
    Prompter& m_prompter;
    RandomSource& m_random;
    WallpaperSetter* m_setter;
    Settings* m_settings = nullptr;
    std::function<QSize()> m_screenSize;

    std::string m_programFolder;
    std::string wallpaperListFile;
    PathList m_entries; // what lstWallpaper shows
    bool m_listChanged = false;
    bool m_listBroken = false; // the file could not be read: never overwrite it unasked
    std::string m_previewPath; // the picture the preview shows
    int m_intervalMinutes = 0;
};

} // namespace quillmark
