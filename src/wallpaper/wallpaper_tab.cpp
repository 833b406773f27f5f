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

#include <QAbstractListModel>
#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace quillmark {

namespace {

constexpr int kSliderMaxMinutes = 240;
constexpr int kMaxIntervalMinutes = 1440;
// The preview's spacing beside the list, set in twips (1/1440 inch) on a 96 dpi screen.
constexpr int kPreviewExtraHeight = 1000 / kTwipsPerPixel;
constexpr int kPreviewMargin = 1600 / kTwipsPerPixel;
// The name label sits this far under the preview, the dimensions label this far under the name.
constexpr int kNameGap = 160 / kTwipsPerPixel;
constexpr int kDimensionsGap = 280 / kTwipsPerPixel;

QString fromPath(std::string_view path) {
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}
std::string toPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}
QString fromUtf8(const std::string& text) {
    return QString::fromStdString(text);
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
    : QWidget(parent), m_ownSetter(std::make_unique<DesktopWallpaperSetter>()), m_prompter(prompter),
      m_random(random), m_setter(m_ownSetter.get()) {
    build();
}

WallpaperTab::~WallpaperTab() = default;

void WallpaperTab::build() {
    m_screenSize = primaryScreenPixels;
    m_screenDepth = primaryScreenDepth;
    setProgramFolder(programFolder());

    lstWallpaper = new QListView(this);
    m_model = new EntryModel(m_entries, lstWallpaper);
    lstWallpaper->setModel(m_model);
    lstWallpaper->setObjectName(QStringLiteral("lstWallpaper"));
    lstWallpaper->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstWallpaper->setUniformItemSizes(true);
    lblWallpaperCount = new QLabel(this);
    lblWallpaperCount->setObjectName(QStringLiteral("lblWallpaperCount"));
    cmdBrowseWallpaper = new QPushButton(tr("&Add..."), this);
    cmdBrowseWallpaper->setObjectName(QStringLiteral("cmdBrowseWallpaper"));
    cmdDeleteWallpaperItems = new QPushButton(tr("Remo&ve"), this);
    cmdDeleteWallpaperItems->setObjectName(QStringLiteral("cmdDeleteWallpaperItems"));

    // The preview and its two labels are placed by hand in this area, which asks the layout for
    // no room: a preview sized from the list's height would otherwise make the tab taller, the
    // list with it, and the next preview taller still.
    m_previewArea = new QWidget(this);
    m_previewArea->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    pnlWallPaperPreview = new QFrame(m_previewArea);
    pnlWallPaperPreview->setObjectName(QStringLiteral("pnlWallPaperPreview"));
    pnlWallPaperPreview->setFrameShape(QFrame::Panel);
    pnlWallPaperPreview->setFrameShadow(QFrame::Sunken);
    imgWallpaper = new QLabel(pnlWallPaperPreview);
    imgWallpaper->setObjectName(QStringLiteral("imgWallpaper"));
    imgWallpaper->setScaledContents(true);
    lblWallpaperName = new QLabel(m_previewArea);
    lblWallpaperName->setObjectName(QStringLiteral("lblWallpaperName"));
    lblWallpaperDimensions = new QLabel(m_previewArea);
    lblWallpaperDimensions->setObjectName(QStringLiteral("lblWallpaperDimensions"));
    lblWallpaperDimensions->move(0, kDimensionsGap);

    chkShrinkWallpaper = new QCheckBox(tr("Shrink Wallpaper to fit screen"), this);
    chkShrinkWallpaper->setObjectName(QStringLiteral("chkShrinkWallpaper"));
    chkStretchWallpaper = new QCheckBox(tr("Stretch Wallpaper to fill screen"), this);
    chkStretchWallpaper->setObjectName(QStringLiteral("chkStretchWallpaper"));
    cmdChangeWallpaper = new QPushButton(tr("&Random Wallpaper"), this);
    cmdChangeWallpaper->setObjectName(QStringLiteral("cmdChangeWallpaper"));
    cmdSelectWallpaper = new QPushButton(tr("Use &Selected"), this);
    cmdSelectWallpaper->setObjectName(QStringLiteral("cmdSelectWallpaper"));

    sldWallpaper = new QSlider(Qt::Horizontal, this);
    sldWallpaper->setObjectName(QStringLiteral("sldWallpaper"));
    sldWallpaper->setRange(0, kSliderMaxMinutes);
    txtIntervalWallpaper = new QLineEdit(QStringLiteral("0"), this);
    txtIntervalWallpaper->setObjectName(QStringLiteral("txtIntervalWallpaper"));
    txtIntervalWallpaper->setValidator(new QIntValidator(0, kMaxIntervalMinutes, txtIntervalWallpaper));
    txtIntervalWallpaper->setMaximumWidth(70);
    tmrWallpaper = new QTimer(this);
    tmrWallpaper->setObjectName(QStringLiteral("tmrWallpaper"));
    // Minutes apart: a coarse timer lets the system bundle the wake-up with others.
    tmrWallpaper->setTimerType(Qt::VeryCoarseTimer);

    auto* listButtons = new QHBoxLayout;
    listButtons->addWidget(cmdBrowseWallpaper);
    listButtons->addWidget(cmdDeleteWallpaperItems);
    auto* commands = new QHBoxLayout;
    commands->addWidget(cmdChangeWallpaper);
    commands->addWidget(cmdSelectWallpaper);
    auto* columns = new QGridLayout;
    columns->addWidget(lstWallpaper, 0, 0);
    columns->addWidget(lblWallpaperCount, 1, 0);
    columns->addLayout(listButtons, 2, 0);
    columns->addWidget(chkShrinkWallpaper, 3, 0);
    columns->addWidget(chkStretchWallpaper, 4, 0, Qt::AlignTop);
    columns->addWidget(m_previewArea, 0, 1, 5, 1);
    columns->addLayout(commands, 5, 1);
    columns->setRowStretch(0, 1);
    columns->setColumnStretch(0, 1);
    columns->setColumnStretch(1, 1);
    // Beside the rows under the list there is room for a preview a margin taller than the
    // list, and for its two labels.
    const int needed = kPreviewExtraHeight + kNameGap + kDimensionsGap + fontMetrics().height();
    const int beside = lblWallpaperCount->sizeHint().height() + cmdBrowseWallpaper->sizeHint().height() +
                       2 * chkShrinkWallpaper->sizeHint().height();
    columns->setRowMinimumHeight(4, chkStretchWallpaper->sizeHint().height() + std::max(0, needed - beside));

    auto* interval = new QHBoxLayout;
    interval->addWidget(new QLabel(tr("Update wallpaper every"), this));
    interval->addWidget(txtIntervalWallpaper);
    interval->addWidget(new QLabel(tr("minutes"), this));
    interval->addWidget(sldWallpaper, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addLayout(interval);

    subShowWallpaperPreview(false);
    lblWallpaperName->hide();

    connect(cmdBrowseWallpaper, &QPushButton::clicked, this, &WallpaperTab::cmdBrowseWallpaper_Click);
    connect(cmdDeleteWallpaperItems, &QPushButton::clicked, this,
            &WallpaperTab::cmdDeleteWallpaperItems_Click);
    connect(lstWallpaper, &QListView::clicked, this, &WallpaperTab::lstWallpaper_Click);
    connect(cmdChangeWallpaper, &QPushButton::clicked, this, &WallpaperTab::cmdChangeWallpaper_Click);
    connect(cmdSelectWallpaper, &QPushButton::clicked, this, &WallpaperTab::cmdSelectWallpaper_Click);
    connect(sldWallpaper, &QSlider::valueChanged, this, [this](int value) {
        txtIntervalWallpaper->setText(QString::number(value));
        intervalEdited();
    });
    connect(txtIntervalWallpaper, &QLineEdit::textEdited, this, [this] {
        QSignalBlocker block(sldWallpaper);
        sldWallpaper->setValue(txtIntervalWallpaper->text().toInt());
        intervalEdited();
    });
    connect(tmrWallpaper, &QTimer::timeout, this, &WallpaperTab::tmrWallpaper_Timer);
}

void WallpaperTab::setWallpaperSetter(WallpaperSetter* setter) {
    m_setter = setter ? setter : m_ownSetter.get();
}

void WallpaperTab::setProgramFolder(const std::string& folder) {
    m_programFolder = folder;
    strWallpaperListFile = folder + "/" + std::string(kWallpaperListName);
}

void WallpaperTab::loadSettings(Settings& settings) {
    m_settings = &settings;
    chkShrinkWallpaper->setChecked(readFlag(settings, keys::kShrinkToFit));
    chkStretchWallpaper->setChecked(readFlag(settings, keys::kStretchToFit));
    bool ok = false;
    // Read without storing the default: a first run writes the settings it has always written.
    const int minutes = fromUtf8(readTextPlain(settings, keys::kWallpaperInterval)).trimmed().toInt(&ok);
    m_intervalMinutes = ok ? std::clamp(minutes, 0, kMaxIntervalMinutes) : 0;
    txtIntervalWallpaper->setText(QString::number(m_intervalMinutes));
    {
        QSignalBlocker block(sldWallpaper);
        sldWallpaper->setValue(m_intervalMinutes);
    }
    restartTimer();
}

void WallpaperTab::saveSettings(Settings& settings) {
    writeFlag(settings, keys::kShrinkToFit, chkShrinkWallpaper->isChecked());
    writeFlag(settings, keys::kStretchToFit, chkStretchWallpaper->isChecked());
    writeText(settings, keys::kWallpaperInterval, std::to_string(m_intervalMinutes));
}

void WallpaperTab::intervalEdited() {
    const int minutes = std::clamp(txtIntervalWallpaper->text().toInt(), 0, kMaxIntervalMinutes);
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

void WallpaperTab::tmrWallpaper_Timer() {
    // A change still under way (a message box open over it) is not stacked on.
    if (!lstWallpaper->isEnabled() || m_entries.empty())
        return;
    cmdChangeWallpaper_Click();
}

// ---- The list ----

void WallpaperTab::subLoadWallpaperList() {
    m_model->reset([this] { m_entries = PathList(); });
    m_listChanged = false;
    m_listBroken = false;
    Result<WallpaperList> loaded = loadWallpaperList(strWallpaperListFile);
    if (!loaded) {
        if (loaded.code() != ErrorCode::NotFound) {
            // Saving over a list that could not be read would lose it.
            m_listBroken = true;
            LogError("frmMain.subLoadWallpaperList", strWallpaperListFile + ": " + loaded.message());
        }
        subUpdateWallpaperCount();
        return;
    }
    if (loaded->skippedLines > 0)
        LogError("frmMain.subLoadWallpaperList",
                 strWallpaperListFile + ": " + std::to_string(loaded->skippedLines) +
                     " lines name no file (empty or holding NUL bytes) and were left out");
    m_model->reset([&] { m_entries = std::move(loaded->entries); });
    subUpdateWallpaperCount();
}

void WallpaperTab::subSaveWallpaperList() {
    if (m_listChanged && m_listBroken) {
        LogError("subSaveWallpaperList", strWallpaperListFile +
                                             ": not rewritten, because it could not be read at start-up; "
                                             "the changes of this run are not kept");
    } else if (m_listChanged) {
        Status saved = makeFoldersFor(strWallpaperListFile);
        if (saved)
            saved = saveWallpaperList(strWallpaperListFile, m_entries);
        if (saved)
            m_listChanged = false;
        else
            LogError("subSaveWallpaperList", strWallpaperListFile + ": " + saved.message());
    }
    subUpdateWallpaperCount();
}

void WallpaperTab::subUpdateWallpaperCount() {
    QPalette palette = lblWallpaperCount->palette();
    palette.setColor(QPalette::WindowText, schemeTextColour());
    lblWallpaperCount->setPalette(palette);
    lblWallpaperCount->setVisible(true);
    lblWallpaperCount->setText(fromUtf8(wallpaperCountCaption(m_entries.size())));
}

void WallpaperTab::cmdBrowseWallpaper_Click() {
    std::string lastDirectory = m_settings ? readText(*m_settings, keys::kLastDirectory) : std::string();
    const QString start = DirExists(lastDirectory) ? fromPath(lastDirectory) : QString();
    const QStringList chosen =
        m_prompter.openFiles(this, tr("Choose Wallpaper files"), start, tr("All Files (*)"));
    if (chosen.isEmpty())
        return;
    std::vector<std::string> paths;
    for (const QString& c : chosen)
        paths.push_back(toPath(QDir::cleanPath(QFileInfo(c).absoluteFilePath())));
    m_model->append([&] { addUniquePaths(m_entries, paths); });
    m_listChanged = true;
    subSaveWallpaperList();
    if (m_settings)
        writeText(*m_settings, keys::kLastDirectory, toPath(QFileInfo(chosen.front()).absolutePath()));
}

void WallpaperTab::cmdDeleteWallpaperItems_Click() {
    std::vector<std::size_t> selected;
    for (const QItemSelectionRange& range : lstWallpaper->selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom(); ++row)
            selected.push_back(static_cast<std::size_t>(row));
    if (selected.empty())
        return;
    Deletion deletion;
    m_model->reset([&] { deletion = deleteSelected(m_entries, std::move(selected)); });
    if (deletion.select) {
        lstWallpaper->selectionModel()->setCurrentIndex(m_model->index(static_cast<int>(*deletion.select)),
                                                        QItemSelectionModel::ClearAndSelect);
        lstWallpaper_Click();
    } else {
        subShowWallpaperPreview(false);
    }
    lblWallpaperDimensions->setText(tr("%1 files removed from list").arg(deletion.removed));
    lblWallpaperDimensions->adjustSize();
    lblWallpaperDimensions->setVisible(true);
    m_listChanged = true;
    subSaveWallpaperList();
}

void WallpaperTab::lstWallpaper_Click() {
    const int row = lstWallpaper->currentIndex().row();
    if (row < 0 || static_cast<std::size_t>(row) >= m_entries.size())
        return;
    WaitCursor wait;
    subUpdateThumbnail(std::string(m_entries[static_cast<std::size_t>(row)]));
}

// ---- Preview ----

void WallpaperTab::subShowWallpaperPreview(bool visible) {
    pnlWallPaperPreview->setVisible(visible);
    lblWallpaperDimensions->setVisible(visible);
}

void WallpaperTab::subUpdateThumbnail(const std::string& path) {
    pnlWallPaperPreview->hide();
    lblWallpaperDimensions->hide();
    lblWallpaperName->hide();
    m_previewPath.clear();
    const QString file = fromPath(path);
    if (!QFileInfo::exists(file))
        return;
    Result<PictureInfo> info = readPictureInfo(file);
    if (!info) {
        lblWallpaperName->setText(info.code() == ErrorCode::InvalidInput ? tr("Not a valid image file")
                                                                         : fromUtf8(info.message()));
        lblWallpaperName->adjustSize();
        lblWallpaperName->setVisible(true);
        if (info.code() != ErrorCode::InvalidInput)
            LogError("frmMain.subUpdateThumbnail", path + ": " + info.message());
        return;
    }
    const QSize natural = info->size;
    const double ratio = static_cast<double>(natural.width()) / natural.height();
    QSize preview;
    if (ratio <= 1.0) {
        const int h = lstWallpaper->height() + kPreviewExtraHeight;
        preview = QSize(std::max(1, static_cast<int>(h * ratio)), h);
    } else {
        const int w = std::max(80, width() - lstWallpaper->width() - kPreviewMargin);
        preview = QSize(w, std::max(1, static_cast<int>(w / ratio)));
    }
    // In a small window the preview shrinks to the room there is, its labels still under it.
    const QSize room(m_previewArea->width(),
                     m_previewArea->height() - kNameGap - kDimensionsGap - fontMetrics().height());
    if (!room.isEmpty() && (preview.width() > room.width() || preview.height() > room.height()))
        preview = preview.scaled(room, Qt::KeepAspectRatio).expandedTo({1, 1});
    Result<QImage> picture = loadPicture(file, preview.boundedTo(natural));
    if (!picture) {
        lblWallpaperName->setText(tr("Not a valid image file"));
        lblWallpaperName->adjustSize();
        lblWallpaperName->setVisible(true);
        return;
    }
    pnlWallPaperPreview->setGeometry(std::max(0, (m_previewArea->width() - preview.width()) / 2), 0,
                                     preview.width(), preview.height());
    imgWallpaper->setGeometry(0, 0, preview.width(), preview.height());
    imgWallpaper->setPixmap(QPixmap::fromImage(*picture));
    pnlWallPaperPreview->show();
    lblWallpaperName->move(0, preview.height() + kNameGap);
    lblWallpaperDimensions->move(0, lblWallpaperName->y() + kDimensionsGap);
    lblWallpaperName->setText(QFileInfo(file).fileName());
    lblWallpaperName->adjustSize();
    // The depth the picture is displayed in: a picture deeper than the screen shows in the
    // screen's depth.
    const int screenBits = m_screenDepth();
    const int bits = screenBits > 0 ? std::min(info->bitsPerPixel, screenBits) : info->bitsPerPixel;
    lblWallpaperDimensions->setText(fromUtf8(dimensionsCaption(natural.width(), natural.height(), bits)));
    lblWallpaperDimensions->adjustSize();
    lblWallpaperDimensions->show();
    lblWallpaperName->show();
    m_previewPath = path;
}

// ---- Applying ----

void WallpaperTab::reportFailure(const char* context, const std::string& reason) {
    LogError(context, reason);
    emit statusMessage(tr("The wallpaper was not changed"));
    // The message waits for the user, not the program: no hourglass over it.
    const bool waiting = QGuiApplication::overrideCursor() != nullptr;
    if (waiting)
        QGuiApplication::restoreOverrideCursor();
    m_prompter.message(this, tr("Error changing wallpaper") + QStringLiteral("\n\n") + fromUtf8(reason), {},
                       Prompter::Icon::Warning, Prompter::Buttons::Ok);
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
    const FitOptions options{chkShrinkWallpaper->isChecked(), chkStretchWallpaper->isChecked()};
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
        LogError(context, files.older + ": the previous wallpaper file could not be removed");
    emit statusMessage(tr("Wallpaper changed to %1").arg(QFileInfo(file).fileName()));
    return true;
}

void WallpaperTab::cmdChangeWallpaper_Click() {
    if (m_entries.empty())
        return;
    WaitCursor wait;
    lstWallpaper->setEnabled(false);
    const std::optional<std::size_t> index = pickUsableEntry(
        m_entries, m_random.next(), [](std::string_view p) { return QFileInfo(fromPath(p)).isFile(); });
    if (!index) {
        emit statusMessage(tr("None of the wallpaper files can be found; the wallpaper was not changed"));
        LogError("frmMain.cmdChangeWallpaper", "none of the files in the wallpaper list can be found");
    } else {
        const std::string path(m_entries[*index]);
        subUpdateThumbnail(path);
        applyPicture(path);
    }
    lstWallpaper->setEnabled(true);
}

void WallpaperTab::cmdSelectWallpaper_Click() {
    WaitCursor wait;
    const int row = lstWallpaper->currentIndex().row();
    if (row < 0 || static_cast<std::size_t>(row) >= m_entries.size()) {
        if (!m_entries.empty())
            m_prompter.message(this, tr("Please select some wallpaper to decorate with."),
                               tr("No wallpaper selected"), Prompter::Icon::Information,
                               Prompter::Buttons::Ok);
        return;
    }
    lstWallpaper->setEnabled(false);
    applyPicture(std::string(m_entries[static_cast<std::size_t>(row)]));
    lstWallpaper->setEnabled(true);
}

} // namespace quillmark
