#pragma once
// Text inside a data file is bytes in the table's encoding: UTF-8 for tables this
// program creates, Windows-1252 for tables whose header names a Windows ANSI language
// driver. Column widths count bytes, so encoding cuts at a character boundary.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace numora::store {

enum class TextEncoding { Utf8, Windows1252 };

class TextCodec {
public:
    explicit TextCodec(TextEncoding encoding = TextEncoding::Utf8) : encoding_(encoding) {}

    TextEncoding encoding() const { return encoding_; }
    QByteArray encode(const QString &text) const;
    QString decode(QByteArrayView bytes) const;
    // Encodes and keeps at most maxBytes, never splitting a character.
    QByteArray encodeFitting(const QString &text, int maxBytes) const;
    // Folds text for ordering, so that "México", "MEXICO" and "mexico" sort together
    // and under M: compatibility decomposition, combining marks dropped, upper case,
    // and the letters Unicode does not decompose spelt out (Ø as O, Ł as L, Æ as AE,
    // Œ as OE, Þ as TH, Đ and Ð as D; ß becomes SS through upper case). The result may
    // be shorter or longer than the text.
    static QString foldForOrder(QStringView text);
    // The same over the text held in bytes. Bytes that do not decode stay as they are;
    // a character whose folded form this encoding cannot hold is only upper-cased.
    QByteArray foldBytesForOrder(QByteArrayView bytes) const;
    // The longest prefix of bytes of at most maxBytes that ends on a character boundary.
    QByteArrayView cutAtBoundary(QByteArrayView bytes, int maxBytes) const;

    static TextEncoding encodingForLanguageDriver(quint8 languageDriverId);
    static quint8 languageDriverFor(TextEncoding encoding);

private:
    TextEncoding encoding_;
};

} // namespace numora::store
