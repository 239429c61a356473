#include "store/index_file.h"
#include "store/store_error.h"
#include "support/temp_folder.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

namespace numora::store {

void PrintTo(const IndexEntry &entry, std::ostream *out)
{
    *out << '(' << ::testing::PrintToString(entry.key.toStdString()) << ", " << entry.recno << ')';
}

namespace {

using test::TempFolder;

// Where the header keeps what the damage tests change (see docs/index-format.md).
constexpr qint64 kPageSize = 4096;
constexpr qint64 kVersionAt = 8;
constexpr qint64 kPageCountAt = 16;
constexpr qint64 kFreeHeadAt = 36;
constexpr qint64 kFreeCountAt = 40;
constexpr qint64 kTagSlotAt = 64;
constexpr qint64 kTagSlotSize = 324;
constexpr qint64 kSlotRootAt = 12;
constexpr qint64 kSlotHeightAt = 20;
constexpr qint64 kKeyVersionAt = 44;

// Any number: the index file records it without giving it a meaning.
constexpr quint32 kKeyVersion = 3;

QByteArray readBytes(const QString &path, qint64 offset, qint64 size)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    file.seek(offset);
    return file.read(size);
}

void writeBytes(const QString &path, qint64 offset, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.seek(offset);
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray u32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

quint32 readU32(const QString &path, qint64 offset)
{
    return qFromLittleEndian<quint32>(readBytes(path, offset, 4).constData());
}

quint32 rootPage(const QString &path, int tag)
{
    return readU32(path, kTagSlotAt + tag * kTagSlotSize + kSlotRootAt);
}

int treeHeight(const QString &path, int tag)
{
    return quint8(readBytes(path, kTagSlotAt + tag * kTagSlotSize + kSlotHeightAt, 1)[0]);
}

std::vector<IndexEntry> entriesOf(const IndexFile &index, int tag)
{
    std::vector<IndexEntry> entries;
    for (quint32 i = 0; i < index.entryCount(tag); ++i)
        entries.push_back(index.entryAt(tag, i));
    return entries;
}

// The order a tag must keep, built on QByteArray's own bytewise comparison.
struct ReferenceOrder {
    bool descending;

    bool keyBefore(const QByteArray &a, const QByteArray &b) const
    {
        return descending ? b < a : a < b;
    }
    bool operator()(const IndexEntry &a, const IndexEntry &b) const
    {
        if (a.key != b.key)
            return keyBefore(a.key, b.key);
        return a.recno < b.recno;
    }
};

// Keys that collide often (short ones) mixed with keys that fill pages fast (long ones);
// 0xE4 catches a comparison of signed bytes.
IndexEntry randomEntry(std::mt19937 &random)
{
    const auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    const int length = pick(0, 9) < 2 ? pick(0, 2) : pick(80, 100);
    QByteArray key;
    for (int i = 0; i < length; ++i)
        key.append("ab\xE4"[pick(0, 2)]);
    return {key, quint32(pick(1, 60000))};
}

// A tag held as a sorted vector: what the tree must answer, found with std algorithms.
class ModelTag {
public:
    explicit ModelTag(bool descending) : order_{descending} {}

    const std::vector<IndexEntry> &entries() const { return entries_; }
    bool contains(const IndexEntry &entry) const
    {
        return std::binary_search(entries_.begin(), entries_.end(), entry, order_);
    }
    void insert(const IndexEntry &entry)
    {
        entries_.insert(std::upper_bound(entries_.begin(), entries_.end(), entry, order_), entry);
    }
    void erase(size_t position) { entries_.erase(entries_.begin() + qsizetype(position)); }

    quint32 lowerBound(const QByteArray &key) const
    {
        return countWhile([&](const IndexEntry &e) { return order_.keyBefore(e.key, key); });
    }
    quint32 upperBound(const QByteArray &key) const
    {
        return countWhile([&](const IndexEntry &e) { return !order_.keyBefore(key, e.key); });
    }
    quint32 lowerBound(const IndexEntry &entry) const
    {
        return countWhile([&](const IndexEntry &e) { return order_(e, entry); });
    }
    std::optional<quint32> ordinalOf(const IndexEntry &entry) const
    {
        const quint32 position = lowerBound(entry);
        if (position < entries_.size() && entries_[position] == entry)
            return position;
        return std::nullopt;
    }

private:
    template <typename Predicate>
    quint32 countWhile(Predicate before) const
    {
        const auto end = std::partition_point(entries_.begin(), entries_.end(), before);
        return quint32(end - entries_.begin());
    }

    ReferenceOrder order_;
    std::vector<IndexEntry> entries_;
};

size_t randomPosition(std::mt19937 &random, size_t size)
{
    return std::uniform_int_distribution<size_t>(0, size - 1)(random);
}

void expectMatchesModel(const IndexFile &index, int tag, const ModelTag &model,
                        std::mt19937 &random)
{
    ASSERT_EQ(index.entryCount(tag), model.entries().size());
    for (quint32 i = 0; i < model.entries().size(); ++i)
        ASSERT_EQ(index.entryAt(tag, i), model.entries()[i]) << "at ordinal " << i;
    for (int probe = 0; probe < 300; ++probe) {
        const bool present = probe % 2 == 0 && !model.entries().empty();
        const IndexEntry target = present
            ? model.entries()[randomPosition(random, model.entries().size())]
            : randomEntry(random);
        SCOPED_TRACE(::testing::PrintToString(target));
        EXPECT_EQ(index.lowerBound(tag, QByteArrayView(target.key)), model.lowerBound(target.key));
        EXPECT_EQ(index.upperBound(tag, target.key), model.upperBound(target.key));
        EXPECT_EQ(index.lowerBound(tag, target), model.lowerBound(target));
        EXPECT_EQ(index.ordinalOf(tag, target), model.ordinalOf(target));
    }
}

class IndexFileTest : public ::testing::Test {
protected:
    void SetUp() override { IndexFile::create(path, 0, kKeyVersion); }

    // Runs `change` inside an update on a fresh writable handle and commits it.
    void commit(quint32 dataRecords, const std::function<void(IndexFile &)> &change)
    {
        IndexFile index(path, true);
        index.beginUpdate();
        change(index);
        index.commitUpdate(dataRecords);
    }

    qint64 fileSize() const { return QFileInfo(path).size(); }

    TempFolder folder;
    QString path = folder.file("coins.mdx");
};

std::vector<IndexEntry> longKeyEntries(int count)
{
    std::vector<IndexEntry> entries;
    for (int i = 0; i < count; ++i)
        entries.push_back({QByteArray::number(i).rightJustified(90, '0'), quint32(i + 1)});
    return entries;
}

// --- Ordering ---

struct OrderingCase {
    const char *name;
    bool descending;
    std::vector<IndexEntry> given;
    std::vector<IndexEntry> expected;
};

TEST_F(IndexFileTest, OrdersEntriesByKeyBytesThenRecord)
{
    const std::vector<OrderingCase> cases = {
        {"a prefix sorts first", false,
         {{"ABC", 1}, {"A", 2}, {"", 3}, {"AB", 4}},
         {{"", 3}, {"A", 2}, {"AB", 4}, {"ABC", 1}}},
        {"descending puts the longer key first", true,
         {{"ABC", 1}, {"A", 2}, {"", 3}, {"AB", 4}},
         {{"ABC", 1}, {"AB", 4}, {"A", 2}, {"", 3}}},
        {"bytes compare unsigned", false,
         {{"\xE4", 1}, {"z", 2}, {"\x01", 3}},
         {{"\x01", 3}, {"z", 2}, {"\xE4", 1}}},
        {"bytes after a zero byte count", false,
         {{QByteArray("A\0B", 3), 1}, {QByteArray("A\0", 2), 2}, {"A", 3}},
         {{"A", 3}, {QByteArray("A\0", 2), 2}, {QByteArray("A\0B", 3), 1}}},
        {"equal keys by record number", false,
         {{"K", 9}, {"K", 2}, {"K", 5}},
         {{"K", 2}, {"K", 5}, {"K", 9}}},
        {"equal keys by ascending record number in a descending tag", true,
         {{"K", 9}, {"L", 1}, {"K", 2}, {"J", 7}},
         {{"L", 1}, {"K", 2}, {"K", 9}, {"J", 7}}},
    };
    for (const OrderingCase &c : cases) {
        SCOPED_TRACE(c.name);
        IndexFile::create(path, 0, kKeyVersion);
        IndexFile index(path, true);
        index.beginUpdate();
        index.addTag({"BULK", "KEY", c.descending}, c.given);
        index.addTag({"ONEBYONE", "KEY", c.descending}, {});
        for (const IndexEntry &entry : c.given)
            index.insert(1, entry);
        EXPECT_EQ(entriesOf(index, 0), c.expected);
        EXPECT_EQ(entriesOf(index, 1), c.expected);
        for (quint32 i = 0; i < c.expected.size(); ++i)
            EXPECT_EQ(index.ordinalOf(0, c.expected[i]), i);
    }
}

// --- Against a model ---

class IndexModelTest : public IndexFileTest, public ::testing::WithParamInterface<bool> {};

TEST_P(IndexModelTest, AnswersLikeASortedVectorThroughRandomChanges)
{
    std::mt19937 random(20240611);
    ModelTag model(GetParam());
    std::vector<IndexEntry> initial;
    while (initial.size() < 3000) {
        const IndexEntry entry = randomEntry(random);
        if (!model.contains(entry)) {
            model.insert(entry);
            initial.push_back(entry);
        }
    }
    IndexFile index(path, true);
    index.beginUpdate();
    index.addTag({"NAME", "NAME", GetParam()}, initial);

    const auto change = [&](int operations, int insertPercent) {
        std::uniform_int_distribution<int> percent(0, 99);
        for (int done = 0; done < operations; ++done) {
            if (model.entries().empty() || percent(random) < insertPercent) {
                IndexEntry entry = randomEntry(random);
                while (model.contains(entry))
                    entry = randomEntry(random);
                index.insert(0, entry);
                model.insert(entry);
            } else {
                const size_t position = randomPosition(random, model.entries().size());
                index.remove(0, model.entries()[position]);
                model.erase(position);
            }
        }
        expectMatchesModel(index, 0, model, random);
    };
    for (int round = 0; round < 3; ++round)
        change(1000, 70);
    index.commitUpdate(0);
    ASSERT_GE(treeHeight(path, 0), 3) << "too few entries to split interior pages";

    index.beginUpdate();
    for (int round = 0; round < 3; ++round)
        change(1000, 25);
    index.commitUpdate(0);
    expectMatchesModel(IndexFile(path, false), 0, model, random);

    // Emptying the tag frees leaf and interior pages and lowers the root.
    index.beginUpdate();
    while (!model.entries().empty())
        change(std::min(250, int(model.entries().size())), 0);
    index.commitUpdate(0);
    EXPECT_EQ(treeHeight(path, 0), 1);
    index.beginUpdate();
    change(100, 100);
}

INSTANTIATE_TEST_SUITE_P(BothDirections, IndexModelTest, ::testing::Bool(),
                         [](const auto &c) { return c.param ? "Descending" : "Ascending"; });

TEST_F(IndexFileTest, GrowsFromEmptyByInsertsAtEitherEnd)
{
    for (const bool descending : {false, true}) {
        SCOPED_TRACE(descending ? "descending" : "ascending");
        IndexFile::create(path, 0, kKeyVersion);
        std::mt19937 random(7);
        IndexFile index(path, true);
        index.beginUpdate();
        index.addTag({"SEQ", "SEQ", descending}, {});
        // Ascending keys in an ascending tag always land on the last leaf; in a descending
        // tag on the first one.
        for (const IndexEntry &entry : longKeyEntries(3000))
            index.insert(0, entry);
        index.commitUpdate(0);
        EXPECT_GE(treeHeight(path, 0), 3);
        ModelTag expected(descending);
        for (const IndexEntry &entry : longKeyEntries(3000))
            expected.insert(entry);
        expectMatchesModel(index, 0, expected, random);
    }
}

// --- Tags ---

TEST_F(IndexFileTest, FindsTagsByNameInAnyCase)
{
    commit(0, [](IndexFile &index) {
        index.addTag({"Year", "YEAR", false}, {{"1990", 1}});
        index.addTag({"COUNTRY", "UPPER(COUNTRY)", true}, {{"PERU", 1}, {"CHILE", 2}});
    });
    const IndexFile index(path, false);
    EXPECT_EQ(index.tagIndex("YEAR"), 0);
    EXPECT_EQ(index.tagIndex("country"), 1);
    EXPECT_EQ(index.tagIndex("VALUE"), -1);
    ASSERT_EQ(index.tags().size(), 2u);
    EXPECT_EQ(index.tags()[0].name, "Year");
    EXPECT_EQ(index.tags()[1].expression, "UPPER(COUNTRY)");
    EXPECT_TRUE(index.tags()[1].descending);
    EXPECT_EQ(index.entryCount(1), 2u);
}

TEST_F(IndexFileTest, RefusesInvalidTagDefinitions)
{
    const std::vector<std::pair<const char *, TagDefinition>> cases = {
        {"empty name", {"", "YEAR", false}},
        {"name of 11 characters", {"ABCDEFGHIJK", "YEAR", false}},
        {"name starting with a digit", {"1YEAR", "YEAR", false}},
        {"name with a hyphen", {"MINT-MARK", "MINT", false}},
        {"name with a letter outside ASCII", {QString::fromUtf8("MÜNZE"), "YEAR", false}},
        {"name taken, in other case", {"year", "YEAR", false}},
        {"expression of 101 characters", {"VALUE", QString(101, 'V'), false}},
    };
    IndexFile index(path, true);
    index.beginUpdate();
    index.addTag({"YEAR", "YEAR", false}, {});
    for (const auto &[name, definition] : cases) {
        SCOPED_TRACE(name);
        EXPECT_THROW(index.addTag(definition, {{"1990", 1}}), DatabaseError);
        EXPECT_EQ(index.tags().size(), 1u);
    }
}

TEST_F(IndexFileTest, HoldsMaxTagsWithLongestDefinitions)
{
    // 100 characters of three UTF-8 bytes each fill an expression slot exactly.
    const QString expression(100, QChar(0x20AC));
    std::vector<TagDefinition> definitions;
    for (int i = 0; i < IndexFile::MaxTags; ++i) {
        const QString name = QStringLiteral("TAG_%1").arg(i, 6, 10, QChar('0'));
        definitions.push_back({name, expression, i % 2 == 1});
    }
    commit(0, [&](IndexFile &index) {
        for (int i = 0; i < IndexFile::MaxTags; ++i)
            index.addTag(definitions[size_t(i)], {{QByteArray::number(i), quint32(i + 1)}});
        EXPECT_THROW(index.addTag({"ONE_MORE", "X", false}, {}), DatabaseError);
    });
    const IndexFile index(path, false);
    ASSERT_EQ(index.tags().size(), size_t(IndexFile::MaxTags));
    for (int i = 0; i < IndexFile::MaxTags; ++i) {
        EXPECT_EQ(index.tags()[size_t(i)].name, definitions[size_t(i)].name);
        EXPECT_EQ(index.tags()[size_t(i)].expression, expression);
        EXPECT_EQ(index.tags()[size_t(i)].descending, definitions[size_t(i)].descending);
        const std::vector<IndexEntry> expected = {{QByteArray::number(i), quint32(i + 1)}};
        EXPECT_EQ(entriesOf(index, i), expected);
    }
}

TEST_F(IndexFileTest, DropTagShiftsLaterTagsAndFreesItsPages)
{
    const std::vector<IndexEntry> many = longKeyEntries(3000);
    const std::vector<IndexEntry> few = {{"A", 1}, {"B", 2}};
    commit(0, [&](IndexFile &index) {
        index.addTag({"MANY", "NAME", false}, many);
        index.addTag({"FEW", "MINT", false}, few);
    });
    const qint64 sizeWithBoth = fileSize();

    commit(0, [](IndexFile &index) { index.dropTag(0); });
    {
        const IndexFile index(path, false);
        ASSERT_EQ(index.tags().size(), 1u);
        EXPECT_EQ(index.tags()[0].name, "FEW");
        EXPECT_EQ(entriesOf(index, 0), few);
    }
    commit(0, [&](IndexFile &index) { index.addTag({"MANY", "NAME", false}, many); });
    EXPECT_EQ(fileSize(), sizeWithBoth);
    EXPECT_EQ(entriesOf(IndexFile(path, false), 1), many);
}

TEST_F(IndexFileTest, RebuildTagReplacesEntriesAndReusesPages)
{
    commit(0, [](IndexFile &index) { index.addTag({"NAME", "NAME", true}, longKeyEntries(3000)); });
    const qint64 sizeAfterAdd = fileSize();
    std::vector<IndexEntry> replacement = longKeyEntries(2500);
    std::reverse(replacement.begin(), replacement.end());
    for (int round = 0; round < 3; ++round)
        commit(0, [&](IndexFile &index) { index.rebuildTag(0, replacement); });

    EXPECT_EQ(fileSize(), sizeAfterAdd);
    const IndexFile index(path, false);
    ASSERT_EQ(index.entryCount(0), 2500u);
    EXPECT_EQ(index.entryAt(0, 0), replacement.front());
    EXPECT_EQ(index.entryAt(0, 2499), replacement.back());
}

TEST_F(IndexFileTest, RefusesChangesThatWouldBreakTheTag)
{
    const std::vector<std::pair<const char *, std::function<void(IndexFile &)>>> cases = {
        {"inserting an entry it holds", [](IndexFile &i) { i.insert(0, {"B", 2}); }},
        {"removing an absent entry", [](IndexFile &i) { i.remove(0, {"B", 3}); }},
        {"removing from an empty key range", [](IndexFile &i) { i.remove(0, {"Z", 2}); }},
        {"inserting a key of 101 bytes",
         [](IndexFile &i) { i.insert(0, {QByteArray(101, 'k'), 4}); }},
        {"adding a tag listing an entry twice",
         [](IndexFile &i) { i.addTag({"TWICE", "X", false}, {{"A", 1}, {"B", 1}, {"A", 1}}); }},
        {"adding a tag with a key of 101 bytes",
         [](IndexFile &i) { i.addTag({"LONG", "X", false}, {{QByteArray(101, 'k'), 1}}); }},
        {"rebuilding with a key of 101 bytes",
         [](IndexFile &i) { i.rebuildTag(0, {{QByteArray(101, 'k'), 1}}); }},
        {"reading past the last entry", [](IndexFile &i) { i.entryAt(0, 3); }},
        {"naming a tag that does not exist", [](IndexFile &i) { i.insert(1, {"D", 4}); }},
    };
    const std::vector<IndexEntry> original = {{"A", 1}, {"B", 2}, {"C", 3}};
    IndexFile index(path, true);
    index.beginUpdate();
    index.addTag({"NAME", "NAME", false}, original);
    for (const auto &[name, change] : cases) {
        SCOPED_TRACE(name);
        EXPECT_THROW(change(index), DatabaseError);
        EXPECT_EQ(entriesOf(index, 0), original);
        EXPECT_EQ(index.tags().size(), 1u);
    }
    index.commitUpdate(3);
    EXPECT_EQ(entriesOf(IndexFile(path, false), 0), original);
}

// --- Files and handles ---

TEST_F(IndexFileTest, KeepsEverythingAcrossReopening)
{
    const quint64 counterBefore = IndexFile(path, false).changeCounter();
    commit(7, [](IndexFile &index) {
        index.addTag({"NAME", "NAME", false}, {{"Penny", 3}, {"Dime", 1}});
        index.addTag({"YEAR", "YEAR", true}, {});
        index.insert(1, {"1964", 2});
        index.insert(1, {"2001", 7});
    });
    const IndexFile index(path, false);
    EXPECT_EQ(index.tags().size(), 2u);
    EXPECT_EQ(entriesOf(index, 0), (std::vector<IndexEntry>{{"Dime", 1}, {"Penny", 3}}));
    EXPECT_EQ(entriesOf(index, 1), (std::vector<IndexEntry>{{"2001", 7}, {"1964", 2}}));
    EXPECT_EQ(index.dataRecordCount(), 7u);
    EXPECT_EQ(index.keyVersion(), kKeyVersion);
    EXPECT_EQ(readBytes(path, kKeyVersionAt, 4), u32(kKeyVersion));
    EXPECT_GT(index.changeCounter(), counterBefore);
    EXPECT_FALSE(index.isDirty());
    EXPECT_TRUE(index.isConsistent(7));
    EXPECT_FALSE(index.isConsistent(8));
}

TEST_F(IndexFileTest, RefreshShowsAnotherHandlesCommit)
{
    std::vector<IndexEntry> expected = longKeyEntries(3000);
    commit(3000, [&](IndexFile &index) { index.addTag({"NAME", "NAME", false}, expected); });
    IndexFile writer(path, true);
    IndexFile reader(path, false);
    ASSERT_EQ(reader.entryAt(0, 0), expected.front()); // caches pages at both ends
    ASSERT_EQ(reader.entryAt(0, 2999), expected.back());

    // Entries at both ends change pages far apart in the file.
    const IndexEntry first{"", 3001};
    const IndexEntry last{"A", 3002};
    writer.beginUpdate();
    writer.insert(0, first);
    writer.insert(0, last);
    writer.commitUpdate(3002);
    expected.insert(expected.begin(), first);
    expected.push_back(last);

    EXPECT_TRUE(reader.refresh());
    EXPECT_EQ(reader.dataRecordCount(), 3002u);
    EXPECT_EQ(entriesOf(reader, 0), expected);
    EXPECT_FALSE(reader.refresh());
    EXPECT_FALSE(writer.refresh());
}

TEST_F(IndexFileTest, UpdateNeverCommittedLeavesTheDirtyMark)
{
    commit(1, [](IndexFile &index) { index.addTag({"NAME", "NAME", false}, {{"M", 1}}); });
    IndexFile observer(path, false);
    {
        IndexFile writer(path, true);
        writer.beginUpdate();
        EXPECT_TRUE(observer.refresh());
        EXPECT_TRUE(observer.isDirty());
        writer.insert(0, {"A", 2});
    } // the process "dies" here

    const IndexFile reopened(path, false);
    EXPECT_TRUE(reopened.isDirty());
    EXPECT_FALSE(reopened.isConsistent(1));
    EXPECT_EQ(entriesOf(reopened, 0), (std::vector<IndexEntry>{{"M", 1}}));

    commit(1, [](IndexFile &index) { index.rebuildTag(0, {{"M", 1}}); });
    EXPECT_TRUE(IndexFile(path, false).isConsistent(1));
}

TEST_F(IndexFileTest, BeginningAgainDiscardsAnAbandonedUpdate)
{
    IndexFile index(path, true);
    index.beginUpdate();
    index.addTag({"NAME", "NAME", false}, {{"M", 1}});
    index.commitUpdate(1);

    index.beginUpdate();
    index.insert(0, {"A", 2});
    index.addTag({"YEAR", "YEAR", false}, {});
    index.beginUpdate();
    index.insert(0, {"Z", 3});
    index.commitUpdate(2);

    const IndexFile reopened(path, false);
    EXPECT_EQ(reopened.tags().size(), 1u);
    EXPECT_EQ(entriesOf(reopened, 0), (std::vector<IndexEntry>{{"M", 1}, {"Z", 3}}));
}

TEST_F(IndexFileTest, RefusesChangesOnAReadOnlyHandleOrOutsideAnUpdate)
{
    commit(1, [](IndexFile &index) { index.addTag({"NAME", "NAME", false}, {{"M", 1}}); });
    const std::vector<std::pair<const char *, std::function<void(IndexFile &)>>> changes = {
        {"insert", [](IndexFile &i) { i.insert(0, {"A", 2}); }},
        {"remove", [](IndexFile &i) { i.remove(0, {"M", 1}); }},
        {"addTag", [](IndexFile &i) { i.addTag({"YEAR", "YEAR", false}, {}); }},
        {"rebuildTag", [](IndexFile &i) { i.rebuildTag(0, {}); }},
        {"dropTag", [](IndexFile &i) { i.dropTag(0); }},
        {"commitUpdate", [](IndexFile &i) { i.commitUpdate(1); }},
    };
    IndexFile readOnly(path, false);
    IndexFile writable(path, true);
    EXPECT_THROW(readOnly.beginUpdate(), DatabaseError);
    for (const auto &[name, change] : changes) {
        SCOPED_TRACE(name);
        EXPECT_THROW(change(readOnly), DatabaseError);
        EXPECT_THROW(change(writable), DatabaseError);
    }
    const IndexFile reopened(path, false);
    EXPECT_FALSE(reopened.isDirty());
    EXPECT_EQ(entriesOf(reopened, 0), (std::vector<IndexEntry>{{"M", 1}}));
}

// --- Damage ---

TEST_F(IndexFileTest, OpenRefusesForeignAndTruncatedFiles)
{
    commit(0, [](IndexFile &index) { index.addTag({"NAME", "NAME", false}, longKeyEntries(500)); });
    const QByteArray valid = readBytes(path, 0, fileSize());
    QByteArray randomBytes(20000, '\0');
    std::mt19937 random(99);
    for (char &byte : randomBytes)
        byte = char(random());
    // dBASE IV's own .mdx: version 2, a date, the table name, 1024-byte blocks.
    QByteArray dbaseIndex(4096, '\0');
    dbaseIndex.replace(0, 20, QByteArray("\x02\x7c\x06\x0b" "COINS", 9).leftJustified(20, '\0'));
    dbaseIndex[20] = 2;
    dbaseIndex[23] = 4;
    dbaseIndex[25] = 48;
    dbaseIndex[26] = 32;
    const qint64 pages = valid.size() / kPageSize;
    const auto patched = [&](qint64 offset, const QByteArray &bytes) {
        return QByteArray(valid).replace(offset, bytes.size(), bytes);
    };

    const std::vector<std::pair<const char *, QByteArray>> cases = {
        {"empty file", QByteArray()},
        {"random bytes", randomBytes},
        {"dBASE multiple index file", dbaseIndex},
        {"later format version", patched(kVersionAt, u32(2))},
        {"header cut short", valid.left(10000)},
        {"last page cut off", valid.left(valid.size() - kPageSize)},
        {"page count past the end", patched(kPageCountAt, u32(quint32(pages + 1)))},
    };
    for (const auto &[name, content] : cases) {
        SCOPED_TRACE(name);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        file.close();
        EXPECT_THROW(IndexFile(path, false), DatabaseError);
    }
    EXPECT_THROW(IndexFile(folder.file("missing.mdx"), false), DatabaseError);
}

TEST_F(IndexFileTest, DamagedPageFailsOnAccess)
{
    commit(0, [](IndexFile &i) { i.addTag({"NAME", "NAME", false}, longKeyEntries(2000)); });
    ASSERT_GE(treeHeight(path, 0), 2);
    const quint32 root = rootPage(path, 0);
    const qint64 rootAt = root * kPageSize;
    // The root's first cell: key length, key, record number, child page, subtree entries.
    const int firstKeyLength = quint8(readBytes(path, rootAt + 8, 1)[0]);
    const qint64 childAt = rootAt + 8 + 1 + firstKeyLength + 4;
    const qint64 countAt = childAt + 4;
    const QByteArray valid = readBytes(path, 0, fileSize());

    const std::vector<std::pair<const char *, std::pair<qint64, QByteArray>>> cases = {
        {"unknown page kind", {rootAt, "\x7f"}},
        {"cell count past the page end", {rootAt + 2, "\xff\xff"}},
        {"key longer than keys may be", {rootAt + 8, "\xc8"}},
        {"child past the last page", {childAt, u32(0x00ffffff)}},
        {"child pointing back at the root", {childAt, u32(root)}},
        {"child pointing at the header", {childAt, u32(1)}},
        {"subtree count off by one", {countAt, u32(readU32(path, countAt) + 1)}},
        {"page of zeros", {rootAt, QByteArray(kPageSize, '\0')}},
    };
    for (const auto &[name, patch] : cases) {
        SCOPED_TRACE(name);
        writeBytes(path, 0, valid);
        writeBytes(path, patch.first, patch.second);
        IndexFile index(path, true);
        EXPECT_THROW(index.entryAt(0, 0), DatabaseError);
        EXPECT_THROW(index.lowerBound(0, QByteArrayView("0")), DatabaseError);
        EXPECT_THROW(index.ordinalOf(0, longKeyEntries(1).front()), DatabaseError);
        index.beginUpdate();
        EXPECT_THROW(index.insert(0, {"0", 9999}), DatabaseError);
        EXPECT_THROW(index.remove(0, longKeyEntries(1).front()), DatabaseError);
        // A damaged tag can still be replaced.
        index.rebuildTag(0, {{"0", 1}});
        index.commitUpdate(1);
        EXPECT_EQ(entriesOf(IndexFile(path, false), 0), (std::vector<IndexEntry>{{"0", 1}}));
    }
}

TEST_F(IndexFileTest, FreeListReachingAPageInUseFailsOnAllocation)
{
    commit(0, [](IndexFile &index) { index.addTag({"NAME", "NAME", false}, {{"M", 1}}); });
    writeBytes(path, kFreeHeadAt, u32(rootPage(path, 0)));
    writeBytes(path, kFreeCountAt, u32(1));
    IndexFile index(path, true);
    EXPECT_EQ(entriesOf(index, 0), (std::vector<IndexEntry>{{"M", 1}}));
    index.beginUpdate();
    EXPECT_THROW(index.addTag({"YEAR", "YEAR", false}, {}), DatabaseError);
}

} // namespace
} // namespace numora::store
