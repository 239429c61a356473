#include "mainwin/list_header_model.h"

#include "core/value_stream.h"
#include "support/temp_folder.h"

#include <QFile>
#include <gtest/gtest.h>

namespace numora::mainwin {
namespace {

using store::FieldType;

// Fields 0, 1, 3 and 5 can be columns; 2 is a memo, 4 a picture, 6 a logical field.
const QList<ListField> kFields = {
    {"Description", FieldType::Character},
    {"Country", FieldType::Character},
    {"Notes", FieldType::Memo},
    {"Year", FieldType::Numeric},
    {"Picture", FieldType::Binary},
    {"Bought", FieldType::Date},
    {"Proof", FieldType::Logical},
};

const QList<HeaderSection> kDefaultSections = {{0, "Description", 50}, {1, "Country", 100}};

QByteArray bytesOf(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (int value : values)
        bytes.append(char(value));
    return bytes;
}

// One stored section: the text as a short tagged string, the width as a tagged integer.
QByteArray storedSection(const QByteArray &text, int width)
{
    ValueWriter writer;
    writer.writeString(QString::fromUtf8(text));
    writer.writeInteger(width);
    return writer.bytes();
}

QByteArray storedList(const QByteArray &items)
{
    return bytesOf({1}) + items + bytesOf({0});
}

// A header whose sections are the given fields with the given widths, as read from a file.
ListHeaderModel headerOf(const QList<std::pair<int, int>> &fieldsAndWidths)
{
    QByteArray items;
    for (const auto &[field, width] : fieldsAndWidths)
        items += storedSection(kFields[field].label.toUtf8(), width);
    const test::TempFolder folder;
    const QString path = folder.file(kHeaderFile);
    EXPECT_TRUE(writeSettingsFile(path, storedList(items)));
    ListHeaderModel header(kFields);
    EXPECT_TRUE(header.readSections(path));
    return header;
}

QList<int> fieldsOf(const ListHeaderModel &header)
{
    QList<int> fields;
    for (const HeaderSection &section : header.sections())
        fields.append(section.field);
    return fields;
}

class ListHeaderFileTest : public ::testing::Test {
protected:
    QString headerPath() const { return folder.file(kHeaderFile); }
    void writeHeaderFile(const QByteArray &bytes)
    {
        ASSERT_TRUE(writeSettingsFile(headerPath(), bytes));
    }

