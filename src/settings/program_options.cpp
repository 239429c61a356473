#include "settings/program_options.h"

#include "settings/scrambled_text.h"
#include "store/folder_lookup.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace numora::settings {

namespace {

void readFields(ValueReader &reader, ProgramOptions &options)
{
    options.passwordMode = PasswordMode(reader.readRawInt16());
    options.publicFilesAccess = PublicFilesAccess(reader.readRawInt16());
    options.dataRoot = readScrambledText(reader, kOptionsFileKey);
    options.usersCount = UsersCount(reader.readRawInt16());
    options.supervisorPassword = readScrambledText(reader, kOptionsFileKey);
}

// Reads `folder`'s options.dat into `options`; false when there is no readable file.
bool readOptionsFile(const QString &folder, ProgramOptions &options)
{
    const std::optional<QByteArray> bytes =
        readSettingsFile(store::resolveInFolder(folder, kOptionsFile));
    if (bytes)
        decodeProgramOptions(*bytes, options);
    return bytes.has_value();
}

// Identifies a folder for the loop guard, seeing through symbolic links.
QString folderIdentity(const QString &folder)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(folder) : canonical;
}

} // namespace

QByteArray encodeProgramOptions(const ProgramOptions &options)
{
    ValueWriter writer;
    writer.writeRawInt16(qint16(options.passwordMode));
    writer.writeRawInt16(qint16(options.publicFilesAccess));
    writeScrambledText(writer, options.dataRoot, kOptionsFileKey);
    writer.writeRawInt16(qint16(options.usersCount));
    writeScrambledText(writer, options.supervisorPassword, kOptionsFileKey);
    return writer.bytes();
}

void decodeProgramOptions(const QByteArray &bytes, ProgramOptions &options)
{
    ValueReader reader(bytes);
    try {
        readFields(reader, options);
    } catch (const StreamError &) {
        // The fields after the end keep their values.
    }
}

QString dataRootFolder(const ProgramOptions &options, const QString &programFolder)
{
    if (options.dataRoot.isEmpty())
        return QDir::cleanPath(programFolder);
    return QDir::cleanPath(QDir(programFolder).absoluteFilePath(options.dataRoot));
}

ProgramOptionsLoad loadProgramOptions(ProgramOptions &options, Folders &folders)
{
    ProgramOptionsLoad result;
    options = ProgramOptions{};
    options.dataRoot = folders.programFolder;
    result.read = readOptionsFile(folders.programFolder, options);
    const QString namedDataRoot = options.dataRoot;

    // Each file of the chain replaces the security fields of the one before.
    QSet<QString> foldersRead{folderIdentity(folders.programFolder)};
    QString folder = folders.programFolder;
    QString next = dataRootFolder(options, folders.programFolder);
    while (next != folder && store::existsInFolder(next, kOptionsFile)
           && !foldersRead.contains(folderIdentity(next))) {
        foldersRead.insert(folderIdentity(next));
        result.read = readOptionsFile(next, options);
        folder = next;
        next = dataRootFolder(options, folders.programFolder);
    }
    options.dataRoot = namedDataRoot;

    const QString dataRoot = dataRootFolder(options, folders.programFolder);
    if (QFileInfo(dataRoot).isDir()) {
        folders.dataRoot = dataRoot;
    } else {
        result.missingDataRoot = dataRoot;
        folders.dataRoot = folders.programFolder;
    }
    folders.currentFolder = folders.programFolder;
    return result;
}

bool saveProgramOptions(const ProgramOptions &options, const Folders &folders)
{
    const QByteArray bytes = encodeProgramOptions(options);
    bool saved =
        writeSettingsFile(store::resolveInFolder(folders.programFolder, kOptionsFile), bytes);
    const QString dataRoot = dataRootFolder(options, folders.programFolder);
    if (dataRoot != QDir::cleanPath(folders.programFolder))
        saved = writeSettingsFile(store::resolveInFolder(dataRoot, kOptionsFile), bytes) && saved;
    return saved;
}

} // namespace numora::settings
