#pragma once
// Index keys for the sort in force. The record table is kept sorted by tags made on
// demand; these functions turn a sort descriptor (one or two columns, each ascending or
// descending) into the key expression and tag option such a tag carries.
//
// Text keys sort descending through the tag's descending option; numeric and date keys
// cannot share that option with a text part going the other way, so they get a
// reversed form of their own (subtracted from eighteen nines, or from 31 December
// 3099).

#include "store/field.h"

#include <QString>
#include <optional>

namespace numora::database {

// Four bytes of the <base>.idx file. A secondary column below 2 or equal to the
// primary means no secondary.
struct SortDescriptor {
    int primary = 0;
    bool primaryDescending = false;
    int secondary = 0;
    bool secondaryDescending = false;

    bool hasSecondary() const { return secondary >= 2 && secondary != primary; }
    bool operator==(const SortDescriptor &) const = default;
};

struct SortKey {
    QString expression;
    bool descending = false; // the tag option
    bool operator==(const SortKey &) const = default;
};

// The plain key for the descriptor, or nothing when a sort column's type has no key
// (binary, logical) or a column is out of range.
std::optional<SortKey> plainSortKey(const store::FieldList &fields, const SortDescriptor &descriptor);

// The marked key: the record mark column, "+", the plain key; same option. A range on
// its first character then picks marked or unmarked records in sort order.
SortKey markedSortKey(const store::FieldList &fields, const SortKey &plain);

} // namespace numora::database
