#include "settings/template_list.h"

#include "core/log_categories.h"
#include "settings/settings_messages.h"
#include "core/value_stream.h"
#include "store/folder_lookup.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace numora::settings {

namespace {

constexpr int kMaxTemplateNumber = 32000;

// A file name from a list file names a file inside the settings folder and nothing else,
// since deleting the template deletes that file.
bool isPlainFileName(const QString &fileName)
{
    return !fileName.isEmpty() && fileName.size() <= kTemplateFileNameMaxLength
           && !fileName.contains(u'/') && !fileName.contains(u'\\') && fileName != u"."
           && fileName != u"..";
}

SettingsTemplate readTemplate(ValueReader &reader)
{
    SettingsTemplate item;
    item.name = reader.readString();
    item.fileName = reader.readString();
    if (!isPlainFileName(item.fileName))
        throw StreamError(QStringLiteral("A template names an unusable settings file."));
    return item;
}

class FieldNameTemplateKind : public TemplateKind {
public:
    explicit FieldNameTemplateKind(FieldNameList &fieldNames) : fieldNames_(fieldNames) {}

    QString extension() const override { return QStringLiteral(".lab"); }

    bool save(const QString &path) override { return fieldNames_.writeTo(path); }

    bool load(const QString &path) override
    {
        if (fieldNames_.readFrom(path))
            return true;
        fieldNames_.loadLabels(QFileInfo(path).path());
        return false;
    }

private:
    FieldNameList &fieldNames_;
};

} // namespace

SettingsTemplateList::SettingsTemplateList(std::unique_ptr<TemplateKind> kind) : kind_(std::move(kind)) {}

SettingsTemplateList::~SettingsTemplateList() = default;

void SettingsTemplateList::loadList(const QString &path)
{
    items_.clear();
    const bool whole = readListFile(path, [this](ValueReader &r) { items_.push_back(readTemplate(r)); });
    if (!whole && QFileInfo::exists(path)) // a missing list is no damage: there are no templates yet
        qCInfo(lcSettings) << "damage ends the templates of" << path << "after" << items_.size();
}

bool SettingsTemplateList::saveList(const QString &path, Prompt &prompt) const
{
    if (saveList(path))
        return true;
    prompt.inform(message::kCouldNotSaveTemplateList, MessageKind::Error, path);
    return false;
}

bool SettingsTemplateList::saveList(const QString &path) const
{
    return writeListFile(path, [this](ValueWriter &writer) {
        for (const SettingsTemplate &item : items_) {
            writer.writeString(item.name);
            writer.writeString(item.fileName);
        }
    });
}

bool SettingsTemplateList::add(const QString &name)
{
    if (find(name) >= 0)
        return false;
    const std::optional<QString> fileName = freeFileName();
    if (!fileName || !kind_->save(settingsFilePath(*fileName)))
        return false;
    items_.push_back(SettingsTemplate{name, *fileName});
    return true;
}

int SettingsTemplateList::find(const QString &name) const
{
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].name == name)
            return int(i);
    return -1;
}

bool SettingsTemplateList::load(const QString &name)
{
    const int index = find(name);
    return index >= 0 && kind_->load(settingsFilePath(item(index).fileName));
}

void SettingsTemplateList::remove(int index)
{
    if (index < 0 || index >= count())
        return;
    QFile::remove(settingsFilePath(item(index).fileName));
    items_.erase(items_.begin() + index);
}

std::optional<QString> SettingsTemplateList::freeFileName() const
{
    QSet<QString> used;
    for (const SettingsTemplate &item : items_)
        used.insert(item.fileName);
    for (int n = 1; n <= kMaxTemplateNumber; ++n) {
        const QString candidate =
            (QStringLiteral("tml") + QString::number(n) + kind_->extension())
                .left(kTemplateFileNameMaxLength);
        if (!used.contains(candidate))
            return candidate;
    }
    return std::nullopt;
}

QString SettingsTemplateList::settingsFilePath(const QString &fileName) const
{
    return store::resolveInFolder(settingsFolder_, fileName);
}

LabelTemplateList::LabelTemplateList(FieldNameList &fieldNames)
    : SettingsTemplateList(std::make_unique<FieldNameTemplateKind>(fieldNames))
{
}

} // namespace numora::settings
