#include "database/record_schema.h"

namespace numora::database {

namespace {

store::FieldDescriptor character(const char *name, int width) { return {name, store::FieldType::Character, width, 0}; }
store::FieldDescriptor numeric(const char *name, int width, int decimals) { return {name, store::FieldType::Numeric, width, decimals}; }
store::FieldDescriptor memo(const char *name) { return {name, store::FieldType::Memo, 10, 0}; }
store::FieldDescriptor binary(const char *name) { return {name, store::FieldType::Binary, 10, 0}; }

} // namespace

store::FieldList recordTableFields()
{
    // Character widths suit what collectors type under each caption; amounts keep two
    // decimals, weights and metal contents four.
    return {
        numeric("NUMBER", 10, 0),
        character("MARK", 1),
        character("DESCR", 50),      // 1 Coin Description
        character("COUNTRY", 30),    // 2 Country
        character("SHORTNOTE", 30),  // 3 Short Note
        character("CATALOG", 20),    // 4 Catalog #
        character("CONDITION", 20),  // 5 Condition
        character("MINTED", 12),     // 6 Coin Minted
        character("FACEVALUE", 20),  // 7 Face Value
        numeric("COST", 15, 2),      // 8 Cost
        numeric("MARKETVAL", 15, 2), // 9 Market Value
        binary("SMALLPIC"),          // 10 Small Picture
        character("VARIETY", 50),    // 11 Note/Variety
        character("CATEGORY", 30),   // 12 Category
        character("TYPE", 30),       // 13 Type
        character("MINT", 30),       // 14 Mint
        character("METAL", 30),      // 15 Metal Content
        numeric("WEIGHT", 15, 4),    // 16 Weight
        numeric("SILVER", 15, 4),    // 17 Silver
        numeric("GOLD", 15, 4),      // 18 Gold
        numeric("CUSTOM1", 15, 2),   // 19 Custom 1
        store::FieldDescriptor{"CUSTOM2", store::FieldType::Date, 8, 0}, // 20 Custom 2
        character("CUSTOM3", 30),    // 21 Custom 3
        character("CUSTOM4", 30),    // 22 Custom 4
        character("CUSTOM5", 50),    // 23 Custom 5
        character("ATTACHMENT", 120), // 24 Attachment (a file name)
        memo("NOTES"),               // 25 Notes
        binary("PICTURE"),           // 26 Picture
    };
}

store::FieldList masterTableFields()
{
    return {
        character("FILENAME", 12),
        character("DBNAME", 60),
        character("DESCRIPT", 120),
        numeric("LASTNUMBER", 10, 0),
    };
}

store::FieldList listTableFields() { return {character("ITEM", 60)}; }

} // namespace numora::database
