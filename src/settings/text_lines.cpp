#include "settings/text_lines.h"

#include "core/value_stream.h"
#include "store/text_codec.h"

#include <QStringDecoder>

namespace numora::settings {

namespace {

QString decodeText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return store::TextCodec(store::TextEncoding::Windows1252).decode(bytes);
}

} // namespace

std::optional<QStringList> readTextLines(const QString &path)
{
    const std::optional<QByteArray> bytes = readSettingsFile(path);
    if (!bytes)
        return std::nullopt;
    QString text = decodeText(*bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (text.endsWith(u'\n'))
        text.chop(1);
    if (text.isEmpty())
        return QStringList();
    return text.split(u'\n');
}

bool writeTextLines(const QString &path, const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += line.toUtf8() + '\n';
    return writeSettingsFile(path, bytes);
}

} // namespace numora::settings
