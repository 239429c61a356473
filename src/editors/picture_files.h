#pragma once
// Picture files on disk and in the record. A file's type is chosen by its extension:
// PCX and GIF writing go through our own codecs, everything else through Qt's image
// plugins (which also read TIFF). In the record a picture is kept as a Windows bitmap
// in .bmp file layout whatever it was loaded from.

#include <QByteArray>
#include <QImage>
#include <QString>

#include <optional>

namespace numora::editors {

enum class PictureFileType { Bmp, Gif, Pcx, Jpg, Png };

// The type a picture is saved as, by the extension in any letter case; nothing for an
// extension we do not write.
std::optional<PictureFileType> saveTypeFor(const QString &path);

// Null when the file is missing, unreadable or not a picture.
QImage loadPictureFile(const QString &path);

// False (and nothing written) for an extension we do not write or when writing fails;
// the file is replaced only once the new one is complete. JPG is written in true
// colour at quality 75.
[[nodiscard]] bool savePictureFile(const QImage &image, const QString &path);

// The record's form of a picture, and back. A null picture is an empty value.
QByteArray toStoredBitmap(const QImage &image);
QImage fromStoredBitmap(const QByteArray &bytes);

// The file windows' filters, written as the program words them ("Name|*.a;*.b|..."),
// and their form for Qt's file dialogs ("Name (*.a *.b);;...").
extern const QString kLoadPictureFilter;
extern const QString kSavePictureFilter;
QString qtFileFilter(const QString &filter);

} // namespace numora::editors
