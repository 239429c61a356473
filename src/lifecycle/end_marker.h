#pragma once
// shut.dat in the settings folder tells the next start whether the last run ended
// normally. While the program runs it holds the running marker; the end sequence replaces
// it with the clean-end marker as its last word. A start that finds anything else (a run
// killed or crashed) warns the user once and then marks itself as running.
//
// Several copies may run on one settings folder (two users of one shared installation).
// Each running copy holds a shared byte-range lock on shut.dat (store::FileLock, far past
// the marker's bytes) from its start to its end, so a running marker whose lock is held
// belongs to a live copy and is no unclean end. The invariant the lock keeps: while any
// copy holds it, the file says "running". So a start judges the file only when it can
// take the lock exclusively, and an end writes the clean-end marker only when it can too,
// that is when no other copy is left; both write in place, so every copy's lock stays on
// the one file the next start opens. Where locks cannot be had (a read-only folder, a
// file system without them) the marker works as before, without the lock.
//
// The file holds only the marker, written without a line end; it is read up to the first
// line end. A missing or unreadable file counts as a clean end, so a first run is quiet.

#include "core/prompt.h"
#include "store/posix_io.h"

#include <QString>

#include <functional>

namespace numora::lifecycle {

inline constexpr char kEndMarkerFile[] = "shut.dat";
inline constexpr char kRunningMarker[] = "#10*";
inline constexpr char kCleanEndMarker[] = "@a$)";

// What the file alone says, with no regard to locks.
bool previousRunEndedCleanly(const QString &settingsFolder);

// Replaces shut.dat with `marker` through a temporary file, without any lock: the way of
// a folder where the lock cannot be had. The result is there for callers that report it.
[[nodiscard]] bool writeEndMarker(const QString &settingsFolder, const QString &marker);

enum class PreviousEnd {
    Clean,
    Unclean,            // the last run was killed or crashed
    AnotherCopyRunning, // the marker belongs to a copy that is still running
};

// This run's hold on shut.dat, from the start's check to the end sequence.
class RunningMarker {
public:
    // Destroyed without markEndedCleanly(), it lets go of the lock and leaves the running
    // marker, as a killed run would.

    // Judges how the last run on `settingsFolder` ended and marks this run as running
    // there, holding the lock until markEndedCleanly().
    PreviousEnd markRunning(const QString &settingsFolder);

    // Writes the clean-end marker unless another copy still runs on `settingsFolder` (the
    // last one to end writes it), and lets go of the lock. False when it could not be
    // written.
    [[nodiscard]] bool markEndedCleanly(const QString &settingsFolder);

private:
    QString path_;
    store::posix::UniqueFd fd_; // holds the lock while open
};

QString uncleanEndWarning();

// What the start does once the owner window is first active: when the previous run did
// not end cleanly, `beep` and show the warning (OK and Help); then mark this run as
// running. A marker left by a copy still running is no unclean end: nothing is shown.
void checkPreviousEnd(RunningMarker &marker, const QString &settingsFolder, Prompt &prompt,
                      const std::function<void()> &beep);

} // namespace numora::lifecycle
