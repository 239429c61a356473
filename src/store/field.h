#pragma once
// Column descriptors as the data file declares them. Every layer above derives what
// it does with a column from these, never from the product layout.

#include <QString>
#include <vector>

namespace numora::store {

enum class FieldType : char {
    Character = 'C',
    Numeric = 'N',
    Date = 'D',
    Logical = 'L',
    Memo = 'M',
    Binary = 'B', // a memo column holding bytes (pictures)
};

struct FieldDescriptor {
    QString name;     // upper case, at most 10 characters
    FieldType type = FieldType::Character;
    int width = 0;    // bytes in the record (memo and binary: 10)
    int decimals = 0; // numeric columns only
    int offset = 0;   // byte offset inside the record, after the deletion flag
};

using FieldList = std::vector<FieldDescriptor>;

bool isMemoType(FieldType type); // memo and binary live in the memo file

} // namespace numora::store
