#include "wallpaper/wallpaper_tab.h"

#include "platform/app_folders.h"
#include "platform/error_handler.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/wallpaper_setter.h"
#include "settings/setting_keys.h"
#include "settings/typed_settings.h"
#include "signature/random.h"
#include "ui/appearance.h"
#include "ui/prompter.h"
#include "ui/wait_cursor.h"
#include "wallpaper/fit.h"
#include "wallpaper/picture_facts.h"
#include "wallpaper/wallpaper_list.h"
#include "wallpaper/wallpaper_render.h"

#include "ui_wallpaper_tab.h"

#include <QAbstractListModel>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIntValidator>
#include <QLineEdit>
#include <QListView>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTimer>

#include <algorithm>

namespace quillmark {

namespace {

constexpr int kMaxIntervalMinutes = 1440;
// The preview's spacing beside the list, set in twips (1/1440 inch) on a 96 dpi screen.
constexpr int kPreviewExtraHeight = 1000 / kTwipsPerPixel;
constexpr int kPreviewMargin = 1600 / kTwipsPerPixel;
// The name label sits this far under the preview, the dimensions label this far under the name.
constexpr int kNameGap = 160 / kTwipsPerPixel;
constexpr int kDimensionsGap = 280 / kTwipsPerPixel;

QString fromPath(std::string_view path) {
    return QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size()));
}

QSize primaryScreenPixels() {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        return screen->size() * screen->devicePixelRatio();
    return {1024, 768};
}

int primaryScreenDepth() {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        return screen->depth();
    return 24;
}

} // namespace

// The list's rows, read from the entries as the view draws them: no item object a row.
class WallpaperTab::EntryModel final : public QAbstractListModel {
public:
    EntryModel(const PathList& entries, QObject* parent) : QAbstractListModel(parent), m_entries(entries) {}

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : m_rows; }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_rows)
            return {};
        return fromPath(m_entries[static_cast<std::size_t>(index.row())]);
    }

    // `change` alters the entries in any way; the view starts afresh.
    template <typename Change> void reset(Change change) {
        beginResetModel();
        change();
        m_rows = static_cast<int>(m_entries.size());
        endResetModel();
    }
    // `change` only appends entries; the selection stays.
    template <typename Change> void append(Change change) {
        change();
        const int rows = static_cast<int>(m_entries.size());
        if (rows <= m_rows)
            return;
        beginInsertRows({}, m_rows, rows - 1);
        m_rows = rows;
        endInsertRows();
    }

private:
    const PathList& m_entries;
    int m_rows = 0; // what the view has been told
};

WallpaperTab::WallpaperTab(Prompter& prompter, RandomSource& random, QWidget* parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::WallpaperTab>()),
      m_ownSetter(std::make_unique<DesktopWallpaperSetter>()), m_prompter(prompter), m_random(random),
      m_setter(m_ownSetter.get()) {
    build();
}

WallpaperTab::~WallpaperTab() = default;

void WallpaperTab::build() {
    m_screenSize = primaryScreenPixels;
    setProgramFolder(programFolder());

    m_ui->setupUi(this);
    m_model = new EntryModel(m_entries, m_ui->lstWallpaper);
    m_ui->lstWallpaper->setModel(m_model);
    // The preview and its two labels are placed by hand in previewArea, which asks the layout
    // for no room: a preview sized from the list's height would otherwise make the tab taller,
    // the list with it, and the next preview taller still.
    m_ui->lblWallpaperDimensions->move(0, kDimensionsGap);
    m_ui->txtIntervalWallpaper->setValidator(
        new QIntValidator(0, kMaxIntervalMinutes, m_ui->txtIntervalWallpaper));
    tmrWallpaper = new QTimer(this);
    tmrWallpaper->setObjectName(QStringLiteral("tmrWallpaper"));
    // Minutes apart: a coarse timer lets the system bundle the wake-up with others.
    tmrWallpaper->setTimerType(Qt::VeryCoarseTimer);

    // Beside the rows under the list there is room for a preview a margin taller than the
    // list, and for its two labels.
    const int needed = kPreviewExtraHeight + kNameGap + kDimensionsGap + fontMetrics().height();
    const int beside = m_ui->lblWallpaperCount->sizeHint().height() +
                       m_ui->cmdBrowseWallpaper->sizeHint().height() +
                       2 * m_ui->chkShrinkWallpaper->sizeHint().height();
    m_ui->columns->setRowMinimumHeight(4, m_ui->chkStretchWallpaper->sizeHint().height() +
                                              std::max(0, needed - beside));

    showWallpaperPreview(false);
    m_ui->lblWallpaperName->hide();
    connectControls();
}

