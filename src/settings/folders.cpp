#include "settings/folders.h"

#include "settings/settings_messages.h"

#include "core/log_categories.h"
#include "store/folder_lookup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace numora::settings {

Folders Folders::forProgramFolder(const QString &programFolder)
{
    Folders folders;
    folders.programFolder = QDir::cleanPath(programFolder);
    folders.dataRoot = folders.programFolder;
    folders.currentFolder = folders.programFolder;
    return folders;
}

QString Folders::publicDatabaseFolder() const
{
    return store::resolveInFolder(dataRoot, kPublicFolderName);
}

QString Folders::privateDatabaseFolder(int accountNumber) const
{
    return store::resolveInFolder(dataRoot, QStringLiteral("data%1").arg(accountNumber, 4, 10,
                                                                         QLatin1Char('0')));
}

QString backupFolder(const QString &databaseFolder)
{
    return store::resolveInFolder(databaseFolder, kBackupFolderName);
}

bool isSameFolderIgnoringCase(const QString &a, const QString &b)
{
    return QDir::cleanPath(a).compare(QDir::cleanPath(b), Qt::CaseInsensitive) == 0;
}

void ensureDataFolders(Folders &folders, Prompt &prompt)
{
    const QString publicFolder = folders.publicDatabaseFolder();
    if (!QFileInfo(backupFolder(publicFolder)).isDir()) {
        QDir().mkdir(publicFolder); // when this fails, so does BACKUP below
        if (!QDir().mkdir(backupFolder(publicFolder)))
            prompt.inform(message::kCouldNotCreateDataDirectory, MessageKind::Warning);
    }
    folders.currentFolder = folders.programFolder;
}

QString chooseProgramFolder(const ProgramFolderCandidates &candidates)
{
    if (!candidates.homeVariable.isEmpty())
        return QDir::cleanPath(candidates.homeVariable);
    const QFileInfo executableFolder(candidates.executableFolder);
    if (!candidates.executableFolder.isEmpty() && executableFolder.isWritable()
        && store::existsInFolder(candidates.executableFolder, kResourceMarkerFile))
        return QDir::cleanPath(candidates.executableFolder);
    return QDir::cleanPath(candidates.applicationDataFolder);
}

QString installedResourceFolder(const QString &executableFolder)
{
    return QDir::cleanPath(executableFolder + QStringLiteral("/../share/numora"));
}

QString locateResource(const QString &relativePath, const QString &programFolder,
                       const QString &executableFolder)
{
    QStringList folders{programFolder};
    if (!executableFolder.isEmpty())
        folders.prepend(installedResourceFolder(executableFolder));
    for (const QString &folder : folders) {
        const QString path = QDir::cleanPath(folder + QLatin1Char('/') + relativePath);
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}

bool copyMissingResources(const QString &resourceFolder, const QString &programFolder)
{
    bool copiedAll = true;
    const QDir source(resourceFolder);
    for (const QFileInfo &entry :
         source.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
        const QString target = store::resolveInFolder(programFolder, entry.fileName());
        if (entry.isDir()) {
            copiedAll = QDir().mkpath(target) && copyMissingResources(entry.filePath(), target)
                        && copiedAll;
        } else if (!QFileInfo::exists(target)) {
            copiedAll = QFile::copy(entry.filePath(), target)
                        && QFile::setPermissions(target, QFile::permissions(target)
                                                             | QFile::WriteOwner)
                        && copiedAll;
        }
    }
    return copiedAll;
}

QString setUpProgramFolder()
{
    ProgramFolderCandidates candidates;
    candidates.homeVariable = qEnvironmentVariable("NUMORA_HOME");
    if (QCoreApplication::instance())
        candidates.executableFolder = QCoreApplication::applicationDirPath();
    candidates.applicationDataFolder =
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);

    const QString programFolder = chooseProgramFolder(candidates);
    QDir().mkpath(programFolder);
    if (!candidates.executableFolder.isEmpty()
        && programFolder != QDir::cleanPath(candidates.executableFolder))
        if (!copyMissingResources(installedResourceFolder(candidates.executableFolder), programFolder))
            qCWarning(lcSettings) << "not every installed file could be copied to" << programFolder;
    return programFolder;
}

} // namespace numora::settings
