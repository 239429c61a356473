#include "settings/colour_scheme.h"

#include "core/value_stream.h"
#include "support/temp_folder.h"

#include <QFile>
#include <gtest/gtest.h>

namespace numora::settings {
namespace {

using E = SchemeElement;

QByteArray fileBytes(const QString &path)
{
    return readSettingsFile(path).value_or("missing");
}

QByteArray bytesOf(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (int value : values)
        bytes.append(char(value));
    return bytes;
}

const QByteArray kDefaultSchemeBytes = bytesOf(
    {6, 1, 0, 14, 6, 1, 14, 1, 0, 14, 6, 1, 1, 1, 1, 15, 0, 15, 0, 12, 1, 6, 5, 0, 1, 1, 1});

SchemeIndexes allIndexes(quint8 index)
{
    SchemeIndexes indexes;
    indexes.fill(index);
    return indexes;
}

TEST(ColourSchemeTest, DefaultSchemeShowsTheDocumentedColours)
{
    struct Case {
        SchemeElement element;
        QColor colour;
    };
    const std::vector<Case> cases = {
        {E::RecordButtonText, QColor(0x00, 0x00, 0xFF)},         // blue
        {E::RecordButtonBackground, QColor(0xC0, 0xC0, 0xC0)},   // silver
        {E::SelectedRecordButtonText, QColor(0xFF, 0xFF, 0xFF)}, // white
        {E::SelectedRecordButtonBackground, QColor(0x80, 0x80, 0x80)},
        {E::TextFieldText, QColor(0x00, 0x00, 0x00)},        // black
        {E::FormLabelsText, QColor(0x00, 0x00, 0x80)},       // navy
        {E::NegativeCurrencyText, QColor(0xFF, 0x00, 0x00)}, // red
        {E::FormWindowBackground, QColor(0xC0, 0xC0, 0xC0)},
    };
    const ColourScheme scheme;
    for (const Case &c : cases)
        EXPECT_EQ(scheme.colour(c.element).toQColor(QPalette()), c.colour)
            << elementCaption(c.element).toStdString();
}

TEST(ColourSchemeTest, PaletteValuesAreStoredBlueGreenRed)
{
    struct Case {
        int index;
        quint32 bgr;
        QColor colour;
    };
    const std::vector<Case> cases = {
        {3, 0x00FFFF, QColor(0xFF, 0xFF, 0x00)},  // yellow
        {8, 0x000080, QColor(0x80, 0x00, 0x00)},  // maroon
        {11, 0x808000, QColor(0x00, 0x80, 0x80)}, // teal
    };
    for (const Case &c : cases) {
        EXPECT_EQ(paletteColour(c.index).bgr(), c.bgr) << c.index;
        EXPECT_EQ(qColorFromBgr(c.bgr), c.colour) << c.index;
    }
}

TEST(ColourSchemeTest, ElementCaptionsKeepTheirAlignmentSpaces)
{
    EXPECT_EQ(elementCaption(E::RecordButtonText), "TofC - Record Button Text");
    EXPECT_EQ(elementCaption(E::CurrencyBackground), "DW   - Currency Background");
}

TEST(ColourSchemeTest, SystemColoursComeFromTheControlsPalette)
{
    QPalette palette;
    palette.setColor(QPalette::Active, QPalette::Base, Qt::cyan);
    palette.setColor(QPalette::Disabled, QPalette::Text, Qt::darkGray);
    EXPECT_EQ(Colour::system(SystemColour::Window).toQColor(palette), QColor(Qt::cyan));
    EXPECT_EQ(Colour::system(SystemColour::GrayText).toQColor(palette), QColor(Qt::darkGray));
    // A system colour never passes for the plain colour of the same number.
    EXPECT_NE(Colour::system(SystemColour::Window), Colour::fromBgr(5));
}

TEST(ColourSchemeTest, OutOfPaletteIndexesAreRefused)
{
    ColourScheme scheme;
    EXPECT_THROW(scheme.setIndex(E::ListPages, 16), std::out_of_range);
    EXPECT_THROW(scheme.setIndexes(allIndexes(200)), std::out_of_range);
    EXPECT_EQ(scheme.indexes(), ColourScheme::defaultIndexes());
}

class ColourFileTest : public ::testing::Test {
protected:
    QString schemePath() const { return folder.file(kColourSchemeFile); }
    QString templatesPath() const { return folder.file(kColourTemplatesFile); }
    void writeFile(const QString &path, const QByteArray &bytes)
    {
        ASSERT_TRUE(writeSettingsFile(path, bytes));
    }