void WallpaperTab::connectControls() {
    connect(m_ui->cmdBrowseWallpaper, &QPushButton::clicked, this, &WallpaperTab::onBrowseWallpaperClicked);
    connect(m_ui->cmdDeleteWallpaperItems, &QPushButton::clicked, this,
            &WallpaperTab::onDeleteWallpaperItemsClicked);
    connect(m_ui->lstWallpaper, &QListView::clicked, this, &WallpaperTab::onWallpaperListClicked);
    connect(m_ui->cmdChangeWallpaper, &QPushButton::clicked, this, &WallpaperTab::onChangeWallpaperClicked);
    connect(m_ui->cmdSelectWallpaper, &QPushButton::clicked, this, &WallpaperTab::onSelectWallpaperClicked);
    connect(m_ui->sldWallpaper, &QSlider::valueChanged, this, [this](int value) {
        m_ui->txtIntervalWallpaper->setText(QString::number(value));
        intervalEdited();
    });
    connect(m_ui->txtIntervalWallpaper, &QLineEdit::textEdited, this, [this] {
        QSignalBlocker block(m_ui->sldWallpaper);
        m_ui->sldWallpaper->setValue(m_ui->txtIntervalWallpaper->text().toInt());
        intervalEdited();
    });
    connect(tmrWallpaper, &QTimer::timeout, this, &WallpaperTab::onWallpaperTimer);
}

void WallpaperTab::setWallpaperSetter(WallpaperSetter* setter) {
    m_setter = setter ? setter : m_ownSetter.get();
}

void WallpaperTab::setProgramFolder(const std::string& folder) {
    m_programFolder = folder;
    wallpaperListFile = folder + "/" + std::string(kWallpaperListName);
}

void WallpaperTab::loadSettings(Settings& settings) {
    m_settings = &settings;
    m_ui->chkShrinkWallpaper->setChecked(readFlag(settings, keys::kShrinkToFit));
    m_ui->chkStretchWallpaper->setChecked(readFlag(settings, keys::kStretchToFit));
    bool ok = false;
    // Read without storing the default: a first run writes the settings it has always written.
    const int minutes =
        QString::fromStdString(readTextPlain(settings, keys::kWallpaperInterval)).trimmed().toInt(&ok);
    m_intervalMinutes = ok ? std::clamp(minutes, 0, kMaxIntervalMinutes) : 0;
    m_ui->txtIntervalWallpaper->setText(QString::number(m_intervalMinutes));
    {
        QSignalBlocker block(m_ui->sldWallpaper);
        m_ui->sldWallpaper->setValue(m_intervalMinutes);
    }
    restartTimer();
}

void WallpaperTab::saveSettings(Settings& settings) {
    writeFlag(settings, keys::kShrinkToFit, m_ui->chkShrinkWallpaper->isChecked());
    writeFlag(settings, keys::kStretchToFit, m_ui->chkStretchWallpaper->isChecked());
    writeText(settings, keys::kWallpaperInterval, std::to_string(m_intervalMinutes));
}

void WallpaperTab::intervalEdited() {
    const int minutes = std::clamp(m_ui->txtIntervalWallpaper->text().toInt(), 0, kMaxIntervalMinutes);
    if (minutes == m_intervalMinutes)
        return;
    m_intervalMinutes = minutes;
    restartTimer();
}

void WallpaperTab::restartTimer() {
    if (m_intervalMinutes <= 0) {
        tmrWallpaper->stop();
        return;
    }
    tmrWallpaper->start(m_intervalMinutes * 60 * 1000);
}

void WallpaperTab::onWallpaperTimer() {
    // A change still under way (a message box open over it) is not stacked on.
    if (!m_ui->lstWallpaper->isEnabled() || m_entries.empty())
        return;
    onChangeWallpaperClicked();
}

