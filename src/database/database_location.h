#pragma once
// Where a database lives: its record table's file name and the folder that holds it
// with the master table, the copy buffer and the lookup lists. The database options
// remember the last one used; the database manager opens the one it is given.

#include <QString>

namespace numora::database {

struct DatabaseLocation {
    QString tableFileName;
    QString folder;

    bool operator==(const DatabaseLocation &) const = default;
};

} // namespace numora::database
