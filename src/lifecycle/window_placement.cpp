#include "lifecycle/window_placement.h"

#include "core/value_stream.h"

#include <QDir>
#include <QtEndian>

#include <algorithm>
#include <array>

namespace numora::lifecycle {

namespace {

QString placementPath(const QString &settingsFolder)
{
    return QDir(settingsFolder).filePath(QString::fromLatin1(kWindowPlacementFile));
}

// The fields in file order; one list so reading and writing cannot disagree.
std::array<qint32 WindowPlacement::*, 5> fieldsInFileOrder()
{
    return {&WindowPlacement::top, &WindowPlacement::left, &WindowPlacement::width,
            &WindowPlacement::height, &WindowPlacement::formPaneWidth};
}

// Every field is clamped, signs kept, so the rules below still tell a maximised window
// (all zeros) and an unusable size (zero or negative) from a normal one.
WindowPlacement withinSaneLimits(WindowPlacement placement)
{
    for (qint32 WindowPlacement::*field : fieldsInFileOrder())
        placement.*field = std::clamp(placement.*field, -kPlacementLimit, kPlacementLimit);
    return placement;
}

} // namespace

QByteArray encodeWindowPlacement(const WindowPlacement &placement)
{
    QByteArray bytes(kWindowPlacementSize, '\0');
    char *out = bytes.data();
    for (qint32 WindowPlacement::*field : fieldsInFileOrder()) {
        qToLittleEndian<qint32>(placement.*field, out);
        out += sizeof(qint32);
    }
    return bytes;
}

std::optional<WindowPlacement> decodeWindowPlacement(const QByteArray &bytes)
{
    if (bytes.size() < kWindowPlacementSize)
        return std::nullopt;
    WindowPlacement placement;
    const char *in = bytes.constData();
    for (qint32 WindowPlacement::*field : fieldsInFileOrder()) {
        placement.*field = qFromLittleEndian<qint32>(in);
        in += sizeof(qint32);
    }
    return placement;
}

std::optional<WindowPlacement> readWindowPlacement(const QString &settingsFolder)
{
    const std::optional<QByteArray> bytes =
        readSettingsFile(placementPath(settingsFolder));
    return bytes ? decodeWindowPlacement(*bytes) : std::nullopt;
}

bool writeWindowPlacement(const QString &settingsFolder, const WindowPlacement &placement)
{
    return writeSettingsFile(placementPath(settingsFolder),
                                       encodeWindowPlacement(placement));
}

WindowPlacement placementToSave(bool maximised, const QRect &geometry, int formPaneWidth)
{
    if (maximised)
        return {};
    return {geometry.top(), geometry.left(), geometry.width(), geometry.height(), formPaneWidth};
}

PlannedPlacement planPlacement(const std::optional<WindowPlacement> &stored,
                               int currentFormPaneWidth)
{
    PlannedPlacement plan;
    plan.formPaneWidth = currentFormPaneWidth;
    if (!stored)
        return plan;

    const WindowPlacement p = withinSaneLimits(*stored);
    if (p.width > 0 && p.height > 0 && p.formPaneWidth > 0) {
        plan.action = PlannedPlacement::Action::Apply;
        plan.geometry = QRect(p.left, p.top, p.width, p.height);
        if (p.formPaneWidth != currentFormPaneWidth)
            plan.formPaneWidth = std::max(p.formPaneWidth, kMinimumRestoredFormPaneWidth);
    } else if (p.width == 0 && p.height == 0 && p.formPaneWidth == 0) {
        plan.action = PlannedPlacement::Action::Maximise;
    }
    return plan;
}

} // namespace numora::lifecycle
