#pragma once
// The sort in force for the record table ("TIndex" in the product's documents): the
// descriptor kept in <base>.idx, a saved copy to fall back on when a new sort cannot be
// applied, whether the filter state asks for marked keys, and the keys last built for it.

#include "database/sort_keys.h"

#include <QString>

namespace numora::database {

// Which records the list shows through the record mark: every record, those the last
// filter pass marked ("Normal Filter"), or those it did not ("Reversed Filter"). The
// values are the sort bar's item order.
enum class FilterState { AllRecords = 0, Normal = 1, Reversed = 2 };

class SortState {
public:
    SortDescriptor descriptor;
    SortDescriptor saved;
    bool marked = false; // filter state Normal or Reversed: "IDXF" tags with marked keys
    SortKey plainKey;
    SortKey markedKey;

    // A missing or short file means all four bytes 0.
    static SortDescriptor load(const QString &path);
    [[nodiscard]] static bool save(const QString &path, const SortDescriptor &descriptor);

    void keepForUndo() { saved = descriptor; }
    void undo() { descriptor = saved; }

    // Builds both keys for the descriptor; false when a sort column has no key.
    bool buildKeys(const store::FieldList &fields);
    const SortKey &wantedKey() const { return marked ? markedKey : plainKey; }
    QString tagPrefix() const { return marked ? QStringLiteral("IDXF") : QStringLiteral("IDX"); }
};

} // namespace numora::database
