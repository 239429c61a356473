#pragma once
// Which texts a field label may take. Labels name the fields everywhere (list header,
// sort bar, dialogs) and a name leads back to its field through the first match, so a
// label is never blank and never repeats another, letter case aside. The label's own
// current text counts as taken too: the user is told that nothing changed.

#include <QString>
#include <QStringList>

namespace numora::mainwin {

enum class LabelCheck { Accepted, Empty, Duplicate };

LabelCheck checkLabelText(const QString &text, const QStringList &labels);
// The error the user sees for a refused text; empty for an accepted one.
QString labelRefusalMessage(LabelCheck check);

} // namespace numora::mainwin
