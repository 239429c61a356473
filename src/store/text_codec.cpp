#include "store/text_codec.h"

#include <QList>
#include <array>

namespace numora::store {

namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; the five unassigned bytes map
// to the C1 controls of the same value so every byte round-trips.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t windows1252ToUnicode(unsigned char byte)
{
    return byte >= 0x80 && byte <= 0x9F ? kWindows1252High[byte - 0x80] : char16_t(byte);
}

char windows1252FromUnicode(char32_t codePoint)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return char(codePoint);
    for (size_t i = 0; i < kWindows1252High.size(); ++i)
        if (kWindows1252High[i] == codePoint)
            return char(0x80 + i);
    return '?';
}

// Length of the UTF-8 sequence that starts with `lead`, or 0 for a byte that cannot
// start one.
int utf8SequenceLength(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0)
        return 2;
    if ((lead & 0xF0) == 0xE0)
        return 3;
    if ((lead & 0xF8) == 0xF0)
        return 4;
    return 0;
}

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Length of a complete, well-formed sequence at `pos`, or 0.
int utf8CharacterAt(QByteArrayView bytes, qsizetype pos)
{
    const int length = utf8SequenceLength(static_cast<unsigned char>(bytes[pos]));
    if (length == 0 || pos + length > bytes.size())
        return 0;
    for (int i = 1; i < length; ++i)
        if (!isContinuation(static_cast<unsigned char>(bytes[pos + i])))
            return 0;
    return length;
}

// Letters Unicode gives no decomposition, spelt as the letters they are filed under.
// Upper case only: folding upper-cases first.
const char16_t *spellingOfLetter(char16_t letter)
{
    switch (letter) {
    case u'\u00C6': return u"AE"; // Æ
    case u'\u00D0': return u"D";  // Ð
    case u'\u00D8': return u"O";  // Ø
    case u'\u00DE': return u"TH"; // Þ
    case u'\u0110': return u"D";  // Đ
    case u'\u0126': return u"H";  // Ħ
    case u'\u0141': return u"L";  // Ł
    case u'\u0152': return u"OE"; // Œ
    case u'\u0166': return u"T";  // Ŧ
    case u'\u1E9E': return u"SS"; // capital sharp s
    default: return nullptr;
    }
}

// Folds one encoded character; a character whose folded form the encoding cannot hold
// (a Windows-1252 'µ' folds to a Greek letter) is only upper-cased where that keeps it
// one character, as before folding existed, so it never turns into '?'.
QByteArray foldCharacter(const TextCodec &codec, QByteArrayView character)
{
    const QString original = codec.decode(character);
    const QString folded = TextCodec::foldForOrder(original);
    const QByteArray encoded = codec.encode(folded);
    if (codec.decode(encoded) == folded)
        return encoded;
    const QString upper = original.toUpper();
    const QByteArray encodedUpper = codec.encode(upper);
    if (upper.size() != original.size() || codec.decode(encodedUpper) != upper)
        return character.toByteArray();
    return encodedUpper;
}

} // namespace

QByteArray TextCodec::encode(const QString &text) const
{
    if (encoding_ == TextEncoding::Utf8)
        return text.toUtf8();
    QByteArray out;
    out.reserve(text.size());
    // By code point, so a character outside the BMP becomes one '?', not two.
    for (char32_t codePoint : QStringView(text).toUcs4())
        out.append(windows1252FromUnicode(codePoint));
    return out;
}

QString TextCodec::decode(QByteArrayView bytes) const
{
    if (encoding_ == TextEncoding::Utf8)
        return QString::fromUtf8(bytes);
    QString out;
    out.reserve(bytes.size());
    for (char b : bytes)
        out.append(QChar(windows1252ToUnicode(static_cast<unsigned char>(b))));
    return out;
}

QByteArrayView TextCodec::cutAtBoundary(QByteArrayView bytes, int maxBytes) const
{
    if (maxBytes <= 0)
        return {};
    if (bytes.size() <= maxBytes || encoding_ == TextEncoding::Windows1252)
        return bytes.first(std::min<qsizetype>(bytes.size(), maxBytes));
    qsizetype end = maxBytes;
    // Step back over continuation bytes to the lead byte of the cut character; keep it
    // only when its whole sequence fits.
    qsizetype lead = end;
    while (lead > 0 && isContinuation(static_cast<unsigned char>(bytes[lead])))
        --lead;
    const int length = utf8SequenceLength(static_cast<unsigned char>(bytes[lead]));
    if (length > 0 && lead + length > end)
        end = lead;
    return bytes.first(end);
}

QByteArray TextCodec::encodeFitting(const QString &text, int maxBytes) const
{
    const QByteArray encoded = encode(text);
    return cutAtBoundary(encoded, maxBytes).toByteArray();
}

QString TextCodec::foldForOrder(QStringView text)
{
    const QString decomposed = text.toString().normalized(QString::NormalizationForm_KD);
    QString bare;
    bare.reserve(decomposed.size());
    for (QChar c : decomposed)
        if (!c.isMark())
            bare.append(c);
    const QString upper = bare.toUpper(); // ß becomes SS here
    QString folded;
    folded.reserve(upper.size());
    for (QChar c : upper) {
        if (const char16_t *spelling = spellingOfLetter(c.unicode()))
            folded.append(QStringView(spelling));
        else
            folded.append(c);
    }
    return folded;
}

QByteArray TextCodec::foldBytesForOrder(QByteArrayView bytes) const
{
    QByteArray out;
    out.reserve(bytes.size());
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        const auto byte = static_cast<unsigned char>(bytes[pos]);
        if (byte < 0x80) {
            out.append(byte >= 'a' && byte <= 'z' ? char(byte - 32) : char(byte));
            ++pos;
            continue;
        }
        const int length = encoding_ == TextEncoding::Utf8 ? utf8CharacterAt(bytes, pos) : 1;
        if (length == 0) {
            out.append(char(byte));
            ++pos;
            continue;
        }
        out.append(foldCharacter(*this, bytes.sliced(pos, length)));
        pos += length;
    }
    return out;
}

TextEncoding TextCodec::encodingForLanguageDriver(quint8 languageDriverId)
{
    switch (languageDriverId) {
    case 0x03: // Windows ANSI code page 1252
    case 0x57: // ANSI (Borland DBWINUS0)
    case 0x58: // Western European ANSI
    case 0x59: // Spanish ANSI
        return TextEncoding::Windows1252;
    default:
        return TextEncoding::Utf8;
    }
}

quint8 TextCodec::languageDriverFor(TextEncoding encoding)
{
    // There is no dBASE driver id for UTF-8; 0 says "none" and other tools fall back
    // to their default, while 0x57 keeps old catalogues' Windows text readable.
    return encoding == TextEncoding::Windows1252 ? 0x57 : 0x00;
}

} // namespace numora::store
