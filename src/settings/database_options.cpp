#include "settings/database_options.h"

#include "settings/program_options.h"
#include "settings/scrambled_text.h"
#include "store/folder_lookup.h"

#include <QDir>

namespace numora::settings {

namespace {

constexpr int kReservedTexts = 4;
constexpr int kFontNameBytes = 255;
constexpr int kFontStylePadding = 3;

template <typename Enum>
Enum readEnum(ValueReader &reader)
{
    return Enum(reader.readRawInt16());
}

template <typename Enum>
void writeEnum(ValueWriter &writer, Enum value)
{
    writer.writeRawInt16(qint16(value));
}

bool readFlag(ValueReader &reader) { return reader.readRawUInt8() != 0; }

void writeFlag(ValueWriter &writer, bool value) { writer.writeRawUInt8(value ? 1 : 0); }

FontSetting readFont(ValueReader &reader)
{
    ValueReader block(reader.readRaw(kFontBlockSize));
    FontSetting font;
    const QByteArray name = block.readRaw(kFontNameBytes + 1);
    font.name = QString::fromUtf8(name.mid(1, quint8(name.at(0))));
    font.style = block.readRawUInt8();
    block.readRaw(kFontStylePadding);
    font.pointSize = block.readRawInt32();
    return font;
}

void writeFont(ValueWriter &writer, const FontSetting &font)
{
    const QByteArray name = shortTextBytes(font.name);
    writer.writeRawUInt8(quint8(name.size()));
    writer.writeRaw(name.leftJustified(kFontNameBytes, '\0'));
    writer.writeRawUInt8(font.style);
    writer.writeRaw(QByteArray(kFontStylePadding, '\0'));
    writer.writeRawInt32(font.pointSize);
}

void readFields(ValueReader &reader, StoredDatabaseOptions &stored)
{
    DatabaseOptions &o = stored.options;
    o.menusAndSpeedBars = readEnum<MenusAndSpeedBars>(reader);
    o.reserved2 = reader.readRawInt16();
    o.reserved3 = reader.readRawInt16();
    o.hintMessages = readEnum<HintMessages>(reader);
    o.letterTabs = readEnum<LetterTabs>(reader);
    o.initialDataFile = readEnum<InitialDataFile>(reader);
    o.reserved7 = reader.readRawInt16();
    o.filterDateFormat = readEnum<DateFormat>(reader);
    o.speedBarLocation = readEnum<SpeedBarLocation>(reader);
    o.recordDeleteMode = readEnum<RecordDeleteMode>(reader);
    stored.lastUsed.tableFileName = readScrambledText(reader, kOptionsFileKey);
    stored.lastUsed.folder = readScrambledText(reader, kOptionsFileKey);
    o.startHidden = readEnum<StartHidden>(reader);
    o.letterTabsLocation = readEnum<LetterTabsLocation>(reader);
    o.stayOnTop = readFlag(reader);
    o.displayTips = readFlag(reader);
    for (int i = 0; i < kReservedTexts; ++i)
        readScrambledText(reader, kOptionsFileKey);
    o.recordButtonFont = readFont(reader);
    o.lineEditFont = readFont(reader);
    o.memoEditFont = readFont(reader);
    o.autoFill = readFlag(reader);
    o.displayReminders = readFlag(reader);
    o.displayTrayIcon = readFlag(reader);
}

// The last-used database is not reopened for a user kept out of the public folder.
bool mayReopen(const DatabaseLocation &lastUsed, const Folders &folders, const LoginState &login)
{
    return login.supervisor || login.accessLevel != AccessLevel::None
           || !isSameFolderIgnoringCase(lastUsed.folder, folders.publicDatabaseFolder());
}

// Whether `folder` is the data root or lies inside it (letter case counts).
bool liesInside(const QString &folder, const QString &dataRoot)
{
    const QString root = QDir::cleanPath(dataRoot);
    const QString path = QDir::cleanPath(folder);
    return path == root || path.startsWith(root.endsWith(u'/') ? root : root + u'/');
}

} // namespace

QByteArray encodeDatabaseOptions(const DatabaseOptions &o, const DatabaseLocation &current)
{
    ValueWriter writer;
    writeEnum(writer, o.menusAndSpeedBars);
    writer.writeRawInt16(o.reserved2);
    writer.writeRawInt16(o.reserved3);
    writeEnum(writer, o.hintMessages);
    writeEnum(writer, o.letterTabs);
    writeEnum(writer, o.initialDataFile);
    writer.writeRawInt16(o.reserved7);
    writeEnum(writer, o.filterDateFormat);
    writeEnum(writer, o.speedBarLocation);
    writeEnum(writer, o.recordDeleteMode);
    writeScrambledText(writer, current.tableFileName, kOptionsFileKey);
    writeScrambledText(writer, current.folder, kOptionsFileKey);
    writeEnum(writer, o.startHidden);
    writeEnum(writer, o.letterTabsLocation);
    writeFlag(writer, o.stayOnTop);
    writeFlag(writer, o.displayTips);
    for (int i = 0; i < kReservedTexts; ++i)
        writeScrambledText(writer, QString(), kOptionsFileKey);
    writeFont(writer, o.recordButtonFont);
    writeFont(writer, o.lineEditFont);
    writeFont(writer, o.memoEditFont);
    writeFlag(writer, o.autoFill);
    writeFlag(writer, o.displayReminders);
    writeFlag(writer, o.displayTrayIcon);
    return writer.bytes();
}

StoredDatabaseOptions decodeDatabaseOptions(const QByteArray &bytes)
{
    StoredDatabaseOptions stored;
    ValueReader reader(bytes);
    try {
        readFields(reader, stored);
    } catch (const StreamError &) {
        // An older or shorter file: the fields after its end keep their defaults.
    }
    return stored;
}

bool loadDatabaseOptions(DatabaseOptions &options, Folders &folders, QString &recordTableFileName,
                         const LoginState &login)
{
    folders.settingsFolder = folders.databaseFolder;
    const std::optional<QByteArray> bytes =
        readSettingsFile(store::resolveInFolder(folders.settingsFolder, kOptionsFile));
    const StoredDatabaseOptions stored = decodeDatabaseOptions(bytes.value_or(QByteArray()));
    options = stored.options;

    const DatabaseLocation &lastUsed = stored.lastUsed;
    if (options.initialDataFile == InitialDataFile::LoadLastUsed
        && !lastUsed.tableFileName.isEmpty() && !lastUsed.folder.isEmpty()
        && mayReopen(lastUsed, folders, login)) {
        recordTableFileName = lastUsed.tableFileName;
        if (liesInside(lastUsed.folder, folders.dataRoot))
            folders.databaseFolder = lastUsed.folder;
    }
    return bytes.has_value();
}

bool saveDatabaseOptions(const DatabaseOptions &options, const Folders &folders,
                         const QString &recordTableFileName)
{
    return writeSettingsFile(store::resolveInFolder(folders.settingsFolder, kOptionsFile),
                             encodeDatabaseOptions(options, {recordTableFileName,
                                                             folders.databaseFolder}));
}

} // namespace numora::settings
