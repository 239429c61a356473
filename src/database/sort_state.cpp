#include "database/sort_state.h"

#include <QFile>
#include <QSaveFile>

namespace numora::database {

SortDescriptor SortState::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.read(4);
    if (bytes.size() < 4)
        return {};
    auto byte = [&](int i) { return int(static_cast<unsigned char>(bytes[i])); };
    return SortDescriptor{byte(0), byte(1) != 0, byte(2), byte(3) != 0};
}

bool SortState::save(const QString &path, const SortDescriptor &descriptor)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const char bytes[4] = {char(descriptor.primary), char(descriptor.primaryDescending ? 1 : 0),
                           char(descriptor.secondary), char(descriptor.secondaryDescending ? 1 : 0)};
    file.write(bytes, 4);
    return file.commit();
}

bool SortState::buildKeys(const store::FieldList &fields)
{
    const auto plain = plainSortKey(fields, descriptor);
    if (!plain)
        return false;
    plainKey = *plain;
    markedKey = markedSortKey(fields, *plain);
    return true;
}

} // namespace numora::database