    test::TempFolder folder;
};

TEST_F(ColourFileTest, SchemeFileIsTheIndexesOneByteEachInElementOrder)
{
    ColourScheme scheme;
    ASSERT_TRUE(scheme.save(schemePath()));
    EXPECT_EQ(fileBytes(schemePath()), kDefaultSchemeBytes);

    scheme.setIndex(E::FormWindowBackground, 15);
    scheme.setIndex(E::RecordButtonText, 0);
    ASSERT_TRUE(scheme.save(schemePath()));
    QByteArray expected = kDefaultSchemeBytes;
    expected[26] = 15;
    expected[0] = 0;
    EXPECT_EQ(fileBytes(schemePath()), expected);

    ColourScheme reloaded;
    ASSERT_TRUE(reloaded.load(schemePath()));
    EXPECT_EQ(reloaded, scheme);
}

TEST_F(ColourFileTest, UnusableSchemeFileKeepsTheCurrentScheme)
{
    struct Case {
        const char *what;
        std::optional<QByteArray> bytes; // none: no file
    };
    const std::vector<Case> cases = {
        {"missing", std::nullopt},
        {"empty", QByteArray()},
        {"one byte short", QByteArray(26, 3)},
        {"index past the palette", QByteArray(26, 3) + char(16)},
        {"negative index", QByteArray(26, 3) + char(-1)},
    };
    for (const Case &c : cases) {
        QFile::remove(schemePath());
        if (c.bytes)
            writeFile(schemePath(), *c.bytes);
        ColourScheme scheme;
        scheme.setIndexes(allIndexes(9));
        EXPECT_FALSE(scheme.load(schemePath())) << c.what;
        EXPECT_EQ(scheme.indexes(), allIndexes(9)) << c.what;
    }
}

TEST_F(ColourFileTest, BytesAfterTheSchemeAreIgnored)
{
    writeFile(schemePath(), QByteArray(27, 4) + QByteArray(5, 99));
    ColourScheme scheme;
    ASSERT_TRUE(scheme.load(schemePath()));
    EXPECT_EQ(scheme.indexes(), allIndexes(4));
}

TEST(ColourApplicationTest, LetterTabsUseTheColoursOfTheirState)
{
    struct Case {
        LetterTabState state;
        SchemeElement text;
        SchemeElement background;
    };
    const std::vector<Case> cases = {
        {LetterTabState::Selected, E::SelectedLetterTabText, E::SelectedLetterTabBackground},
        {LetterTabState::HasRecords, E::LetterTabText, E::LetterTabBackground},
        {LetterTabState::Empty, E::EmptyLetterTabText, E::EmptyLetterTabBackground},
    };
    // Every element its own colour, so a mix-up shows.
    ColourScheme scheme;
    SchemeIndexes distinct{};
    for (int i = 0; i < kSchemeElementCount; ++i)
        distinct[size_t(i)] = quint8(i % kPaletteSize);
    for (const Case &c : cases) {
        scheme.setIndexes(distinct);
        scheme.setIndex(c.text, 2);
        scheme.setIndex(c.background, 3);
        EXPECT_EQ(letterTabColours(scheme, c.state),
                  (ColourPair{paletteColour(2), paletteColour(3)}))
            << int(c.state);
    }
}

TEST(ColourApplicationTest, FieldsUseTheirElementsOrTheSystemsWhenNotEditable)
{
    struct Case {
        FieldStyle style;
        bool negative;
        bool editable;
        ColourPair expected;
    };
    const Colour grey = Colour::system(SystemColour::GrayText);
    const Colour window = Colour::system(SystemColour::Window);
    // One-line text 1, background 2; multi-line 3, 4; currency 5, 6 and its own
    // background 7, which fields do not use.
    ColourScheme scheme;
    scheme.setIndex(E::TextFieldText, 1);
    scheme.setIndex(E::TextFieldBackground, 2);
    scheme.setIndex(E::MultiLineFieldText, 3);
    scheme.setIndex(E::MultiLineFieldBackground, 4);
    scheme.setIndex(E::PositiveCurrencyText, 5);
    scheme.setIndex(E::NegativeCurrencyText, 6);
    scheme.setIndex(E::CurrencyBackground, 7);
    const std::vector<Case> cases = {
        {FieldStyle::OneLine, false, true, {paletteColour(1), paletteColour(2)}},
        {FieldStyle::MultiLine, false, true, {paletteColour(3), paletteColour(4)}},
        {FieldStyle::Currency, false, true, {paletteColour(5), paletteColour(2)}},
        {FieldStyle::Currency, true, true, {paletteColour(6), paletteColour(2)}},
        {FieldStyle::OneLine, false, false, {grey, window}},
        {FieldStyle::MultiLine, false, false, {grey, window}},
        {FieldStyle::Currency, true, false, {grey, window}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(fieldColours(scheme, c.style, c.negative, c.editable), c.expected)
            << int(c.style) << c.negative << c.editable;
}

TEST_F(ColourFileTest, TemplateFileHoldsNameAndRawIndexesPerTemplate)
{
    ColourTemplateList list;
    ASSERT_TRUE(list.add("Dark", allIndexes(15)));
    ASSERT_TRUE(list.add("dark", ColourScheme::defaultIndexes())); // case counts
    ASSERT_TRUE(list.save(templatesPath()));

    const QByteArray expected = bytesOf({1, 4}) + "Dark" + QByteArray(27, 15) + bytesOf({4})
                                + "dark" + kDefaultSchemeBytes + bytesOf({0});
    EXPECT_EQ(fileBytes(templatesPath()), expected);

    ColourTemplateList reloaded;
    reloaded.load(templatesPath());
    ASSERT_EQ(reloaded.count(), 2);
    EXPECT_EQ(reloaded.item(0), (ColourTemplate{"Dark", allIndexes(15)}));
    EXPECT_EQ(reloaded.item(1), (ColourTemplate{"dark", ColourScheme::defaultIndexes()}));
}

TEST_F(ColourFileTest, TakenTemplateNameIsRefused)
{
    ColourTemplateList list;
    ASSERT_TRUE(list.add("Mine", allIndexes(1)));
    EXPECT_FALSE(list.add("Mine", allIndexes(2)));
    ASSERT_EQ(list.count(), 1);
    EXPECT_EQ(list.item(0).indexes, allIndexes(1));
    EXPECT_EQ(list.find("Mine"), 0);
    EXPECT_EQ(list.find("mine"), -1);
}

TEST_F(ColourFileTest, OverlongTemplateNameComparesAsStored)
{
    const QString longName(300, u'x');
    ColourTemplateList list;
    ASSERT_TRUE(list.add(longName, allIndexes(1)));
    ASSERT_TRUE(list.save(templatesPath()));
    ColourTemplateList reloaded;
    reloaded.load(templatesPath());
    ASSERT_EQ(reloaded.count(), 1);
    EXPECT_EQ(reloaded.item(0).name, list.item(0).name);
    EXPECT_EQ(reloaded.item(0).name.size(), kShortTextMaxBytes);
    EXPECT_FALSE(reloaded.add(longName, allIndexes(2)));
}

TEST_F(ColourFileTest, DamagedTemplateFileKeepsTheTemplatesBeforeTheDamage)
{
    const QByteArray first = bytesOf({3}) + "One" + QByteArray(27, 1);
    struct Case {
        const char *what;
        QByteArray bytes;
        int kept;
    };
    const std::vector<Case> cases = {
        {"no list begin", bytesOf({0}), 0},
        {"cut inside the second", bytesOf({1}) + first + bytesOf({3}) + "Two" + QByteArray(10, 1),
         1},
        {"index past the palette", bytesOf({1}) + first + bytesOf({3}) + "Two" + QByteArray(27, 16),
         1},
        {"no end of list", bytesOf({1}) + first, 1},
        {"name longer than the file", bytesOf({1, 200}) + "x", 0},
    };
    for (const Case &c : cases) {
        writeFile(templatesPath(), c.bytes);
        ColourTemplateList list;
        list.load(templatesPath());
        ASSERT_EQ(list.count(), c.kept) << c.what;
        if (c.kept > 0) {
            EXPECT_EQ(list.item(0), (ColourTemplate{"One", allIndexes(1)})) << c.what;
        }
    }
}

TEST_F(ColourFileTest, RemovingOutsideTheListDoesNothing)
{
    ColourTemplateList list;
    ASSERT_TRUE(list.add("A", allIndexes(1)));
    ASSERT_TRUE(list.add("B", allIndexes(2)));
    for (int index : {-1, 2, 99})
        list.remove(index);
    ASSERT_EQ(list.count(), 2);
    list.remove(0);
    ASSERT_EQ(list.count(), 1);
    EXPECT_EQ(list.item(0).name, "B");
}

TEST(ColourApplicationTest, TextOnAFilledFaceIsKeptOnlyWhileItCanBeRead)
{
    struct Case {
        QColor text;
        QColor face;
        QColor painted;
    };
    const QColor gray(0x80, 0x80, 0x80);
    const QColor navy(0, 0, 0x80);
    const std::vector<Case> cases = {
        {Qt::white, navy, Qt::white},     // 14.9:1
        {Qt::blue, Qt::white, Qt::blue},  // 8.6:1
        {Qt::white, gray, Qt::black},     // 3.9:1; black reaches 5.3:1
        {gray, Qt::black, gray},          // 5.3:1
        {navy, Qt::black, Qt::white},     // 1.4:1
        {Qt::yellow, Qt::white, Qt::black},
    };
    for (const Case &c : cases)
        EXPECT_EQ(readableTextOn(c.text, c.face), c.painted) << c.text.name().toStdString() << " on "
                                                            << c.face.name().toStdString();
    EXPECT_NEAR(contrastRatio(Qt::black, Qt::white), 21.0, 1e-9);
    EXPECT_NEAR(contrastRatio(gray, gray), 1.0, 1e-9);
}

} // namespace
} // namespace numora::settings
