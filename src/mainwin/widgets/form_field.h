#pragma once
// One field of the record form: its control and label, and how a value moves between the
// control and its record table column (field N lives in column N + 1). The control's
// kind comes from the layout; what is written follows the column's type, so a layout may
// put any control on any column.
//
// Damaged memo data surfaces as the table store's EngineError or DatabaseError from
// loadValue; the form turns it into the message the user sees.

#include "mainwin/coin_layout.h"

class QLabel;
class QWidget;

#include "store/field.h"

namespace numora::store {
class Table;
}

namespace numora::mainwin {

enum class PictureWrite { WhenChanged, Always };

struct FormField {
    int number = 0;
    ControlKind kind = ControlKind::Text;
    QWidget *control = nullptr;
    QLabel *label = nullptr;
    QWidget *page = nullptr;

    int column() const;

    // The control as the layout describes it, on `panel`.
    static QWidget *createControl(const FieldLayout &layout, QWidget *panel);

    // The table has no current row: controls that show text are emptied, pictures read.
    void loadValue(const store::Table &table) const;
    // An empty date field takes today's date when `todayWhenEmpty`. A picture is written
    // only after a change unless `pictures` says Always (copying the record elsewhere).
    void writeValue(store::Table &table, PictureWrite pictures, bool todayWhenEmpty) const;
    void clearValue() const;
    // A control the user types text into takes no more than its character column holds.
    void limitToColumn(const store::FieldList &columns) const;

    QString text() const;
    // Holds a value the record would keep: text and, for a currency field a value other
    // than 0, for a date field a date. A picture field has no text and so never counts.
    bool isFilled() const;
    // What a required field must hold: text and, for a date field, a date.
    bool hasRequiredValue() const;
    void setEditable(bool editable) const;
    // Can take the focus by Tab now.
    bool takesTabFocus() const;
};

} // namespace numora::mainwin
