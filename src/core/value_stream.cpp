#include "core/value_stream.h"

#include "store/text_codec.h"

#include <QFile>
#include <QSaveFile>
#include <QtEndian>

namespace numora {

StreamError::StreamError(const QString &message) : std::runtime_error(message.toStdString()) {}

QByteArray shortTextBytes(const QString &text)
{
    return store::TextCodec(store::TextEncoding::Utf8).encodeFitting(text, kShortTextMaxBytes);
}

// ValueWriter

void ValueWriter::writeInteger(qint32 value)
{
    if (value >= -128 && value <= 127) {
        writeRawUInt8(tag::Int8);
        writeRawUInt8(quint8(qint8(value)));
    } else if (value >= -32768 && value <= 32767) {
        writeRawUInt8(tag::Int16);
        writeRawInt16(qint16(value));
    } else {
        writeRawUInt8(tag::Int32);
        writeRawInt32(value);
    }
}

void ValueWriter::writeString(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    if (utf8.size() <= kShortTextMaxBytes) {
        writeRawUInt8(tag::ShortString);
        writeRawUInt8(quint8(utf8.size()));
    } else {
        writeRawUInt8(tag::LongString);
        writeRawInt32(qint32(utf8.size()));
    }
    writeRaw(utf8);
}

void ValueWriter::writeShortText(const QString &text)
{
    const QByteArray bytes = shortTextBytes(text);
    writeRawUInt8(quint8(bytes.size()));
    writeRaw(bytes);
}

void ValueWriter::writeRaw(QByteArrayView bytes) { bytes_.append(bytes); }

void ValueWriter::writeRawUInt8(quint8 value) { bytes_.append(char(value)); }

void ValueWriter::writeRawInt16(qint16 value)
{
    char buffer[2];
    qToLittleEndian(value, buffer);
    writeRaw(QByteArrayView(buffer, 2));
}

void ValueWriter::writeRawInt32(qint32 value)
{
    char buffer[4];
    qToLittleEndian(value, buffer);
    writeRaw(QByteArrayView(buffer, 4));
}

void ValueWriter::beginList() { writeRawUInt8(tag::ListBegin); }

void ValueWriter::endList() { writeRawUInt8(tag::EndOfList); }

// ValueReader

void ValueReader::fail(const QString &message)
{
    position_ = bytes_.size();
    throw StreamError(message);
}

QByteArray ValueReader::readRaw(qsizetype size)
{
    if (size < 0 || size > bytes_.size() - position_)
        fail(QStringLiteral("The settings file ends in the middle of a value."));
    const QByteArray result = bytes_.mid(position_, size);
    position_ += size;
    return result;
}

quint8 ValueReader::readRawUInt8() { return quint8(readRaw(1).at(0)); }

qint16 ValueReader::readRawInt16() { return qFromLittleEndian<qint16>(readRaw(2).constData()); }

qint32 ValueReader::readRawInt32() { return qFromLittleEndian<qint32>(readRaw(4).constData()); }

quint8 ValueReader::readTag() { return readRawUInt8(); }

qint32 ValueReader::readInteger()
{
    switch (readTag()) {
    case tag::Int8:
        return qint8(readRawUInt8());
    case tag::Int16:
        return readRawInt16();
    case tag::Int32:
        return readRawInt32();
    default:
        fail(QStringLiteral("The settings file holds another value where a number belongs."));
    }
}

QString ValueReader::readString()
{
    switch (readTag()) {
    case tag::ShortString:
        return QString::fromUtf8(readRaw(readRawUInt8()));
    case tag::LongString:
        // Read as unsigned so a damaged length can only fail, never go negative.
        return QString::fromUtf8(readRaw(qsizetype(quint32(readRawInt32()))));
    default:
        fail(QStringLiteral("The settings file holds another value where a text belongs."));
    }
}

QByteArray ValueReader::readShortTextBytes() { return readRaw(readRawUInt8()); }

QString ValueReader::readShortText() { return QString::fromUtf8(readShortTextBytes()); }

void ValueReader::readListBegin()
{
    if (readTag() != tag::ListBegin)
        fail(QStringLiteral("The settings file does not start a list where one belongs."));
}

bool ValueReader::atListEnd()
{
    if (atEnd())
        fail(QStringLiteral("The settings file ends inside a list."));
    return quint8(bytes_.at(position_)) == tag::EndOfList;
}

void ValueReader::readListEnd()
{
    if (readTag() != tag::EndOfList)
        fail(QStringLiteral("The settings file does not end a list where one ends."));
}

bool readList(ValueReader &reader, const std::function<void(ValueReader &)> &readItem)
{
    try {
        reader.readListBegin();
        while (!reader.atListEnd()) {
            const qsizetype before = reader.position();
            readItem(reader);
            if (reader.position() == before)
                return false;
        }
        reader.readListEnd();
        return true;
    } catch (const StreamError &) {
        return false;
    }
}

std::optional<QByteArray> readSettingsFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

bool writeSettingsFile(const QString &path, const QByteArray &bytes)
{
    // QSaveFile writes a temporary file beside the target, flushes it to disk and renames
    // it over the target only in commit(), so a reader sees the old file or the new one,
    // never a part. Writing in place where no temporary file can be made (a folder that
    // lets us change files but not add them) would break that, so such a folder fails.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // commit() (Qt 6.4) misses a failure to flush its write buffer, a full disk say, and
    // would rename the cut-off file over the target; so the buffer is flushed here first.
    if (file.write(bytes) != bytes.size() || !file.flush())
        return false;
    return file.commit();
}

bool readListFile(const QString &path, const std::function<void(ValueReader &)> &readItem)
{
    const std::optional<QByteArray> bytes = readSettingsFile(path);
    if (!bytes)
        return false;
    ValueReader reader(*bytes);
    return readList(reader, readItem);
}

bool writeListFile(const QString &path, const std::function<void(ValueWriter &)> &writeItems)
{
    ValueWriter writer;
    writer.beginList();
    writeItems(writer);
    writer.endList();
    return writeSettingsFile(path, writer.bytes());
}

} // namespace numora
