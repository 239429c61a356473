#pragma once
// The folders a run works in. The program folder holds the table templates, the
// program-wide options.dat, users.lst, hints.txt and the stock label files; the data root
// holds the public database folder "DATA" and one private folder "data0001" ... per user
// account, each with a "BACKUP" subfolder. The database folder is that of the open
// database; the settings folder becomes the database folder whenever the database
// options are loaded, and holds every other settings file.
//
// Where the program's steps would make a folder the process's working folder, we record
// it in `currentFolder` instead: the working folder is process-wide state that nothing
// here should change behind other code's back. Paths have no trailing separator.

#include "core/prompt.h"

#include <QString>

namespace numora::settings {

inline constexpr char kPublicFolderName[] = "DATA";
inline constexpr char kBackupFolderName[] = "BACKUP";

struct Folders {
    QString programFolder;
    QString dataRoot;
    QString databaseFolder;
    QString settingsFolder;
    QString currentFolder;

    // The state after the first start-up step: the data root is the program folder,
    // which is also current.
    static Folders forProgramFolder(const QString &programFolder);

    // "DATA" under the data root (an existing folder of that name in any letter case).
    QString publicDatabaseFolder() const;
    // "data" and the account number in four digits under the data root.
    QString privateDatabaseFolder(int accountNumber) const;
};

QString backupFolder(const QString &databaseFolder);

// Folder paths compared ignoring letter case and redundant separators, as the read-only
// test and the last-used-database rule compare them.
bool isSameFolderIgnoringCase(const QString &a, const QString &b);

// Makes sure the public database folder and its BACKUP subfolder exist, creating them when
// needed; shows "Could not Create Data Directory!" (warning) when BACKUP cannot be made.
// The program folder is current afterwards.
void ensureDataFolders(Folders &folders, Prompt &prompt);

// Where the program folder is on this platform. It must be writable: $NUMORA_HOME when
// set, else the executable's folder when it is writable and holds the program's resources
// (a portable install, marked by kResourceMarkerFile), else the user's application data
// folder.
inline constexpr char kResourceMarkerFile[] = "numora.resources";

struct ProgramFolderCandidates {
    QString homeVariable;
    QString executableFolder;
    QString applicationDataFolder;
};

QString chooseProgramFolder(const ProgramFolderCandidates &candidates);

// The read-only resources installed with an executable in <prefix>/bin: <prefix>/share/numora.
QString installedResourceFolder(const QString &executableFolder);

// Where a read-only resource shipped with the program (the manual) is: the installed copy
// first, since a copy an earlier version left in the program folder is never replaced by an
// upgrade; then the program folder, the only copy in a portable install. Empty when neither
// holds it.
QString locateResource(const QString &relativePath, const QString &programFolder,
                       const QString &executableFolder);

// Copies every file of `resourceFolder` (subfolders included) that `programFolder` lacks,
// whatever its letter case there; copies are writable. False when a copy failed.
[[nodiscard]] bool copyMissingResources(const QString &resourceFolder, const QString &programFolder);

// Chooses the program folder for this process, creates it and copies in the installed
// resources it lacks. Reads the executable's folder only while a QCoreApplication exists.
QString setUpProgramFolder();

} // namespace numora::settings
