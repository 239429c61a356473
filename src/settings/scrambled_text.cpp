#include "settings/scrambled_text.h"

namespace numora::settings {

QByteArray scrambled(QByteArrayView bytes, const ScrambleKey &key)
{
    QByteArray result(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        result[i] = char(quint8(bytes[i]) ^ key[size_t(i) % key.size()]);
    return result;
}

void writeScrambledText(ValueWriter &writer, const QString &text, const ScrambleKey &key)
{
    const QByteArray bytes = shortTextBytes(text);
    writer.writeRawUInt8(quint8(bytes.size()));
    writer.writeRaw(scrambled(bytes, key));
}

QString readScrambledText(ValueReader &reader, const ScrambleKey &key)
{
    return QString::fromUtf8(scrambled(reader.readShortTextBytes(), key));
}

} // namespace numora::settings
