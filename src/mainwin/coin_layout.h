#pragma once
// The product's record form layout as data: for each of the coin catalogue's 26 fields
// its page, label, control kind and place, and what the control needs besides (its
// lookup list, number format, date pattern, picture tool bar). The record form builds
// its pages from this table; nothing else in the engine knows the coin layout, so a
// rule about fields follows from the record table's columns and the field numbers.

#include "settings/date_formats.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <vector>

namespace numora::mainwin {

enum class ControlKind { Text, Lookup, Currency, Date, Attachment, Memo, Picture };

struct FieldLayout {
    int number = 0; // field number, 1-based: also the tag of its label and control
    int page = 0;   // 0-based form page
    QString label;
    QPoint labelAt;
    ControlKind kind = ControlKind::Text;
    QRect box;
    QString listSource;   // lookup: its list table, e.g. "list1.dbf"
    QString numberFormat; // currency: display format
    settings::DateFormat dateFormat = settings::DateFormat::MonthDayYear; // date: until date.dat says otherwise
    bool pictureToolBar = false; // picture: its tool bar is shown
    bool takesTabFocus = true;
};

struct FormLayout {
    QStringList pageCaptions;
    // The panel size the boxes were placed for; the form stretches from it.
    QSize designPageSize;
    std::vector<FieldLayout> fields; // in field-number order
};

const FormLayout &coinLayout();

// The labels of the layout's fields, field 1 first; they fill an empty field-name list.
QStringList coinFieldLabels();

} // namespace numora::mainwin
