#pragma once
// Who is working: filled by the login (the supervisor until someone else logs in) and
// read by the rules that depend on it. The folder the login opens is the database folder
// of Folders, so there is one place that says which folder is open.

#include "settings/folders.h"

#include <QString>

namespace numora::settings {

enum class AccessLevel { ReadWrite = 1, ReadOnly = 2, None = 3 };

struct LoginState {
    bool supervisor = true;
    QString userId;
    AccessLevel accessLevel = AccessLevel::ReadWrite;
};

// The program works read-only while a read-only user has the public database open.
inline bool worksReadOnly(const LoginState &login, const Folders &folders)
{
    return login.accessLevel == AccessLevel::ReadOnly
           && isSameFolderIgnoringCase(folders.databaseFolder, folders.publicDatabaseFolder());
}

} // namespace numora::settings
