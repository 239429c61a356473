#include "lifecycle/end_marker.h"

#include "core/help_topics.h"
#include "core/log_categories.h"
#include "core/product_name.h"
#include "core/value_stream.h"
#include "store/file_lock.h"
#include "store/posix_io.h"
#include "store/store_error.h"

#include <QDir>

#include <utility>

namespace numora::lifecycle {

namespace {

using store::FileLock;
using store::LockKind;

// The one byte every running copy locks; the open region of a table's data file, whose
// meaning (a handle that has the file open) is the same here.
constexpr off_t kRunLockByte = store::lock_region::Open;

// The marker is judged by its first line; more than this is never needed for that.
constexpr qint64 kMarkerReadLimit = 4096;

QString markerPath(const QString &settingsFolder)
{
    return QDir(settingsFolder).filePath(QString::fromLatin1(kEndMarkerFile));
}

// The marker is the text before the first line end, whichever convention wrote it.
QByteArray firstLine(const QByteArray &bytes)
{
    const qsizetype end = bytes.indexOf('\n');
    QByteArray line = end < 0 ? bytes : bytes.left(end);
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

bool endedCleanly(const std::optional<QByteArray> &bytes)
{
    return !bytes || firstLine(*bytes) == kCleanEndMarker;
}

// Marker and length are written in place: a rename would leave the other copies' locks
// on a file nobody opens any more. The marker goes first, so a crash between the two
// leaves it followed by old bytes on its line, which reads as an unclean end.
void writeInPlace(int fd, const QString &path, const char *marker)
{
    const QByteArray bytes(marker);
    store::posix::writeAt(fd, path, 0, bytes);
    store::posix::truncateFile(fd, path, bytes.size());
    store::posix::syncData(fd, path);
}

// Creates the file when it is missing; `created` tells the caller it held no marker.
store::posix::UniqueFd openMarker(const QString &path, bool &created)
{
    using store::posix::OpenMode;
    store::posix::UniqueFd fd = store::posix::openIfExists(path, OpenMode::ReadWrite);
    created = fd.get() < 0;
    if (!created)
        return fd;
    // Creating opens for writing only, and a shared lock needs a readable descriptor.
    store::posix::openFile(path, OpenMode::CreateOrTruncate);
    return store::posix::openFile(path, OpenMode::ReadWrite);
}

PreviousEnd markRunningWithoutLock(const QString &settingsFolder)
{
    const PreviousEnd previous =
        previousRunEndedCleanly(settingsFolder) ? PreviousEnd::Clean : PreviousEnd::Unclean;
    if (!writeEndMarker(settingsFolder, QString::fromLatin1(kRunningMarker)))
        qCWarning(lcSettings) << "shut.dat could not be marked as running in" << settingsFolder;
    return previous;
}

} // namespace

bool previousRunEndedCleanly(const QString &settingsFolder)
{
    return endedCleanly(readSettingsFile(markerPath(settingsFolder)));
}

bool writeEndMarker(const QString &settingsFolder, const QString &marker)
{
    return writeSettingsFile(markerPath(settingsFolder), marker.toLatin1());
}

PreviousEnd RunningMarker::markRunning(const QString &settingsFolder)
{
    fd_ = {};
    path_ = markerPath(settingsFolder);
    try {
        bool created = false;
        store::posix::UniqueFd fd = openMarker(path_, created);
        PreviousEnd previous = PreviousEnd::AnotherCopyRunning;
        if (FileLock::tryLock(fd.get(), kRunLockByte, 1, LockKind::Exclusive)) {
            const QByteArray bytes = store::posix::readAt(fd.get(), path_, 0, kMarkerReadLimit);
            previous = created || endedCleanly(bytes) ? PreviousEnd::Clean : PreviousEnd::Unclean;
        }
        // Either way this copy now runs: converting the exclusive lock never waits; waiting
        // for a shared one outlasts a copy that is starting or ending this very moment.
        FileLock::lock(fd.get(), kRunLockByte, 1, LockKind::Shared);
        writeInPlace(fd.get(), path_, kRunningMarker);
        fd_ = std::move(fd);
        return previous;
    } catch (const store::DatabaseError &error) {
        qCWarning(lcSettings) << "shut.dat cannot be locked, so another running copy cannot be"
                              << "told from an unclean end:" << error.what();
        return markRunningWithoutLock(settingsFolder);
    }
}

bool RunningMarker::markEndedCleanly(const QString &settingsFolder)
{
    const QString path = markerPath(settingsFolder);
    try {
        if (fd_.get() < 0 || path != path_) {
            // No hold from the start (it was never made, or was made elsewhere): take one now.
            bool created = false;
            fd_ = openMarker(path, created);
            path_ = path;
        }
        // Two copies ending together would each see the other's lock; letting go and
        // trying once more lets the later of the two find itself alone.
        bool alone = FileLock::tryLock(fd_.get(), kRunLockByte, 1, LockKind::Exclusive);
        if (!alone) {
            FileLock::unlock(fd_.get(), kRunLockByte, 1);
            alone = FileLock::tryLock(fd_.get(), kRunLockByte, 1, LockKind::Exclusive);
        }
        if (alone)
            writeInPlace(fd_.get(), path_, kCleanEndMarker);
        else
            qCInfo(lcSettings) << "another copy still runs on" << settingsFolder
                               << "and marks the end when it ends";
        fd_ = {}; // closing lets go of the lock
        return true;
    } catch (const store::DatabaseError &error) {
        qCWarning(lcSettings) << "shut.dat cannot be locked:" << error.what();
        fd_ = {};
        return writeEndMarker(settingsFolder, QString::fromLatin1(kCleanEndMarker));
    }
}

QString uncleanEndWarning()
{
    return productFullName()
           + QStringLiteral(" was not Closed normally!\rIt is STRONGLY recommended that you "
                            "Restore the last used database from your backup. For more "
                            "information click on Help.");
}

void checkPreviousEnd(RunningMarker &marker, const QString &settingsFolder, Prompt &prompt,
                      const std::function<void()> &beep)
{
    if (marker.markRunning(settingsFolder) != PreviousEnd::Unclean)
        return;
    if (beep)
        beep();
    prompt.ask(uncleanEndWarning(), MessageKind::Warning, Button::Ok | Button::Help,
               help::UncleanEnd);
}

} // namespace numora::lifecycle
