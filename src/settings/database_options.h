#pragma once
// Display and behaviour options of a database folder: options.dat in the settings folder.
// Fixed little-endian fields, 2-byte values signed, 1-byte values 0 or 1, texts
// scrambled with kOptionsFileKey, in this order:
//   1-10  ten 2-byte values (menus and speed bars ... record delete mode)
//   11-12 the last record table file name and database folder (texts)
//   13-14 start hidden, letter tabs location (2 bytes each)
//   15-16 stay on top, display tips on start-up (1 byte each)
//   17-20 four reserved texts (written empty), three font blocks, auto-fill, reminders
//   21    display tray icon
// Older files end after field 16 or 20; the missing fields keep their defaults.

#include "database/database_location.h"
#include "settings/date_formats.h"
#include "settings/folders.h"
#include "settings/login_state.h"

#include <QByteArray>
#include <QString>

namespace numora::settings {

enum class MenusAndSpeedBars : qint16 { Both = 0, OnlyMenus = 1, OnlySpeedBars = 2 };
enum class HintMessages : qint16 { Show = 0, Hide = 1 };
enum class LetterTabs : qint16 { Use = 0, DontUse = 1 };
enum class InitialDataFile : qint16 { LoadDefault = 0, LoadLastUsed = 1 };
enum class SpeedBarLocation : qint16 { Top = 0, Bottom = 1 };
enum class RecordDeleteMode : qint16 { AskToConfirm = 0, Immediate = 1 };
enum class StartHidden : qint16 { Off = 0, On = 6 };
enum class LetterTabsLocation : qint16 { Center = 0, Right = 1 };

namespace font_style {
constexpr quint8 Bold = 1;
constexpr quint8 Italic = 2;
constexpr quint8 Underline = 4;
constexpr quint8 StrikeOut = 8;
} // namespace font_style

// Stored as a 264-byte block: the name as a length byte and 255 bytes, the style flags
// and 3 zero bytes, the size in points as a signed 32-bit integer.
struct FontSetting {
    QString name = QStringLiteral("Arial");
    quint8 style = font_style::Bold;
    qint32 pointSize = 10;

    bool operator==(const FontSetting &) const = default;
};

constexpr int kFontBlockSize = 264;

struct DatabaseOptions {
    MenusAndSpeedBars menusAndSpeedBars = MenusAndSpeedBars::Both;
    qint16 reserved2 = 1;
    qint16 reserved3 = 0;
    HintMessages hintMessages = HintMessages::Show;
    LetterTabs letterTabs = LetterTabs::Use;
    InitialDataFile initialDataFile = InitialDataFile::LoadLastUsed;
    qint16 reserved7 = 0;
    DateFormat filterDateFormat = DateFormat::MonthDayYear;
    SpeedBarLocation speedBarLocation = SpeedBarLocation::Bottom;
    RecordDeleteMode recordDeleteMode = RecordDeleteMode::AskToConfirm;
    StartHidden startHidden = StartHidden::Off;
    LetterTabsLocation letterTabsLocation = LetterTabsLocation::Center;
    bool stayOnTop = false;
    bool displayTips = true;
    FontSetting recordButtonFont;
    FontSetting lineEditFont;
    FontSetting memoEditFont;
    bool autoFill = true;
    bool displayReminders = true;
    bool displayTrayIcon = false;

    bool operator==(const DatabaseOptions &) const = default;
};

// The database a run had open: fields 11 and 12 of the file.
using database::DatabaseLocation;

struct StoredDatabaseOptions {
    DatabaseOptions options;
    DatabaseLocation lastUsed;
};

QByteArray encodeDatabaseOptions(const DatabaseOptions &options, const DatabaseLocation &current);
// Reads the fields in order; the fields after the end of the file keep their defaults.
StoredDatabaseOptions decodeDatabaseOptions(const QByteArray &bytes);

// Makes the database folder the settings folder and reads its options.dat into `options`
// (defaults when there is none); false when there was no readable file. Reopens the
// last-used database when the file asks for it: its record table file name always, its
// folder only when it lies inside the data root. A user without access to the public
// folder is not put back into it.
bool loadDatabaseOptions(DatabaseOptions &options, Folders &folders, QString &recordTableFileName,
                         const LoginState &login);

// Writes options.dat to the settings folder with the open database as the last used one.
// Failures are not reported; the result says whether the write succeeded.
[[nodiscard]] bool saveDatabaseOptions(const DatabaseOptions &options, const Folders &folders,
                         const QString &recordTableFileName);

} // namespace numora::settings