void WallpaperTab::loadWallpaperList() {
    m_model->reset([this] { m_entries = PathList(); });
    m_listChanged = false;
    m_listBroken = false;
    Result<WallpaperList> loaded = quillmark::loadWallpaperList(wallpaperListFile);
    if (!loaded) {
        if (loaded.code() != ErrorCode::NotFound) {
            // Saving over a list that could not be read would lose it.
            m_listBroken = true;
            logError("frmMain.subLoadWallpaperList", wallpaperListFile + ": " + loaded.message());
        }
        updateWallpaperCount();
        return;
    }
    if (loaded->skippedLines > 0)
        logError("frmMain.subLoadWallpaperList",
                 wallpaperListFile + ": " + std::to_string(loaded->skippedLines) +
                     " lines name no file (empty or holding NUL bytes) and were left out");
    m_model->reset([&] { m_entries = std::move(loaded->entries); });
    updateWallpaperCount();
}

void WallpaperTab::saveWallpaperList() {
    if (m_listChanged && m_listBroken) {
        logError("subSaveWallpaperList", wallpaperListFile +
                                             ": not rewritten, because it could not be read at start-up; "
                                             "the changes of this run are not kept");
    } else if (m_listChanged) {
        Status saved = makeFoldersFor(wallpaperListFile);
        if (saved)
            saved = quillmark::saveWallpaperList(wallpaperListFile, m_entries);
        if (saved)
            m_listChanged = false;
        else
            logError("subSaveWallpaperList", wallpaperListFile + ": " + saved.message());
    }
    updateWallpaperCount();
}

void WallpaperTab::updateWallpaperCount() {
    QPalette palette = m_ui->lblWallpaperCount->palette();
    palette.setColor(QPalette::WindowText, schemeTextColour());
    m_ui->lblWallpaperCount->setPalette(palette);
    m_ui->lblWallpaperCount->setVisible(true);
    m_ui->lblWallpaperCount->setText(QString::fromStdString(wallpaperCountCaption(m_entries.size())));
}

void WallpaperTab::onBrowseWallpaperClicked() {
    std::string lastDirectory = m_settings ? readText(*m_settings, keys::kLastDirectory) : std::string();
    const QString start = folderExists(lastDirectory) ? fromPath(lastDirectory) : QString();
    const QStringList chosen =
        m_prompter.openFiles(this, tr("Choose Wallpaper files"), start, tr("All Files (*)"));
    if (chosen.isEmpty())
        return;
    std::vector<std::string> paths;
    for (const QString& c : chosen)
        paths.push_back(QDir::cleanPath(QFileInfo(c).absoluteFilePath()).toStdString());
    m_model->append([&] { addUniquePaths(m_entries, paths); });
    m_listChanged = true;
    saveWallpaperList();
    if (m_settings)
        writeText(*m_settings, keys::kLastDirectory, QFileInfo(chosen.front()).absolutePath().toStdString());
}

void WallpaperTab::onDeleteWallpaperItemsClicked() {
    std::vector<std::size_t> selected;
    for (const QItemSelectionRange& range : m_ui->lstWallpaper->selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom(); ++row)
            selected.push_back(static_cast<std::size_t>(row));
    if (selected.empty())
        return;
    Deletion deletion;
    m_model->reset([&] { deletion = deleteSelected(m_entries, std::move(selected)); });
    if (deletion.select) {
        m_ui->lstWallpaper->selectionModel()->setCurrentIndex(
            m_model->index(static_cast<int>(*deletion.select)), QItemSelectionModel::ClearAndSelect);
        onWallpaperListClicked();
    } else {
        showWallpaperPreview(false);
    }
    m_ui->lblWallpaperDimensions->setText(tr("%1 files removed from list").arg(deletion.removed));
    m_ui->lblWallpaperDimensions->adjustSize();
    m_ui->lblWallpaperDimensions->setVisible(true);
    m_listChanged = true;
    saveWallpaperList();
}

void WallpaperTab::onWallpaperListClicked() {
    const int row = m_ui->lstWallpaper->currentIndex().row();
    if (row < 0 || static_cast<std::size_t>(row) >= m_entries.size())
        return;
    WaitCursor wait;
    updateThumbnail(std::string(m_entries[static_cast<std::size_t>(row)]));
}

