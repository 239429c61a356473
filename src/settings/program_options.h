#pragma once
// Program-wide security options: options.dat in the program folder and, for a shared
// installation, in the data root. Five fields in this order, 2-byte values
// little-endian, texts scrambled with kOptionsFileKey:
//   password mode (2), public files access (2), data root (text), users count (2),
//   supervisor password (text).
//
// A file may name a data root that holds an options.dat of its own; loading follows
// that chain so the security fields come from the last file, while the data root stays
// the one the program folder's file names.

#include "settings/folders.h"

#include <QByteArray>
#include <QString>

namespace numora::settings {

inline constexpr char kOptionsFile[] = "options.dat";

enum class PasswordMode : qint16 { Required = 0, NotRequired = 1 };
enum class PublicFilesAccess : qint16 {
    PerAccount = 0, // the access each account grants
    ReadAndWrite = 1,
    ReadOnly = 2,
    None = 3,
};
enum class UsersCount : qint16 { SingleUser = 0, MultiUser = 1 };

struct ProgramOptions {
    PasswordMode passwordMode = PasswordMode::NotRequired;
    PublicFilesAccess publicFilesAccess = PublicFilesAccess::PerAccount;
    // As stored: an absolute path, or one relative to the program folder; empty stands
    // for the program folder.
    QString dataRoot;
    UsersCount usersCount = UsersCount::SingleUser;
    QString supervisorPassword;

    bool operator==(const ProgramOptions &) const = default;
};

QByteArray encodeProgramOptions(const ProgramOptions &options);
// Reads the fields in order into `options`; a file that ends early leaves the later
// fields as they were.
void decodeProgramOptions(const QByteArray &bytes, ProgramOptions &options);

// The data root `options` name, as an absolute path.
QString dataRootFolder(const ProgramOptions &options, const QString &programFolder);

struct ProgramOptionsLoad {
    // The last options.dat of the chain could be read.
    bool read = false;
    // Set when the data root named does not exist: an input-output error the caller
    // reports. The run then carries on with the program folder as its data root, while
    // the options keep the stored path so saving does not lose it.
    QString missingDataRoot;
};

// Resets `options` to the defaults and loads the chain starting in the program folder.
// A chain that leads back to a folder already read ends there. Sets folders.dataRoot to
// the data root in force and makes the program folder current.
ProgramOptionsLoad loadProgramOptions(ProgramOptions &options, Folders &folders);

// Writes options.dat to the program folder and, when the data root named differs from it,
// to the data root as well. Failures are not reported; the result says whether both
// writes succeeded.
[[nodiscard]] bool saveProgramOptions(const ProgramOptions &options, const Folders &folders);

} // namespace numora::settings
