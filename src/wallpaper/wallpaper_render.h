#pragma once
// Reading a wallpaper picture and rendering it at its fitted size, with Qt's image loaders.

#include "base/result.h"
#include "wallpaper/fit.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

namespace quillmark {

struct PictureInfo {
    QSize size;
    int bitsPerPixel = 0;
};

// Size and colour depth from the file's header, without decoding; an error for a folder, a missing
// or empty file, a non-picture or one too large to decode.
Result<PictureInfo> readPictureInfo(const QString& path);

// Decodes the picture; with a valid `scaledTo` at that size, which the JPEG loader does far
// faster than decoding at full size and scaling afterwards.
Result<QImage> loadPicture(const QString& path, QSize scaledTo = {});

QImage renderWallpaper(const QImage& picture, PixelSize fitted);

Result<QByteArray> encodePng(const QImage& picture);

} // namespace quillmark