void WallpaperTab::showWallpaperPreview(bool visible) {
    m_ui->pnlWallPaperPreview->setVisible(visible);
    m_ui->lblWallpaperDimensions->setVisible(visible);
}

// The preview's size for a picture of `natural` size: a portrait picture a margin taller than
// the list, a landscape one as wide as the room beside the list.
QSize WallpaperTab::previewSize(QSize natural) const {
    const double ratio = static_cast<double>(natural.width()) / natural.height();
    QSize preview;
    if (ratio <= 1.0) {
        const int h = m_ui->lstWallpaper->height() + kPreviewExtraHeight;
        preview = QSize(std::max(1, static_cast<int>(h * ratio)), h);
    } else {
        const int w = std::max(80, width() - m_ui->lstWallpaper->width() - kPreviewMargin);
        preview = QSize(w, std::max(1, static_cast<int>(w / ratio)));
    }
    // In a small window the preview shrinks to the room there is, its labels still under it.
    const QSize room(m_ui->previewArea->width(),
                     m_ui->previewArea->height() - kNameGap - kDimensionsGap - fontMetrics().height());
    if (!room.isEmpty() && (preview.width() > room.width() || preview.height() > room.height()))
        preview = preview.scaled(room, Qt::KeepAspectRatio).expandedTo({1, 1});
    return preview;
}

// Why there is no preview, where the picture's name would be.
void WallpaperTab::showPreviewNote(const QString& text) {
    m_ui->lblWallpaperName->setText(text);
    m_ui->lblWallpaperName->adjustSize();
    m_ui->lblWallpaperName->setVisible(true);
}

void WallpaperTab::updateThumbnail(const std::string& path) {
    m_ui->pnlWallPaperPreview->hide();
    m_ui->lblWallpaperDimensions->hide();
    m_ui->lblWallpaperName->hide();
    m_previewPath.clear();
    const QString file = fromPath(path);
    if (!QFileInfo::exists(file))
        return;
    Result<PictureInfo> info = readPictureInfo(file);
    if (!info) {
        showPreviewNote(info.code() == ErrorCode::InvalidInput ? tr("Not a valid image file")
                                                               : QString::fromStdString(info.message()));
        if (info.code() != ErrorCode::InvalidInput)
            logError("frmMain.subUpdateThumbnail", path + ": " + info.message());
        return;
    }
    const QSize natural = info->size;
    const QSize preview = previewSize(natural);
    Result<QImage> picture = loadPicture(file, preview.boundedTo(natural));
    if (!picture) {
        showPreviewNote(tr("Not a valid image file"));
        return;
    }
    m_ui->pnlWallPaperPreview->setGeometry(std::max(0, (m_ui->previewArea->width() - preview.width()) / 2), 0,
                                           preview.width(), preview.height());
    m_ui->imgWallpaper->setGeometry(0, 0, preview.width(), preview.height());
    m_ui->imgWallpaper->setPixmap(QPixmap::fromImage(*picture));
    m_ui->pnlWallPaperPreview->show();
    m_ui->lblWallpaperName->move(0, preview.height() + kNameGap);
    m_ui->lblWallpaperDimensions->move(0, m_ui->lblWallpaperName->y() + kDimensionsGap);
    m_ui->lblWallpaperName->setText(QFileInfo(file).fileName());
    m_ui->lblWallpaperName->adjustSize();
    // The depth the picture is displayed in: a picture deeper than the screen shows in the
    // screen's depth.
    const int screenBits = primaryScreenDepth();
    const int bits = screenBits > 0 ? std::min(info->bitsPerPixel, screenBits) : info->bitsPerPixel;
    m_ui->lblWallpaperDimensions->setText(
        QString::fromStdString(dimensionsCaption(natural.width(), natural.height(), bits)));
    m_ui->lblWallpaperDimensions->adjustSize();
    m_ui->lblWallpaperDimensions->show();
    m_ui->lblWallpaperName->show();
    m_previewPath = path;
}

