#include "settings/template_list.h"

#include "core/value_stream.h"
#include "support/temp_folder.h"

#include <QFile>
#include <gtest/gtest.h>

namespace numora::settings {
namespace {

// Stands for a filter or a header: its "current settings" are one text, kept in the
// settings file as is.
class FakeKind : public TemplateKind {
public:
    struct State {
        QString extension = ".flt";
        QString current;
        bool saveFails = false;
    };
    explicit FakeKind(State &state) : state_(state) {}

    QString extension() const override { return state_.extension; }
    bool save(const QString &path) override
    {
        if (state_.saveFails)
            return false;
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(state_.current.toUtf8()) >= 0;
    }
    bool load(const QString &path) override
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        state_.current = QString::fromUtf8(file.readAll());
        return true;
    }

private:
    State &state_;
};

void writeListFile(const QString &path, const std::vector<SettingsTemplate> &items)
{
    ValueWriter writer;
    writer.beginList();
    for (const SettingsTemplate &item : items) {
        writer.writeString(item.name);
        writer.writeString(item.fileName);
    }
    writer.endList();
    ASSERT_TRUE(writeSettingsFile(path, writer.bytes()));
}

QByteArray itemBytes(const QString &name, const QString &fileName)
{
    ValueWriter writer;
    writer.writeString(name);
    writer.writeString(fileName);
    return writer.bytes();
}

std::vector<SettingsTemplate> itemsOf(const SettingsTemplateList &list)
{
    std::vector<SettingsTemplate> items;
    for (int i = 0; i < list.count(); ++i)
        items.push_back(list.item(i));
    return items;
}

class TemplateListTest : public ::testing::Test {
protected:
    TemplateListTest() : list(std::make_unique<FakeKind>(kind))
    {
        list.setSettingsFolder(folder.path());
    }

    void useFiles(const QStringList &fileNames)
    {
        std::vector<SettingsTemplate> items;
        for (const QString &fileName : fileNames)
            items.push_back({"name of " + fileName, fileName});
        writeListFile(folder.file("filters.tml"), items);
        list.loadList(folder.file("filters.tml"));
    }

    QString readSettingsText(const QString &fileName) const
    {
        QFile file(folder.file(fileName));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : "<missing>";
    }

