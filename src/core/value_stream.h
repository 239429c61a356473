#pragma once
// The tagged value stream in which lists of named definitions are kept (template lists,
// user accounts, log entries, report and label lists ...). A file is a plain sequence of
// values with no signature; every number is little-endian. Tagged values start with one
// tag byte; short texts and raw fields carry no tag, so the owning item layout is the
// only framing. Texts are stored as UTF-8.
//
// Readers work on the whole file in memory. Any damage (a tag that is not expected, a
// length past the end) throws StreamError and leaves the reader at the end, so a caller
// that catches it can neither loop nor read garbage after the damage.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <functional>
#include <optional>
#include <stdexcept>

namespace numora {

class StreamError : public std::runtime_error {
public:
    explicit StreamError(const QString &message);
};

namespace tag {
constexpr quint8 EndOfList = 0;
constexpr quint8 ListBegin = 1;
constexpr quint8 Int8 = 2;
constexpr quint8 Int16 = 3;
constexpr quint8 Int32 = 4;
constexpr quint8 ShortString = 6;
constexpr quint8 LongString = 12;
} // namespace tag

// Short texts hold at most this many bytes; longer ones are cut at a character boundary.
constexpr int kShortTextMaxBytes = 255;

// The UTF-8 bytes of `text`, cut to fit a short text.
QByteArray shortTextBytes(const QString &text);

class ValueWriter {
public:
    // Tagged integer with the smallest tag that holds it.
    void writeInteger(qint32 value);
    // Tag 6 up to 255 bytes of text, else tag 12.
    void writeString(const QString &text);
    // Untagged: one length byte and at most 255 bytes.
    void writeShortText(const QString &text);
    // Untagged raw fields.
    void writeRaw(QByteArrayView bytes);
    void writeRawUInt8(quint8 value);
    void writeRawInt16(qint16 value);
    void writeRawInt32(qint32 value);
    void beginList();
    void endList();

    const QByteArray &bytes() const { return bytes_; }

private:
    QByteArray bytes_;
};

class ValueReader {
public:
    explicit ValueReader(QByteArray bytes) : bytes_(std::move(bytes)) {}

    qint32 readInteger();
    QString readString();
    QString readShortText();
    // The bytes of a short text, undecoded.
    QByteArray readShortTextBytes();
    QByteArray readRaw(qsizetype size);
    quint8 readRawUInt8();
    qint16 readRawInt16();
    qint32 readRawInt32();
    void readListBegin();
    // Whether the next byte is the end-of-list tag (not consumed).
    bool atListEnd();
    void readListEnd();

    bool atEnd() const { return position_ >= bytes_.size(); }
    qsizetype position() const { return position_; }

private:
    quint8 readTag();
    [[noreturn]] void fail(const QString &message);

    QByteArray bytes_;
    qsizetype position_ = 0;
};

// Reads a list container: the list begin tag, then items until the end-of-list tag.
// `readItem` reads one item and keeps it only once it has been read whole. Returns true
// when the list ended properly, false at the first stream error (or an item that reads
// nothing, which would otherwise loop); the items read before stay with the caller.
[[nodiscard]] bool readList(ValueReader &reader, const std::function<void(ValueReader &)> &readItem);

// Whole-file access for settings files. A missing or unreadable file gives nothing.
// Writing replaces the file only once every byte is on disk: after a failed write (false)
// or a crash the old file is still there, whole.
std::optional<QByteArray> readSettingsFile(const QString &path);
[[nodiscard]] bool writeSettingsFile(const QString &path, const QByteArray &bytes);

// A whole list file read with readList(): nothing when the file is missing (false),
// else the items before any damage, the result saying whether the list ended properly.
[[nodiscard]] bool readListFile(const QString &path, const std::function<void(ValueReader &)> &readItem);
// Writes list begin, what `writeItems` writes, list end, replacing the file as above.
[[nodiscard]] bool writeListFile(const QString &path, const std::function<void(ValueWriter &)> &writeItems);

} // namespace numora
