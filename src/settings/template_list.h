#pragma once
// Template lists: a list file (filters.tml, headers.tml, labels.tml) that maps names the
// user gave to one settings file per name, tml<n>.<ext>, in the settings folder. What a
// settings file holds is up to the list's kind: it saves the current settings (the
// filter, the list header, the field names) to a file and loads them back.
//
// List file: a list container of items, each the name and then the file name as tagged
// strings. Names compare exactly, letter case included.

#include "settings/field_names.h"

#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace numora::settings {

inline constexpr char kFilterTemplatesFile[] = "filters.tml";
inline constexpr char kHeaderTemplatesFile[] = "headers.tml";
inline constexpr char kLabelTemplatesFile[] = "labels.tml";

// A settings file name holds at most this many characters.
constexpr int kTemplateFileNameMaxLength = 12;

class TemplateKind {
public:
    virtual ~TemplateKind() = default;
    // With its dot, e.g. ".flt".
    virtual QString extension() const = 0;
    // Writes the current settings to `path`; true on success.
    [[nodiscard]] virtual bool save(const QString &path) = 0;
    // Replaces the current settings with those in `path`; true on success.
    [[nodiscard]] virtual bool load(const QString &path) = 0;
};

// One named template and the settings file that holds it ("TTemplate").
struct SettingsTemplate {
    QString name;
    QString fileName;
    bool operator==(const SettingsTemplate &) const = default;
};

// The templates of one kind, in the order of their list file ("TTemplateList").
class SettingsTemplateList {
public:
    explicit SettingsTemplateList(std::unique_ptr<TemplateKind> kind);
    virtual ~SettingsTemplateList();

    // The folder of the settings files; it changes whenever database options are loaded.
    void setSettingsFolder(const QString &folder) { settingsFolder_ = folder; }
    const QString &settingsFolder() const { return settingsFolder_; }

    // Replaces the items with those of the list file. A missing file gives an empty list;
    // damage ends the reading silently, keeping the items before it.
    void loadList(const QString &path);
    [[nodiscard]] bool saveList(const QString &path) const;
    // The same, telling the user with the system's reason when the list cannot be written.
    bool saveList(const QString &path, Prompt &prompt) const;

    // Saves the current settings as a new template. False, with nothing changed, when
    // the name is taken, no file name is free or the kind cannot save.
    [[nodiscard]] bool add(const QString &name);
    // Index of the first item called `name`, or -1.
    int find(const QString &name) const;
    // Loads the template called `name` into the current settings; false when the name is
    // unknown or the kind cannot load it.
    [[nodiscard]] bool load(const QString &name);
    // Removes the item and deletes its settings file; an index past the end does nothing.
    void remove(int index);

    const SettingsTemplate &item(int index) const { return items_.at(size_t(index)); }
    int count() const { return int(items_.size()); }
    void clear() { items_.clear(); }

    // "tml<n>" + extension, cut to 12 characters, for the smallest n in 1..32000 that no
    // item uses.
    std::optional<QString> freeFileName() const;

private:
    QString settingsFilePath(const QString &fileName) const;

    std::unique_ptr<TemplateKind> kind_;
    QString settingsFolder_;
    std::vector<SettingsTemplate> items_;
};

// Field-name templates (".lab", "TLabelTemplateList"): the field-name list as text lines. When a template
// cannot be loaded, the field names are read again from labels.dat beside it.
class LabelTemplateList : public SettingsTemplateList {
public:
    explicit LabelTemplateList(FieldNameList &fieldNames);
};

} // namespace numora::settings