    test::TempFolder folder;
    FakeKind::State kind;
    SettingsTemplateList list;
};

TEST_F(TemplateListTest, FreeFileNameIsTheFirstNumberNoItemUses)
{
    struct Case {
        QString extension;
        QStringList used;
        QString expected;
    };
    const std::vector<Case> cases = {
        {".flt", {}, "tml1.flt"},
        {".flt", {"tml1.flt", "tml2.flt"}, "tml3.flt"},
        {".flt", {"tml2.flt", "tml3.flt"}, "tml1.flt"},
        // Exact comparison: a differently cased name does not take the number.
        {".flt", {"TML1.FLT"}, "tml1.flt"},
        {".headers", {}, "tml1.headers"},
        {".headerss", {}, "tml1.headers"},
        {".headerss", {"tml1.headers"}, "tml2.headers"},
    };
    for (const Case &c : cases) {
        kind.extension = c.extension;
        useFiles(c.used);
        EXPECT_EQ(list.freeFileName(), c.expected) << c.used.join(",").toStdString();
    }
}

TEST_F(TemplateListTest, NoFreeNameOnceAllNumbersAreUsed)
{
    QStringList used;
    for (int n = 1; n <= 32000; ++n)
        used << QStringLiteral("tml%1.flt").arg(n);
    useFiles(used);
    EXPECT_EQ(list.freeFileName(), std::nullopt);
    EXPECT_FALSE(list.add("one more"));
    EXPECT_EQ(list.count(), 32000);
}

TEST_F(TemplateListTest, AddSavesTheCurrentSettingsUnderAFreeName)
{
    kind.current = "country = 'Peru'";
    ASSERT_TRUE(list.add("Peru"));
    EXPECT_EQ(itemsOf(list), (std::vector<SettingsTemplate>{{"Peru", "tml1.flt"}}));
    EXPECT_EQ(readSettingsText("tml1.flt"), "country = 'Peru'");

    // Names compare with letter case: only the exact name is a duplicate.
    kind.current = "changed";
    EXPECT_FALSE(list.add("Peru"));
    EXPECT_EQ(readSettingsText("tml1.flt"), "country = 'Peru'");
    EXPECT_TRUE(list.add("PERU"));
    EXPECT_EQ(list.find("PERU"), 1);
    EXPECT_EQ(list.find("peru"), -1);
}

TEST_F(TemplateListTest, AFailedSaveAddsNothing)
{
    kind.saveFails = true;
    EXPECT_FALSE(list.add("Peru"));
    EXPECT_EQ(list.count(), 0);
}

TEST_F(TemplateListTest, ADeletedTemplatesNumberIsReused)
{
    ASSERT_TRUE(list.add("first"));
    ASSERT_TRUE(list.add("second"));
    list.remove(0);
    EXPECT_FALSE(QFile::exists(folder.file("tml1.flt")));
    EXPECT_TRUE(QFile::exists(folder.file("tml2.flt")));

    ASSERT_TRUE(list.add("third"));
    EXPECT_EQ(itemsOf(list),
              (std::vector<SettingsTemplate>{{"second", "tml2.flt"}, {"third", "tml1.flt"}}));

    list.remove(2);
    list.remove(-1);
    EXPECT_EQ(list.count(), 2);
}

TEST_F(TemplateListTest, LoadReadsTheNamedTemplateIntoTheCurrentSettings)
{
    kind.current = "year > 1900";
    ASSERT_TRUE(list.add("modern"));
    kind.current = "something else";

    EXPECT_FALSE(list.load("Modern"));
    EXPECT_EQ(kind.current, "something else");
    EXPECT_TRUE(list.load("modern"));
    EXPECT_EQ(kind.current, "year > 1900");

    QFile::remove(folder.file("tml1.flt"));
    EXPECT_FALSE(list.load("modern"));
}

TEST_F(TemplateListTest, SettingsFilesAreFoundWhateverTheirLetterCase)
{
    useFiles({"tml1.flt"});
    QFile file(folder.file("TML1.FLT"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("from windows");
    file.close();

    EXPECT_TRUE(list.load("name of tml1.flt"));
    EXPECT_EQ(kind.current, "from windows");
    list.remove(0);
    EXPECT_FALSE(QFile::exists(folder.file("TML1.FLT")));
}

TEST_F(TemplateListTest, ListFileRoundTrips)
{
    const std::vector<SettingsTemplate> items = {{QString(300, 'n'), "tml1.flt"}, {"", "tml2.flt"}};
    writeListFile(folder.file("in.tml"), items);
    list.loadList(folder.file("in.tml"));
    EXPECT_EQ(itemsOf(list), items);

    ASSERT_TRUE(list.saveList(folder.file("out.tml")));
    QFile in(folder.file("in.tml")), out(folder.file("out.tml"));
    ASSERT_TRUE(in.open(QIODevice::ReadOnly) && out.open(QIODevice::ReadOnly));
    EXPECT_EQ(out.readAll(), in.readAll());
}

TEST_F(TemplateListTest, AnEmptyListIsWrittenAsOneThenZero)
{
    ASSERT_TRUE(list.saveList(folder.file("filters.tml")));
    QFile file(folder.file("filters.tml"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray::fromHex("0100"));
}

TEST_F(TemplateListTest, DamagedListFilesKeepTheItemsBeforeTheDamage)
{
    ValueWriter good;
    good.beginList();
    good.writeString("a");
    good.writeString("tml1.flt");
    good.writeString("b");
    good.writeString("tml2.flt");
    const QByteArray twoItems = good.bytes();

    struct Case {
        const char *name;
        QByteArray bytes;
        int itemsKept;
    };
    const std::vector<Case> cases = {
        {"missing end tag", twoItems, 2},
        {"cut inside the third item", twoItems + QByteArray::fromHex("0605616263"), 2},
        {"number where a name belongs", twoItems + QByteArray::fromHex("0201"), 2},
        {"file name leading out of the folder", twoItems + itemBytes("x", "../options"), 2},
        {"file name too long", twoItems + itemBytes("x", "tml12345.flts"), 2},
        {"empty file name", twoItems + itemBytes("x", ""), 2},
        {"not a list", QByteArray("garbage"), 0},
        {"empty file", QByteArray(), 0},
    };
    for (const Case &c : cases) {
        ASSERT_TRUE(writeSettingsFile(folder.file("filters.tml"), c.bytes));
        list.loadList(folder.file("filters.tml"));
        EXPECT_EQ(list.count(), c.itemsKept) << c.name;
    }

    useFiles({"tml1.flt"});
    list.loadList(folder.file("missing.tml"));
    EXPECT_EQ(list.count(), 0);
}

TEST(LabelTemplateListTest, SavesAndLoadsTheFieldNames)
{
    test::TempFolder folder;
    FieldNameList names;
    LabelTemplateList list(names);
    list.setSettingsFolder(folder.path());

    names.setNames({"Description", "Country", "Année"});
    ASSERT_TRUE(list.add("French"));
    EXPECT_EQ(list.item(0).fileName, "tml1.lab");

    names.setNames({"Other"});
    EXPECT_TRUE(list.load("French"));
    EXPECT_EQ(names.names(), QStringList({"Description", "Country", "Année"}));
}

TEST(LabelTemplateListTest, AFailedLoadReadsLabelsDatAgain)
{
    test::TempFolder folder;
    FieldNameList names;
    LabelTemplateList list(names);
    list.setSettingsFolder(folder.path());
    names.setNames({"Saved"});
    ASSERT_TRUE(list.add("gone"));
    QFile::remove(folder.file("tml1.lab"));

    names.setNames({"From labels.dat"});
    ASSERT_TRUE(names.writeTo(folder.file("labels.dat")));
    names.setNames({"Edited"});
    EXPECT_FALSE(list.load("gone"));
    EXPECT_EQ(names.names(), QStringList({"From labels.dat"}));
}

} // namespace
} // namespace numora::settings