void WallpaperTab::reportFailure(const char* context, const std::string& reason) {
    logError(context, reason);
    emit statusMessage(tr("The wallpaper was not changed"));
    // The message waits for the user, not the program: no hourglass over it.
    const bool waiting = QGuiApplication::overrideCursor() != nullptr;
    if (waiting)
        QGuiApplication::restoreOverrideCursor();
    m_prompter.message(
        this, tr("Error changing wallpaper") + QStringLiteral("\n\n") + QString::fromStdString(reason), {},
        Prompter::Icon::Warning);
    if (waiting)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

bool WallpaperTab::applyPicture(const std::string& path) {
    const char* const context = "Windows.bas.subSetWallpaper";
    const QString file = fromPath(path);
    Result<PictureInfo> info = readPictureInfo(file);
    if (!info) {
        reportFailure(context, path + ": " + info.message());
        return false;
    }
    // The boxes as they stand: the settings file has them only from the next save.
    const FitOptions options{m_ui->chkShrinkWallpaper->isChecked(), m_ui->chkStretchWallpaper->isChecked()};
    const QSize screen = m_screenSize();
    const PixelSize fitted =
        fitPicture({info->size.width(), info->size.height()}, {screen.width(), screen.height()}, options);
    Result<QImage> picture = loadPicture(file, QSize(fitted.width, fitted.height));
    if (!picture) {
        reportFailure(context, path + ": " + picture.message());
        return false;
    }
    const QImage rendered = renderWallpaper(*picture, fitted);
    Result<QByteArray> png = encodePng(rendered);
    if (!png) {
        reportFailure(context, png.message());
        return false;
    }
    const WallpaperFiles files = wallpaperFiles(m_programFolder, kWallpaperFileExtension,
                                                [](const std::string& p) -> std::optional<std::int64_t> {
                                                    const QFileInfo f(fromPath(p));
                                                    if (!f.exists())
                                                        return std::nullopt;
                                                    return f.lastModified().toMSecsSinceEpoch();
                                                });
    Status written = makeFolders(m_programFolder);
    if (written)
        written = writeFileAtomic(files.next,
                                  std::string_view(png->constData(), static_cast<std::size_t>(png->size())),
                                  Durability::Replace);
    if (!written) {
        reportFailure(context, files.next + ": " + written.message());
        return false;
    }
    if (Status set = m_setter->setWallpaper(files.next, rendered); !set) {
        // The desktop still shows the older file; the new one is of no use.
        QFile::remove(fromPath(files.next));
        reportFailure(context, set.message());
        return false;
    }
    if (QFileInfo::exists(fromPath(files.older)) && !QFile::remove(fromPath(files.older)))
        logError(context, files.older + ": the previous wallpaper file could not be removed");
    emit statusMessage(tr("Wallpaper changed to %1").arg(QFileInfo(file).fileName()));
    return true;
}

void WallpaperTab::onChangeWallpaperClicked() {
    if (m_entries.empty())
        return;
    WaitCursor wait;
    m_ui->lstWallpaper->setEnabled(false);
    const std::optional<std::size_t> index = pickUsableEntry(
        m_entries, m_random.next(), [](std::string_view p) { return QFileInfo(fromPath(p)).isFile(); });
    if (!index) {
        emit statusMessage(tr("None of the wallpaper files can be found; the wallpaper was not changed"));
        logError("frmMain.cmdChangeWallpaper", "none of the files in the wallpaper list can be found");
    } else {
        const std::string path(m_entries[*index]);
        updateThumbnail(path);
        applyPicture(path);
    }
    m_ui->lstWallpaper->setEnabled(true);
}

void WallpaperTab::onSelectWallpaperClicked() {
    WaitCursor wait;
    const int row = m_ui->lstWallpaper->currentIndex().row();
    if (row < 0 || static_cast<std::size_t>(row) >= m_entries.size()) {
        if (!m_entries.empty())
            m_prompter.message(this, tr("Please select some wallpaper to decorate with."),
                               tr("No wallpaper selected"), Prompter::Icon::Information);
        return;
    }
    m_ui->lstWallpaper->setEnabled(false);
    applyPicture(std::string(m_entries[static_cast<std::size_t>(row)]));
    m_ui->lstWallpaper->setEnabled(true);
}

} // namespace quillmark