    test::TempFolder folder;
};

TEST_F(ListHeaderFileTest, HeaderFileIsAListOfTextAndWidthPairs)
{
    ListHeaderModel header(kFields);
    ASSERT_EQ(header.sections(), kDefaultSections);
    ASSERT_TRUE(header.resizeSection(1, 200));
    ASSERT_TRUE(header.writeSections(headerPath()));

    const QByteArray expected = bytesOf({1, 6, 11}) + "Description" + bytesOf({2, 50, 6, 7})
                                + "Country" + bytesOf({3, 200, 0, 0});
    EXPECT_EQ(readSettingsFile(headerPath()), expected);

    ListHeaderModel reloaded(kFields);
    ASSERT_TRUE(reloaded.readSections(headerPath()));
    EXPECT_EQ(reloaded.sections(), header.sections());
}

// Widths written while the defaults follow the pane would pin the description to the
// width of the last window: a larger one at the next start would not widen it.
TEST_F(ListHeaderFileTest, DefaultSectionsStayFollowingThePaneAcrossStarts)
{
    writeHeaderFile(bytesOf({1, 6, 11}) + "Description" + bytesOf({2, 50, 0, 0}));
    ListHeaderModel header(kFields);
    header.resetToDefault();
    header.fitToPane(400);
    ASSERT_TRUE(header.saveHeaderFile(headerPath()));
    EXPECT_FALSE(QFile::exists(headerPath())) << "an older stored header is not what the user has now";

    ListHeaderModel next(kFields);
    next.loadHeaderFile(headerPath());
    EXPECT_EQ(next.shownWidths(900), (QList<int>{800, 100}));

    ASSERT_TRUE(next.resizeSection(1, 150));
    ASSERT_TRUE(next.saveHeaderFile(headerPath()));
    ListHeaderModel changed(kFields);
    changed.loadHeaderFile(headerPath());
    EXPECT_EQ(changed.shownWidths(900), (QList<int>{50, 150})) << "the user's widths are kept as they are";
}

TEST_F(ListHeaderFileTest, StoredSectionsMapToFieldsOrAreDropped)
{
    struct Case {
        const char *what;
        std::optional<QByteArray> bytes; // none: no file
        QList<HeaderSection> sections;
    };
    const QByteArray year = storedSection("Year", 80);
    const std::vector<Case> cases = {
        {"missing file", std::nullopt, kDefaultSections},
        {"empty list", storedList({}), kDefaultSections},
        {"not a list", bytesOf({6, 1, 'x'}), kDefaultSections},
        {"label in other letter case",
         storedList(storedSection("bOUGHT", 60)),
         {{5, "Bought", 60}}},
        {"unknown label", storedList(storedSection("Mint", 70) + year), {{3, "Year", 80}}},
        {"memo, picture and logical fields",
         storedList(storedSection("Notes", 70) + storedSection("Picture", 70)
                    + storedSection("Proof", 70) + year),
         {{3, "Year", 80}}},
        {"only unknown labels", storedList(storedSection("Mint", 70)), kDefaultSections},
        {"field twice", storedList(year + storedSection("year", 30)), {{3, "Year", 80}}},
        {"too narrow",
         storedList(storedSection("Year", 1) + storedSection("Country", -70)),
         {{3, "Year", 4}, {1, "Country", 4}}},
        {"cut after a section", bytesOf({1}) + year + bytesOf({6, 7}) + "Coun", {{3, "Year", 80}}},
        {"width of the wrong kind",
         bytesOf({1}) + year + bytesOf({6, 4}) + "Note" + bytesOf({6}),
         {{3, "Year", 80}}},
    };
    for (const Case &c : cases) {
        QFile::remove(headerPath());
        if (c.bytes)
            writeHeaderFile(*c.bytes);
        ListHeaderModel header(kFields);
        header.loadHeaderFile(headerPath());
        EXPECT_EQ(header.sections(), c.sections) << c.what;
    }
}

TEST_F(ListHeaderFileTest, UnusableFileLeavesTheCurrentSectionsWhenReadDirectly)
{
    writeHeaderFile(storedList(storedSection("Mint", 70)));
    ListHeaderModel header = headerOf({{3, 40}, {5, 60}});
    const QList<HeaderSection> before = header.sections();
    EXPECT_FALSE(header.readSections(headerPath()));
    EXPECT_FALSE(header.readSections(folder.file("absent.dat")));
    EXPECT_EQ(header.sections(), before);
}

TEST(ListHeaderModelTest, PopupOffersFollowTheColumns)
{
    struct Case {
        QList<std::pair<int, int>> sections;
        bool canRemove;
        QList<int> insertable;
        QList<int> removable;
    };
    const std::vector<Case> cases = {
        {{{0, 50}, {1, 100}}, true, {3, 5}, {0, 1}},
        {{{5, 50}, {0, 40}, {3, 30}}, true, {1}, {0, 3, 5}}, // field order, not section order
        {{{3, 50}}, false, {0, 1, 5}, {3}},
        {{{0, 10}, {1, 10}, {3, 10}, {5, 10}}, true, {}, {0, 1, 3, 5}},
    };
    for (const Case &c : cases) {
        const ListHeaderModel header = headerOf(c.sections);
        ASSERT_EQ(header.sections().size(), c.sections.size());
        EXPECT_EQ(header.canRemoveField(), c.canRemove) << c.sections.size();
        EXPECT_EQ(header.insertableFields(), c.insertable) << c.sections.size();
        EXPECT_EQ(header.removableFields(), c.removable) << c.sections.size();
    }
}

TEST(ListHeaderModelTest, LastButOneColumnCanBeRemovedButNotTheLast)
{
    ListHeaderModel header(kFields);
    EXPECT_TRUE(header.removeField(0));
    EXPECT_FALSE(header.canRemoveField());
    EXPECT_FALSE(header.removeField(1));
    EXPECT_FALSE(header.removeField(3)); // not a column
    EXPECT_EQ(header.sections(), (QList<HeaderSection>{{1, "Country", 100}}));
}

TEST(ListHeaderModelTest, InsertedSectionTakesTheRoomLeftOrHalfAnEarlierSection)
{
    struct Case {
        const char *what;
        QList<std::pair<int, int>> sections;
        int headerWidth;
        QList<int> widths; // after inserting field 5
    };
    const std::vector<Case> cases = {
        {"room to the right", {{0, 50}, {1, 100}}, 300, {50, 100, 150}},
        {"room just wide enough", {{0, 50}, {1, 100}}, 154, {50, 100, 4}},
        {"room too narrow", {{0, 50}, {1, 100}}, 153, {50, 50, 50}},
        {"sections past the edge", {{0, 50}, {1, 100}}, 120, {50, 50, 50}},
        {"last section too narrow to share", {{0, 51}, {1, 19}}, 70, {26, 19, 25}},
        {"no section wide enough", {{0, 19}, {1, 19}}, 38, {19, 19, 4}},
    };
    for (const Case &c : cases) {
        ListHeaderModel header = headerOf(c.sections);
        ASSERT_TRUE(header.insertField(5, c.headerWidth)) << c.what;
        EXPECT_EQ(header.widths(), c.widths) << c.what;
        EXPECT_EQ(header.sections().last(), (HeaderSection{5, "Bought", c.widths.last()}))
            << c.what;
    }
}

TEST(ListHeaderModelTest, OnlyFieldsThatCanBeColumnsAndAreNotAreInserted)
{
    for (int field : {-1, 0, 2, 4, 6, 7}) {
        ListHeaderModel header(kFields);
        EXPECT_FALSE(header.insertField(field, 500)) << field;
        EXPECT_EQ(header.sections(), kDefaultSections) << field;
    }
}

TEST(ListHeaderModelTest, DraggedSectionMovesToTheDropIndex)
{
    struct Case {
        int from;
        int to;
        bool changed;
        QList<int> fields;
    };
    const std::vector<Case> cases = {
        {0, 2, true, {1, 3, 0}},  {2, 0, true, {3, 0, 1}},   {1, 2, true, {0, 3, 1}},
        {1, 1, false, {0, 1, 3}}, {-1, 0, false, {0, 1, 3}}, {0, 3, false, {0, 1, 3}},
    };
    for (const Case &c : cases) {
        ListHeaderModel header = headerOf({{0, 10}, {1, 20}, {3, 30}});
        EXPECT_EQ(header.moveSection(c.from, c.to), c.changed) << c.from << "->" << c.to;
        EXPECT_EQ(fieldsOf(header), c.fields) << c.from << "->" << c.to;
    }
}

TEST(ListHeaderModelTest, ResizingNeverLeavesASectionNarrowerThanFourPixels)
{
    struct Case {
        int index;
        int width;
        bool changed;
        QList<int> widths;
    };
    const std::vector<Case> cases = {
        {0, 80, true, {80, 100}},  {1, 3, true, {50, 4}},     {1, -20, true, {50, 4}},
        {0, 50, false, {50, 100}}, {2, 80, false, {50, 100}}, {-1, 80, false, {50, 100}},
    };
    for (const Case &c : cases) {
        ListHeaderModel header(kFields);
        EXPECT_EQ(header.resizeSection(c.index, c.width), c.changed) << c.index << " " << c.width;
        EXPECT_EQ(header.widths(), c.widths) << c.index << " " << c.width;
    }
    ListHeaderModel header(kFields);
    header.resizeSection(1, 2);
    EXPECT_FALSE(header.resizeSection(1, 4)); // already at the minimum
}

TEST(ListHeaderModelTest, SharesFollowTheHeaderWidth)
{
    const ListHeaderModel header = headerOf({{0, 50}, {1, 100}, {3, 33}});
    EXPECT_EQ(header.shares(300), (QList<int>{17, 33, 11}));
}

TEST(ListHeaderModelTest, SectionsFitTheHeaderWidth)
{
    struct Case {
        const char *name;
        QList<int> widths;
        int headerWidth;
        int filling;
        QList<int> expected;
    };
    const Case cases[] = {
        {"stored widths that fit stay", {50, 100}, 400, -1, {50, 100}},
        {"the filling section takes the rest", {50, 100}, 400, 0, {300, 100}},
        {"a filling last section", {50, 100}, 400, 1, {50, 350}},
        {"a header narrower than the others", {50, 100}, 110, 0, {20, 90}},
        {"the last shrinks first", {200, 300}, 400, -1, {200, 200}},
        {"the last stays in sight", {390, 300}, 400, -1, {380, 20}},
        {"each later section stays in sight", {500, 100, 100}, 300, -1, {260, 20, 20}},
        {"a narrow section keeps its width", {500, 8, 100}, 300, -1, {260, 8, 32}},
        {"a header too narrow for all", {100, 100, 100}, 30, -1, {10, 10, 10}},
        {"never below the minimum", {100, 100}, 0, 0, {4, 4}},
        {"no sections", {}, 300, -1, {}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(fitSectionWidths(c.widths, c.headerWidth, c.filling), c.expected) << c.name;
}

// Without a stored header the description follows the header's width until the user
// changes a section; from then on the widths are the user's, and a narrower header only
// shows them narrower.
TEST(ListHeaderModelTest, DefaultDescriptionFollowsTheHeaderUntilChanged)
{
    ListHeaderModel header(kFields);
    EXPECT_EQ(header.shownWidths(600), (QList<int>{500, 100}));
    header.fitToPane(600);
    EXPECT_EQ(header.widths(), (QList<int>{500, 100}));
    header.fitToPane(300);
    EXPECT_EQ(header.widths(), (QList<int>{200, 100}));

    ASSERT_TRUE(header.resizeSection(1, 80));
    header.fitToPane(600);
    EXPECT_EQ(header.widths(), (QList<int>{200, 80}));
    EXPECT_EQ(header.shownWidths(150), (QList<int>{130, 20}));
    EXPECT_EQ(header.widths(), (QList<int>{200, 80}));
}

TEST(ListHeaderModelTest, NewLabelsRenameSectionsAndKeepWidths)
{
    QList<ListField> renamed = kFields;
    renamed[1].label = "Land";
    ListHeaderModel header = headerOf({{1, 70}, {3, 30}});
    header.setFields(renamed);
    EXPECT_EQ(header.sections(), (QList<HeaderSection>{{1, "Land", 70}, {3, "Year", 30}}));

    QList<ListField> fewer = kFields.mid(0, 2);
    header.setFields(fewer);
    EXPECT_EQ(header.sections(), (QList<HeaderSection>{{1, "Country", 70}}));

    QList<ListField> noColumns = {{"Notes", FieldType::Memo}, {"Picture", FieldType::Binary}};
    header.setFields(noColumns);
    EXPECT_TRUE(header.sections().isEmpty());
}

class HeaderTemplateTest : public ::testing::Test {
protected:
    HeaderTemplateTest() { templates.setSettingsFolder(folder.path()); }

    test::TempFolder folder;
    ListHeaderModel header{kFields};
    HeaderTemplateList templates{header};
};

TEST_F(HeaderTemplateTest, TemplateSavesAndRestoresTheLayout)
{
    ASSERT_TRUE(header.moveSection(0, 1));
    ASSERT_TRUE(header.insertField(3, 300));
    const QList<HeaderSection> saved = header.sections();
    ASSERT_TRUE(templates.add("Wide"));
    EXPECT_EQ(templates.item(0).fileName, "tml1.hdr");

    ListHeaderModel fromFile(kFields);
    ASSERT_TRUE(fromFile.readSections(folder.file("tml1.hdr")));
    EXPECT_EQ(fromFile.sections(), saved);

    header.resetToDefault();
    ASSERT_TRUE(templates.load("Wide"));
    EXPECT_EQ(header.sections(), saved);
}

TEST_F(HeaderTemplateTest, UnreadableTemplateLeavesTheHeader)
{
    ASSERT_TRUE(templates.add("Plain"));
    ASSERT_TRUE(writeSettingsFile(folder.file("tml1.hdr"), bytesOf({1, 6})));
    ASSERT_TRUE(header.removeField(0));
    EXPECT_FALSE(templates.load("Plain"));
    EXPECT_EQ(header.sections(), (QList<HeaderSection>{{1, "Country", 100}}));
}

} // namespace
} // namespace numora::mainwin
