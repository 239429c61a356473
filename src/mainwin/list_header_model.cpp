#include "mainwin/list_header_model.h"

#include "mainwin/record_list_geometry.h"
#include "core/log_categories.h"
#include "core/value_stream.h"

#include <algorithm>
#include <numeric>
#include <QFile>
#include <QFileInfo>

namespace numora::mainwin {

namespace {

struct DefaultSection {
    int field;
    int width;
};
// The description takes what the header leaves; 50 pixels is what it keeps until the
// header's width is known.
constexpr DefaultSection kDefaultSections[] = {{0, 50}, {1, 100}};
constexpr int kFillingDefaultField = 0;

// A section gives half its width to a new last section only when it is this wide.
constexpr int kMinWidthToShare = 20;

struct StoredSection {
    QString text;
    int width = 0;
};

QList<StoredSection> readStoredSections(const QByteArray &bytes)
{
    QList<StoredSection> stored;
    ValueReader reader(bytes);
    const bool whole = readList(reader, [&stored](ValueReader &r) {
        StoredSection section;
        section.text = r.readString();
        section.width = r.readInteger();
        stored.append(section);
    });
    if (!whole)
        qCInfo(lcSettings) << "damage ends the stored header sections after" << stored.size();
    return stored;
}

class HeaderTemplateKind : public settings::TemplateKind {
public:
    explicit HeaderTemplateKind(ListHeaderModel &header) : header_(header) {}

