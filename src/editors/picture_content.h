#pragma once
// What a picture field holds and the rule for writing it back: the picture, whether the
// user changed it (clear, paste, capture, scan) or loaded it from a file since it was
// read from the record, and the file it last came from or went to. Writing back touches
// the column only after such a change, so paging through records never rewrites their
// pictures, and a picture that could not be decoded is never erased by looking at it.

#include <QByteArray>
#include <QImage>
#include <QString>

namespace numora::store {
class Table;
}

namespace numora::editors {

class PictureContent {
public:
    const QImage &image() const { return image_; }
    bool isEmpty() const { return image_.isNull(); }
    bool isChanged() const { return changed_; }
    bool isLoadedFromFile() const { return loadedFromFile_; }
    // True when writing back would write something.
    bool needsStoring() const { return changed_ || loadedFromFile_; }
    const QString &fileName() const { return fileName_; }

    // Clear: an empty picture, changed, no file name.
    void clear();
    // Paste, screen capture and scan; a null image clears.
    void replace(const QImage &image);
    // A missing or unreadable file changes nothing and returns false.
    bool loadFile(const QString &path);
    // False when nothing was written (unknown extension, empty picture, write error).
    [[nodiscard]] bool saveFile(const QString &path);

    // The record's value (empty: no picture). Returns false when the value is not empty
    // but does not decode; the picture is then empty.
    bool readStored(const QByteArray &bytes);
    // The value to write back: empty for an empty picture.
    QByteArray storedValue() const;
    // After the value was written into the record.
    void markStored() { changed_ = false; }

private:
    QImage image_;
    bool changed_ = false;
    bool loadedFromFile_ = false;
    QString fileName_;
};

// Reads the picture of the table's current record from a binary column; see
// PictureContent::readStored. Database errors (a damaged memo file) propagate.
bool readPictureFromRecord(PictureContent &content, const store::Table &table, int column);

// Writes the picture into the column of the record in edit state when it needs storing;
// an emptied picture clears the column. Database errors propagate and leave the picture
// still needing storing, so a retried save writes it.
void storePictureIntoRecord(PictureContent &content, store::Table &table, int column);

// Writes the picture whatever its marks (an empty one clears the column), for copying
// the shown record into another row such as the copy buffer: there the skip above would
// leave the picture of whatever was copied before.
void copyPictureIntoRecord(const PictureContent &content, store::Table &table, int column);

} // namespace numora::editors
