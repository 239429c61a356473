#pragma once
// wnd.dat in the settings folder: where the main window was when the last run ended, so
// the next run opens it there. 20 bytes, five signed 32-bit little-endian integers: top,
// left, width, height and the width of the record form pane. All five are 0 when the
// window was maximised; the next run then opens maximised and its normal geometry is the
// default placement (top of the screen, flush right).
//
// Pure data and rules: the main window reads its own geometry into placementToSave() and
// applies what planPlacement() decides.

#include <QByteArray>
#include <QRect>
#include <QString>

#include <optional>

namespace numora::lifecycle {

inline constexpr char kWindowPlacementFile[] = "wnd.dat";
inline constexpr int kWindowPlacementSize = 20;

// The record form pane may not be narrower than this when a stored width is applied at
// construction; later resizes allow a narrower pane.
inline constexpr int kMinimumRestoredFormPaneWidth = 280;

// No desktop reaches this far (X11 itself stops at 16-bit coordinates), so a stored
// value beyond it comes from a damaged file. Positions are kept within
// -kPlacementLimit..kPlacementLimit and sizes below it, so no sum of them can overflow.
inline constexpr qint32 kPlacementLimit = 32767;

struct WindowPlacement {
    qint32 top = 0;
    qint32 left = 0;
    qint32 width = 0;
    qint32 height = 0;
    qint32 formPaneWidth = 0;

    bool operator==(const WindowPlacement &) const = default;
};

QByteArray encodeWindowPlacement(const WindowPlacement &placement);
// Nothing when the bytes are too few to hold a placement; bytes past the record are ignored.
std::optional<WindowPlacement> decodeWindowPlacement(const QByteArray &bytes);

// Nothing when wnd.dat is missing, unreadable or short.
std::optional<WindowPlacement> readWindowPlacement(const QString &settingsFolder);
// Failures are ignored by the end sequence; the result is there for tests.
[[nodiscard]] bool writeWindowPlacement(const QString &settingsFolder, const WindowPlacement &placement);

// What the main window records when it is destroyed: its normal geometry and pane width,
// or all zeros when it is maximised.
WindowPlacement placementToSave(bool maximised, const QRect &geometry, int formPaneWidth);

// What the main window does with the stored placement during its construction.
struct PlannedPlacement {
    enum class Action {
        KeepDefault, // no usable placement: the default placement stays
        Maximise,    // the window was maximised when the last run ended
        Apply,       // move and size the window to `geometry`
    };
    Action action = Action::KeepDefault;
    QRect geometry;
    // The record form pane width to use; the current one unless a stored width replaces it.
    int formPaneWidth = 0;

    bool operator==(const PlannedPlacement &) const = default;
};

// Stored values are brought within kPlacementLimit first; wnd.dat may be damaged.
PlannedPlacement planPlacement(const std::optional<WindowPlacement> &stored,
                               int currentFormPaneWidth);

} // namespace numora::lifecycle