    QString extension() const override { return QStringLiteral(".hdr"); }
    bool save(const QString &path) override { return header_.writeSections(path); }
    bool load(const QString &path) override { return header_.readSections(path); }

private:
    ListHeaderModel &header_;
};

} // namespace

QList<int> fitSectionWidths(QList<int> widths, int headerWidth, int filling)
{
    const qsizetype count = widths.size();
    if (count == 0)
        return {};
    const int reachable = std::clamp(int(headerWidth / count), kMinSectionWidth, kReachableSectionWidth);
    if (filling >= 0 && filling < count) {
        const qint64 others = std::accumulate(widths.begin(), widths.end(), qint64(0)) - widths[filling];
        widths[filling] = int(std::clamp<qint64>(headerWidth - others, reachable, std::max(headerWidth, reachable)));
    }
    QList<int> fitted;
    qint64 used = 0;
    for (qsizetype i = 0; i < count; ++i) {
        const qint64 room = headerWidth - used - qint64(count - 1 - i) * reachable;
        const int width = int(std::max<qint64>(std::min<qint64>(widths[i], room), kMinSectionWidth));
        fitted.append(width);
        used += width;
    }
    return fitted;
}

bool canBeColumn(store::FieldType type)
{
    return type == store::FieldType::Character || type == store::FieldType::Numeric
           || type == store::FieldType::Date;
}

ListHeaderModel::ListHeaderModel(QList<ListField> fields) : fields_(std::move(fields))
{
    resetToDefault();
}

void ListHeaderModel::setFields(QList<ListField> fields)
{
    fields_ = std::move(fields);
    QList<HeaderSection> kept;
    for (HeaderSection section : sections_) {
        if (section.field < fields_.size() && canBeColumn(fields_[section.field].type)) {
            section.text = fields_[section.field].label;
            kept.append(section);
        }
    }
    sections_ = kept;
    if (sections_.isEmpty())
        resetToDefault();
}

QList<int> ListHeaderModel::widths() const
{
    QList<int> widths;
    for (const HeaderSection &section : sections_)
        widths.append(section.width);
    return widths;
}

QList<int> ListHeaderModel::shownWidths(int headerWidth) const
{
    return fitSectionWidths(widths(), headerWidth, indexOfField(fillingField_));
}

QList<int> ListHeaderModel::shares(int headerWidth) const
{
    return sectionShares(shownWidths(headerWidth), headerWidth);
}

void ListHeaderModel::resetToDefault()
{
    sections_.clear();
    for (const DefaultSection &section : kDefaultSections)
        if (section.field < fields_.size() && canBeColumn(fields_[section.field].type))
            sections_.append({section.field, fields_[section.field].label, section.width});
    fillingField_ = kFillingDefaultField;
}

void ListHeaderModel::fitToPane(int headerWidth)
{
    if (const int filling = indexOfField(fillingField_); filling >= 0 && headerWidth > 0)
        sections_[filling].width = shownWidths(headerWidth).at(filling);
}

QList<int> ListHeaderModel::insertableFields() const
{
    QList<int> result;
    for (int field = 0; field < fields_.size(); ++field)
        if (isInsertable(field))
            result.append(field);
    return result;
}

QList<int> ListHeaderModel::removableFields() const
{
    QList<int> result;
    for (int field = 0; field < fields_.size(); ++field)
        if (isColumn(field))
            result.append(field);
    return result;
}

bool ListHeaderModel::insertField(int field, int headerWidth)
{
    if (!isInsertable(field))
        return false;
    const qint64 used = std::accumulate(
        sections_.begin(), sections_.end(), qint64(0),
        [](qint64 sum, const HeaderSection &section) { return sum + section.width; });
    int width = int(std::max<qint64>(headerWidth - used, 0));
    if (width < kMinSectionWidth) {
        width = kMinSectionWidth;
        const auto donor =
            std::find_if(sections_.rbegin(), sections_.rend(), [](const HeaderSection &section) {
                return section.width >= kMinWidthToShare;
            });
        if (donor != sections_.rend()) {
            width = donor->width / 2;
            donor->width -= width;
        }
    }
    sections_.append({field, fields_[field].label, width});
    fillingField_ = -1;
    return true;
}

bool ListHeaderModel::removeField(int field)
{
    const int index = indexOfField(field);
    if (index < 0 || !canRemoveField())
        return false;
    sections_.removeAt(index);
    fillingField_ = -1;
    return true;
}

bool ListHeaderModel::moveSection(int from, int to)
{
    const auto inRange = [this](int index) { return index >= 0 && index < sections_.size(); };
    if (!inRange(from) || !inRange(to) || from == to)
        return false;
    sections_.move(from, to);
    fillingField_ = -1;
    return true;
}

bool ListHeaderModel::resizeSection(int index, int width)
{
    if (index < 0 || index >= sections_.size())
        return false;
    const int newWidth = std::max(width, kMinSectionWidth);
    if (sections_[index].width == newWidth)
        return false;
    sections_[index].width = newWidth;
    fillingField_ = -1;
    return true;
}

bool ListHeaderModel::readSections(const QString &path)
{
    const std::optional<QByteArray> bytes = readSettingsFile(path);
    if (!bytes)
        return false;
    QList<HeaderSection> read;
    for (const StoredSection &stored : readStoredSections(*bytes)) {
        const int field = fieldOfLabel(stored.text);
        const bool taken = std::any_of(read.begin(), read.end(), [field](const auto &section) {
            return section.field == field;
        });
        if (field >= 0 && canBeColumn(fields_[field].type) && !taken)
            read.append({field, fields_[field].label, std::max(stored.width, kMinSectionWidth)});
    }
    if (read.isEmpty())
        return false;
    sections_ = read;
    fillingField_ = -1;
    return true;
}

bool ListHeaderModel::writeSections(const QString &path) const
{
    return writeListFile(path, [this](ValueWriter &writer) {
        for (const HeaderSection &section : sections_) {
            writer.writeString(section.text);
            writer.writeInteger(section.width);
        }
    });
}

void ListHeaderModel::loadHeaderFile(const QString &path)
{
    if (!readSections(path))
        resetToDefault();
}

bool ListHeaderModel::saveHeaderFile(const QString &path) const
{
    if (fillingField_ < 0)
        return writeSections(path);
    return !QFileInfo::exists(path) || QFile::remove(path);
}

int ListHeaderModel::fieldOfLabel(const QString &label) const
{
    for (int field = 0; field < fields_.size(); ++field)
        if (fields_[field].label.compare(label, Qt::CaseInsensitive) == 0)
            return field;
    return -1;
}

bool ListHeaderModel::isColumn(int field) const
{
    return indexOfField(field) >= 0;
}

bool ListHeaderModel::isInsertable(int field) const
{
    return field >= 0 && field < fields_.size() && canBeColumn(fields_[field].type)
           && !isColumn(field);
}

int ListHeaderModel::indexOfField(int field) const
{
    for (int index = 0; index < sections_.size(); ++index)
        if (sections_[index].field == field)
            return index;
    return -1;
}

HeaderTemplateList::HeaderTemplateList(ListHeaderModel &header)
    : settings::SettingsTemplateList(std::make_unique<HeaderTemplateKind>(header))
{
}

} // namespace numora::mainwin
