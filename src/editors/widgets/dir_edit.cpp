#include "editors/widgets/dir_edit.h"

#include "platform/message_box_prompt.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFocusEvent>
#include <QTimer>

namespace numora::editors {

bool isExistingFolder(const QString &path)
{
    return !path.isEmpty() && QDir::isAbsolutePath(path) && QFileInfo(path).isDir();
}

TDirEdit::TDirEdit(QWidget *parent)
    : TMyBtnEdit(parent), ownPrompt_(std::make_unique<platform::MessageBoxPrompt>(this)),
      prompt_(ownPrompt_.get())
{
    resize(200, 24);
    setButtonHint(QStringLiteral("Click here to select a directory"));
}

TDirEdit::~TDirEdit() = default;

void TDirEdit::buttonClicked()
{
    if (isFieldReadOnly())
        return;
    // Qt's own chooser, not the system's, because it always offers a new folder.
    const QString chosen = QFileDialog::getExistingDirectory(
        this, QString(), text(), QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    if (chosen.isEmpty())
        return;
    setText(QDir::toNativeSeparators(chosen));
    emit changedByUser();
}

void TDirEdit::focusOutEvent(QFocusEvent *event)
{
    TMyBtnEdit::focusOutEvent(event);
    if (!validate_ || !movesBetweenControls(event->reason()) || isExistingFolder(text()))
        return;
    prompt_->inform(QString::fromLatin1(kInvalidDirectory), MessageKind::Error);
    // Taking the focus back from inside its own loss would fight the focus change
    // still under way.
    QTimer::singleShot(0, this, [this] { setFocus(Qt::OtherFocusReason); });
}

} // namespace numora::editors
