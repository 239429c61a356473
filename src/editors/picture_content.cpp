#include "editors/picture_content.h"

#include "editors/picture_files.h"
#include "store/table.h"

#include <QFileInfo>

namespace numora::editors {

void PictureContent::clear()
{
    replace({});
    fileName_.clear();
}

void PictureContent::replace(const QImage &image)
{
    image_ = image;
    changed_ = true;
}

bool PictureContent::loadFile(const QString &path)
{
    QImage image = loadPictureFile(path);
    if (image.isNull())
        return false;
    image_ = std::move(image);
    loadedFromFile_ = true;
    changed_ = false;
    fileName_ = path;
    return true;
}

bool PictureContent::saveFile(const QString &path)
{
    if (!savePictureFile(image_, path))
        return false;
    if (QFileInfo::exists(path))
        fileName_ = path;
    return true;
}

bool PictureContent::readStored(const QByteArray &bytes)
{
    image_ = fromStoredBitmap(bytes);
    changed_ = false;
    loadedFromFile_ = false;
    return bytes.isEmpty() || !image_.isNull();
}

QByteArray PictureContent::storedValue() const
{
    return toStoredBitmap(image_);
}

bool readPictureFromRecord(PictureContent &content, const store::Table &table, int column)
{
    return content.readStored(table.bytes(column));
}

void storePictureIntoRecord(PictureContent &content, store::Table &table, int column)
{
    if (!content.needsStoring())
        return;
    copyPictureIntoRecord(content, table, column);
    content.markStored();
}

void copyPictureIntoRecord(const PictureContent &content, store::Table &table, int column)
{
    if (content.isEmpty())
        table.clear(column);
    else
        table.setBytes(column, content.storedValue());
}

} // namespace numora::editors
