#include "editors/picture_files.h"

#include "editors/gif_writer.h"
#include "editors/pcx_codec.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>
#include <QStringList>

namespace numora::editors {

namespace {

constexpr int kJpegQuality = 75;

QString extensionOf(const QString &path)
{
    return QFileInfo(path).suffix().toLower();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return false;
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

bool writeWithQt(const QImage &image, const QString &path, const char *format, int quality = -1)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QImageWriter writer(&file, format);
    writer.setQuality(quality);
    return writer.write(image) && file.commit();
}

} // namespace

const QString kLoadPictureFilter = QStringLiteral(
    "All Images|*.jpg;*.gif;*.pcx;*.bmp;*.png;|BMP Images|*.bmp|GIF Images|*.gif|PCX Images|*.pcx"
    "|JPG Images|*.jpg|PNG Images|*.png|TIFF Images|*.tif;*.tiff");
const QString kSavePictureFilter = QStringLiteral(
    "BMP Images|*.bmp|GIF Images|*.gif|PCX Images|*.pcx|JPG Images|*.jpg|PNG Images|*.png");

std::optional<PictureFileType> saveTypeFor(const QString &path)
{
    const QString extension = extensionOf(path);
    if (extension == u"bmp")
        return PictureFileType::Bmp;
    if (extension == u"gif")
        return PictureFileType::Gif;
    if (extension == u"pcx")
        return PictureFileType::Pcx;
    if (extension == u"jpg")
        return PictureFileType::Jpg;
    if (extension == u"png")
        return PictureFileType::Png;
    return std::nullopt;
}

QImage loadPictureFile(const QString &path)
{
    if (extensionOf(path) == u"pcx") {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? readPcx(file.readAll()) : QImage();
    }
    // Qt's reader looks at the content as well, so a picture with a misleading
    // extension still loads.
    QImageReader reader(path);
    reader.setAutoTransform(true);
    return reader.read();
}

bool savePictureFile(const QImage &image, const QString &path)
{
    const std::optional<PictureFileType> type = saveTypeFor(path);
    if (!type || image.isNull())
        return false;
    switch (*type) {
    case PictureFileType::Bmp:
        return writeWithQt(image, path, "bmp");
    case PictureFileType::Gif:
        return writeFile(path, writeGif(image));
    case PictureFileType::Pcx:
        return writeFile(path, writePcx(image));
    case PictureFileType::Jpg:
        return writeWithQt(image.convertToFormat(QImage::Format_RGB32), path, "jpg", kJpegQuality);
    case PictureFileType::Png:
        return writeWithQt(image, path, "png");
    }
    return false;
}

QByteArray toStoredBitmap(const QImage &image)
{
    if (image.isNull())
        return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "bmp").write(image);
    return bytes;
}

QImage fromStoredBitmap(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return {};
    QImage image;
    image.loadFromData(bytes, "bmp");
    return image;
}

QString qtFileFilter(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        entries << QStringLiteral("%1 (%2)").arg(parts[i], patterns.join(u' '));
    }
    return entries.join(QStringLiteral(";;"));
}

} // namespace numora::editors
