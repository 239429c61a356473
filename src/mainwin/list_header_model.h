#pragma once
// The record list header's data: which record fields the list shows as columns, in which
// order and how wide, and the changes that dragging, resizing and the header's popup menu
// make to them. The header widget shows this model and reports each change; the rows take
// one column per section with the section's share of the width.
//
// Sections are kept in header.dat and in header templates (".hdr") as a list of
// (text, width) pairs: the text names the field by its label, so a section whose text is
// no longer a label of a field that can be a column is dropped when it is read.

#include "settings/template_list.h"
#include "store/field.h"

#include <QList>
#include <QString>

namespace numora::mainwin {

inline constexpr char kHeaderFile[] = "header.dat";

// No section is narrower than this.
inline constexpr int kMinSectionWidth = 4;
// A header too narrow for its sections still shows this much of each, so none is out of
// reach of the mouse.
inline constexpr int kReachableSectionWidth = 20;

// The widths a header `headerWidth` pixels wide shows for sections of the stored
// `widths`. Section `filling` (none when -1) takes what the others leave. Sections that do
// not fit are narrowed from the last one back, each only as far as the sections after it
// need to keep kReachableSectionWidth in sight (an equal part of a header too narrow even
// for that); a section stored narrower keeps its width.
QList<int> fitSectionWidths(QList<int> widths, int headerWidth, int filling = -1);

// A record field as the header sees it, in field-number order.
struct ListField {
    QString label;
    store::FieldType type = store::FieldType::Character;
};

// Text, number and date fields can be columns; memo, picture and logical fields cannot.
bool canBeColumn(store::FieldType type);

struct HeaderSection {
    // Index of the field in the field list (field number - 1); its record table column
    // is field + 2.
    int field = 0;
    QString text; // the field's label
    int width = 0;
    bool operator==(const HeaderSection &) const = default;
};

class ListHeaderModel {
public:
    // Starts with the default sections.
    explicit ListHeaderModel(QList<ListField> fields);

    const QList<ListField> &fields() const { return fields_; }
    // Takes new labels (or a new table): every section shows its field's current label and
    // keeps its width; sections whose field cannot be a column any more are dropped, and
    // when none is left the default sections return. Only a table without text, number
    // or date fields leaves the header without sections.
    void setFields(QList<ListField> fields);

    const QList<HeaderSection> &sections() const { return sections_; }
    QList<int> widths() const;
    // What a header `headerWidth` pixels wide shows of the sections (fitSectionWidths).
    QList<int> shownWidths(int headerWidth) const;
    // Each shown section's share of `headerWidth` in percent.
    QList<int> shares(int headerWidth) const;

    // Field 1 taking what the header leaves and field 2 at 100 pixels, as far as they exist
    // and can be columns.
    void resetToDefault();
    // While the default sections are untouched field 1 follows the header's width; this
    // keeps its stored width to what a header `headerWidth` wide shows, so the width a
    // change starts from, and the one written, is the one the user saw.
    void fitToPane(int headerWidth);

    // The popup menu's offers. Removing needs more than one section.
    bool canRemoveField() const { return sections_.size() > 1; }
    // Fields that can be columns and are not, in field order.
    QList<int> insertableFields() const;
    // Fields that are columns, in field order.
    QList<int> removableFields() const;

    // Each returns whether the sections changed; a change the rules do not allow changes
    // nothing.
    //
    // Appends a section for `field`. It takes the room left of `headerWidth`; when that is
    // narrower than the minimum, the nearest earlier section of at least 20 pixels gives
    // it half of its width.
    bool insertField(int field, int headerWidth);
    bool removeField(int field);
    // Moves section `from` to index `to`, as dropping a dragged section does.
    bool moveSection(int from, int to);
    // Sets a section's width, never below the minimum.
    bool resizeSection(int index, int width);

    // Replaces the sections with those of a header file. False, with the sections
    // unchanged, when the file is missing or yields no usable section; damage ends the
    // reading and keeps the sections before it.
    bool readSections(const QString &path);
    [[nodiscard]] bool writeSections(const QString &path) const;
    // header.dat at start-up: the file's sections, or the default ones.
    void loadHeaderFile(const QString &path);
    // header.dat at the end: the sections, or no file while the default sections follow
    // the pane, so the next start finds them following it still.
    [[nodiscard]] bool saveHeaderFile(const QString &path) const;

private:
    int fieldOfLabel(const QString &label) const;
    bool isColumn(int field) const;
    bool isInsertable(int field) const;
    int indexOfField(int field) const;

    QList<ListField> fields_;
    QList<HeaderSection> sections_;
    int fillingField_ = -1; // of the default sections, until the user changes them
};

// Header templates (".hdr", "THeaderTemplateList"): named copies of the header's sections, in header.dat's format.
class HeaderTemplateList : public settings::SettingsTemplateList {
public:
    explicit HeaderTemplateList(ListHeaderModel &header);
};

} // namespace numora::mainwin
