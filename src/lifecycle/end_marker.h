#pragma once
// shut.dat in the settings folder tells the next start whether this run ended normally.
// While the program runs it holds the running marker; the end sequence replaces it with
// the clean-end marker as its last word. A start that finds anything else (a run killed
// or crashed) warns the user once and then marks itself as running.
//
// The file holds only the marker, written without a line end; it is read up to the first
// line end. A missing or unreadable file counts as a clean end, so a first run is quiet.

#include "core/prompt.h"

#include <QString>

#include <functional>

namespace numora::lifecycle {

inline constexpr char kEndMarkerFile[] = "shut.dat";
inline constexpr char kRunningMarker[] = "#10*";
inline constexpr char kCleanEndMarker[] = "@a$)";

bool previousRunEndedCleanly(const QString &settingsFolder);

// Replaces shut.dat with `marker`. A failed write is ignored by every caller (the run goes
// on); the result is there for tests.
[[nodiscard]] bool writeEndMarker(const QString &settingsFolder, const QString &marker);

QString uncleanEndWarning();

// What the start does once the owner window is first active: when the previous run did
// not end cleanly, `beep` and show the warning (OK and Help); then mark this run as
// running.
void checkPreviousEnd(const QString &settingsFolder, Prompt &prompt,
                      const std::function<void()> &beep);

} // namespace numora::lifecycle
