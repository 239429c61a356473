#include "store/text_codec.h"

#include <gtest/gtest.h>

namespace numora::store {
namespace {

using namespace Qt::StringLiterals;

const TextCodec utf8(TextEncoding::Utf8);
const TextCodec windows1252(TextEncoding::Windows1252);

TEST(TextCodecTest, Windows1252KeepsEveryByte)
{
    QByteArray allBytes;
    for (int byte = 0; byte < 256; ++byte)
        allBytes.append(char(byte));

    const QString text = windows1252.decode(allBytes);

    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(windows1252.encode(text), allBytes);
}

TEST(TextCodecTest, Windows1252MapsTheCharactersItDiffersInFromLatin1)
{
    EXPECT_EQ(windows1252.encode(QStringLiteral("Münze €")), QByteArray("M\xFCnze \x80"));
    EXPECT_EQ(windows1252.decode("\x80\x8A\x9F"), QStringLiteral("€ŠŸ"));
    // A character the code page lacks is one '?', even outside the 16-bit range.
    EXPECT_EQ(windows1252.encode(QStringLiteral("a\u0100b\U0001F600c")), QByteArray("a?b?c"));
}

struct CutCase {
    const char *name;
    TextEncoding encoding;
    QString text;
    int maxBytes;
    QByteArray expected;
};

class TextCodecCutTest : public testing::TestWithParam<CutCase> {};

TEST_P(TextCodecCutTest, KeepsWholeCharactersOnly)
{
    const CutCase &c = GetParam();
    EXPECT_EQ(TextCodec(c.encoding).encodeFitting(c.text, c.maxBytes), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextCodecCutTest,
    testing::Values(
        CutCase{"fits", TextEncoding::Utf8, QStringLiteral("abc"), 5, "abc"},
        CutCase{"asciiCut", TextEncoding::Utf8, QStringLiteral("abcdef"), 4, "abcd"},
        CutCase{"twoByteSplit", TextEncoding::Utf8, QStringLiteral("aé"), 2, "a"},
        CutCase{"twoByteWhole", TextEncoding::Utf8, QStringLiteral("aéb"), 3, "a\xC3\xA9"},
        CutCase{"threeByteAfterOne", TextEncoding::Utf8, QStringLiteral("€"), 1, ""},
        CutCase{"threeByteAfterTwo", TextEncoding::Utf8, QStringLiteral("a€"), 3, "a"},
        CutCase{"fourByteAfterThree", TextEncoding::Utf8, QStringLiteral("x\U0001F600"), 4, "x"},
        CutCase{"fourByteWhole", TextEncoding::Utf8, QStringLiteral("\U0001F600y"), 4,
                "\xF0\x9F\x98\x80"},
        CutCase{"zeroBytes", TextEncoding::Utf8, QStringLiteral("abc"), 0, ""},
        CutCase{"windows1252ByByte", TextEncoding::Windows1252, QStringLiteral("Münze €"), 2,
                "M\xFC"}),
    [](const testing::TestParamInfo<CutCase> &c) { return std::string(c.param.name); });

// Every cut of a text mixing 1- to 4-byte characters is whole characters, and the
// longest prefix that fits.
TEST(TextCodecTest, Utf8CutAtEveryLengthEndsOnACharacter)
{
    const QString text = QStringLiteral("aé€\U0001F600bß");
    const QByteArray encoded = utf8.encode(text);
    for (int maxBytes = 0; maxBytes <= encoded.size(); ++maxBytes) {
        SCOPED_TRACE(maxBytes);
        const QByteArray cut = utf8.encodeFitting(text, maxBytes);
        const QString decoded = utf8.decode(cut);
        EXPECT_TRUE(text.startsWith(decoded));
        EXPECT_EQ(utf8.encode(decoded), cut) << "cut inside a character";
        EXPECT_LE(cut.size(), maxBytes);
        if (cut.size() == encoded.size())
            continue;
        const int nextLength = text.at(decoded.size()).isHighSurrogate() ? 2 : 1;
        const QByteArray nextCharacter = utf8.encode(text.mid(decoded.size(), nextLength));
        EXPECT_GT(cut.size() + nextCharacter.size(), maxBytes) << "a whole character more fits";
    }
}

TEST(TextCodecTest, CutLeavesMalformedUtf8WithinTheLimit)
{
    const QByteArray strayContinuations("ab\x80\x80\x80\x80", 6);
    EXPECT_LE(utf8.cutAtBoundary(strayContinuations, 4).size(), 4);
    EXPECT_EQ(utf8.cutAtBoundary("\xFF\xFE", 1), QByteArrayView("\xFF"));
}

struct FoldCase {
    const char *name;
    QString text;
    QString expected;
};

class TextFoldTest : public testing::TestWithParam<FoldCase> {};

TEST_P(TextFoldTest, FoldsCaseAndAccentsForOrdering)
{
    const FoldCase &c = GetParam();
    EXPECT_EQ(TextCodec::foldForOrder(c.text), c.expected);
    // Folded text held in bytes folds the same, in either encoding that can hold it.
    EXPECT_EQ(utf8.decode(utf8.foldBytesForOrder(utf8.encode(c.text))), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Letters, TextFoldTest,
    testing::Values(FoldCase{"plainAscii", u"Denar 1/2"_s, u"DENAR 1/2"_s},
                    FoldCase{"lowerCase", u"morgan"_s, u"MORGAN"_s},
                    FoldCase{"acuteE", u"México Équateur"_s, u"MEXICO EQUATEUR"_s},
                    FoldCase{"alreadyDecomposed", u"Me\u0301xico"_s, u"MEXICO"_s},
                    FoldCase{"slashedO", u"Øre øre"_s, u"ORE ORE"_s},
                    FoldCase{"strokedL", u"Łódź złoty"_s, u"LODZ ZLOTY"_s},
                    FoldCase{"sharpS", u"Straße"_s, u"STRASSE"_s},
                    FoldCase{"capitalSharpS", u"\u1E9E"_s, u"SS"_s},
                    FoldCase{"ringA", u"Åland å"_s, u"ALAND A"_s},
                    FoldCase{"cedilla", u"Çà ça"_s, u"CA CA"_s},
                    FoldCase{"tilde", u"Ñandú"_s, u"NANDU"_s},
                    FoldCase{"ligatureOE", u"Œuvre œil"_s, u"OEUVRE OEIL"_s},
                    FoldCase{"ligatureAE", u"Æsir"_s, u"AESIR"_s},
                    FoldCase{"thornAndEth", u"Þór Ðað"_s, u"THOR DAD"_s},
                    FoldCase{"strokedD", u"Đồng"_s, u"DONG"_s},
                    FoldCase{"compatibilityForms", u"\uFB01ve ²"_s, u"FIVE 2"_s},
                    FoldCase{"otherScriptsOnlyUpperCased", u"рубль"_s, u"РУБЛЬ"_s}),
    [](const testing::TestParamInfo<FoldCase> &c) { return std::string(c.param.name); });

struct FoldBytesCase {
    const char *name;
    TextEncoding encoding;
    QByteArray bytes;
    QByteArray expected;
};

class TextCodecFoldBytesTest : public testing::TestWithParam<FoldBytesCase> {};

TEST_P(TextCodecFoldBytesTest, FoldsWhatTheEncodingHolds)
{
    const FoldBytesCase &c = GetParam();
    EXPECT_EQ(TextCodec(c.encoding).foldBytesForOrder(c.bytes), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextCodecFoldBytesTest,
    testing::Values(
        FoldBytesCase{"utf8BrokenBytesStay", TextEncoding::Utf8, QByteArray("a\xFF\xC3", 3),
                      QByteArray("A\xFF\xC3", 3)},
        FoldBytesCase{"windows1252Umlaut", TextEncoding::Windows1252, "m\xFCnze", "MUNZE"},
        FoldBytesCase{"windows1252Caron", TextEncoding::Windows1252, "\x9A\xFF", "SY"},
        FoldBytesCase{"windows1252SharpSGrows", TextEncoding::Windows1252, "stra\xDF" "e",
                      "STRASSE"},
        FoldBytesCase{"windows1252SlashedO", TextEncoding::Windows1252, "\xF8re", "ORE"},
        // Folded, 'µ' would be a Greek letter that Windows-1252 cannot hold.
        FoldBytesCase{"windows1252MicroStays", TextEncoding::Windows1252, "\xB5g", "\xB5G"}),
    [](const testing::TestParamInfo<FoldBytesCase> &c) { return std::string(c.param.name); });

TEST(TextCodecTest, LanguageDriverChoosesTheEncoding)
{
    EXPECT_EQ(TextCodec::encodingForLanguageDriver(0x57), TextEncoding::Windows1252);
    EXPECT_EQ(TextCodec::encodingForLanguageDriver(0x03), TextEncoding::Windows1252);
    EXPECT_EQ(TextCodec::encodingForLanguageDriver(0x00), TextEncoding::Utf8);
    for (TextEncoding encoding : {TextEncoding::Utf8, TextEncoding::Windows1252})
        EXPECT_EQ(TextCodec::encodingForLanguageDriver(TextCodec::languageDriverFor(encoding)),
                  encoding);
}

} // namespace
} // namespace numora::store
