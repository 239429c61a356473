#include "database/record_schema.h"
#include "database/sort_keys.h"

#include <gtest/gtest.h>

using namespace numora::database;
using namespace numora::store;

namespace {

// Columns of the record table used below.
constexpr int Number = 0, Descr = 2, Cost = 9, Picture = 27, Custom2 = 21, Attachment = 25, Notes = 26;

struct KeyCase {
    const char *name;
    SortDescriptor descriptor;
    QString expression;
    bool descending;
};

TEST(SortKeys, KeysFollowColumnTypesAndDirections)
{
    const std::vector<KeyCase> cases = {
        {"entry order", {Number, false, 0, false}, "STR(NUMBER,20,4)", false},
        {"text ascending", {Descr, false, 0, false}, "UPPER(DESCR)", false},
        {"text descending uses the tag option", {Descr, true, 0, false}, "UPPER(DESCR)", true},
        {"wide text", {Attachment, false, 0, false}, "UPPER(SUBSTR(ATTACHMENT,1,99))", false},
        {"memo descending", {Notes, true, 0, false}, "UPPER(MLINE(NOTES,1))", true},
        {"numeric descending", {Cost, true, 0, false}, "STR(999999999999999999-COST,20,4)", false},
        {"date ascending", {Custom2, false, 0, false}, "DTOS(CUSTOM2)", false},
        {"date descending", {Custom2, true, 0, false}, "STR({12/31/3099}-CUSTOM2,10,0)", false},
        {"secondary equal to primary is ignored", {Descr, false, Descr, true}, "UPPER(DESCR)", false},
        {"secondary below column 2 is ignored", {Descr, false, 1, true}, "UPPER(DESCR)", false},
        {"text then numeric", {Descr, false, Cost, false}, "UPPER(DESCR)+STR(COST,20,4)", false},
        {"text descending then numeric ascending", {Descr, true, Cost, false}, "UPPER(DESCR)+STR(999999999999999999-COST,20,4)", true},
        {"text descending then numeric descending", {Descr, true, Cost, true}, "UPPER(DESCR)+STR(COST,20,4)", true},
        {"text then text follow the primary", {Descr, true, Attachment, false}, "UPPER(DESCR)+UPPER(SUBSTR(ATTACHMENT,1,49))", true},
        {"wide text primary is cut at 59", {Attachment, false, Descr, false}, "UPPER(SUBSTR(ATTACHMENT,1,59))+UPPER(SUBSTR(DESCR,1,40))", false},
        {"memo primary", {Notes, false, Descr, false}, "UPPER(SUBSTR(MLINE(NOTES,1),1,59))+UPPER(SUBSTR(DESCR,1,40))", false},
        {"date primary leaves the full width", {Custom2, false, Attachment, false}, "DTOS(CUSTOM2)+UPPER(SUBSTR(ATTACHMENT,1,99))", false},
        {"numeric then text descending", {Cost, false, Descr, true}, "STR(999999999999999999-COST,20,4)+UPPER(DESCR)", true},
        {"numeric descending then text", {Cost, true, Descr, false}, "STR(999999999999999999-COST,20,4)+UPPER(DESCR)", false},
        {"numeric then date, each its own way", {Cost, true, Custom2, false}, "STR(999999999999999999-COST,20,4)+DTOS(CUSTOM2)", false},
        {"date then numeric descending", {Custom2, false, Cost, true}, "DTOS(CUSTOM2)+STR(999999999999999999-COST,20,4)", false},
    };
    const FieldList fields = recordTableFields();
    for (const KeyCase &c : cases) {
        SCOPED_TRACE(c.name);
        const auto key = plainSortKey(fields, c.descriptor);
        ASSERT_TRUE(key.has_value());
        EXPECT_EQ(key->expression, c.expression);
        EXPECT_EQ(key->descending, c.descending);
        EXPECT_LE(markedSortKey(fields, *key).expression.size(), 100);
    }
}

TEST(SortKeys, ColumnsWithoutAKeyGiveNone)
{
    const FieldList fields = recordTableFields();
    EXPECT_FALSE(plainSortKey(fields, {Picture, false, 0, false}));
    EXPECT_FALSE(plainSortKey(fields, {Descr, false, Picture, false}));
    EXPECT_FALSE(plainSortKey(fields, {99, false, 0, false}));
}

TEST(SortKeys, MarkedKeyPutsTheMarkFirst)
{
    const FieldList fields = recordTableFields();
    const SortKey marked = markedSortKey(fields, SortKey{"UPPER(DESCR)", true});
    EXPECT_EQ(marked.expression, "MARK+UPPER(DESCR)");
    EXPECT_TRUE(marked.descending);
}

} // namespace
