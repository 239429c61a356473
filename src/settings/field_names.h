#pragma once
// The field-name list: one name per record field in field-number order, kept in
// labels.dat in the settings folder. The form's labels show these names and every
// dialog offers them; a chosen name leads back to its column through the first entry
// that matches it, so a duplicated name always means the earlier field.

#include "core/prompt.h"

#include <QString>
#include <QStringList>

namespace numora::settings {

inline constexpr char kFieldNamesFile[] = "labels.dat";

class FieldNameList {
public:
    const QStringList &names() const { return names_; }
    void setNames(const QStringList &names) { names_ = names; }

    // Replaces the list with the lines of `path`; false (and an empty list) when the
    // file cannot be read.
    bool readFrom(const QString &path);
    [[nodiscard]] bool writeTo(const QString &path) const;

    // labels.dat in `settingsFolder`: a missing or unreadable file leaves the list empty.
    void loadLabels(const QString &settingsFolder);
    // Shows "Could not Save Options to a File!" when labels.dat cannot be written.
    bool saveLabels(const QString &settingsFolder, Prompt &prompt) const; // tells the user of a failure

    // Start-up fills an empty list from the captions of the form's field labels.
    void fillIfEmpty(const QStringList &captions);

    // The record table column of the first field called `name`, or -1.
    int columnOf(const QString &name) const;

private:
    QStringList names_;
};

} // namespace numora::settings
