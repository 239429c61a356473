#include "mainwin/widgets/field_menus.h"

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextStream>

namespace numora::mainwin {

namespace {

const QString kTextFiles = QStringLiteral("Text files (*.txt)");

// The editing side of a control, whatever kind of text control it is.
struct EditingState {
    bool canUndo = false;
    bool hasSelection = false;
    bool hasText = false;
    std::function<void()> undo, cut, copy, paste, remove, selectAll;
};

EditingState editingOf(QLineEdit *edit)
{
    return {edit->isUndoAvailable(),
            edit->hasSelectedText(),
            !edit->text().isEmpty(),
            [edit] { edit->undo(); },
            [edit] { edit->cut(); },
            [edit] { edit->copy(); },
            [edit] { edit->paste(); },
            [edit] { edit->del(); },
            [edit] { edit->selectAll(); }};
}

EditingState editingOf(QPlainTextEdit *memo)
{
    return {memo->document()->isUndoAvailable(),
            memo->textCursor().hasSelection(),
            !memo->document()->isEmpty(),
            [memo] { memo->undo(); },
            [memo] { memo->cut(); },
            [memo] { memo->copy(); },
            [memo] { memo->paste(); },
            [memo] { memo->textCursor().removeSelectedText(); },
            [memo] { memo->selectAll(); }};
}

EditingState editingOf(QWidget *control)
{
    if (auto *memo = qobject_cast<QPlainTextEdit *>(control))
        return editingOf(memo);
    if (auto *combo = qobject_cast<QComboBox *>(control))
        return editingOf(combo->lineEdit());
    return editingOf(static_cast<QLineEdit *>(control));
}

QAction *addItem(QMenu &menu, const QString &caption, const std::function<void()> &run, bool enabled = true)
{
    QAction *item = menu.addAction(caption);
    item->setObjectName(QString(caption).remove(u'&').remove(QStringLiteral("...")));
    item->setEnabled(enabled && run != nullptr);
    if (run)
        QObject::connect(item, &QAction::triggered, item, run);
    return item;
}

} // namespace

std::unique_ptr<QMenu> createFieldMenu(QWidget *control, FieldMenuKind kind, const FieldMenuActions &actions)
{
    control->setFocus(Qt::PopupFocusReason);
    const EditingState editing = editingOf(control);
    auto menu = std::make_unique<QMenu>();
    const bool lookup = kind == FieldMenuKind::Lookup;

    QAction *undo = addItem(*menu, QStringLiteral("&Undo"), editing.undo, editing.canUndo);
    QAction *afterUndo = menu->addSeparator();
    undo->setVisible(!lookup);
    afterUndo->setVisible(!lookup);
    addItem(*menu, QStringLiteral("Cu&t"), editing.cut, editing.hasSelection);
    addItem(*menu, QStringLiteral("&Copy"), editing.copy, editing.hasSelection);
    addItem(*menu, QStringLiteral("&Paste"), editing.paste);
    addItem(*menu, QStringLiteral("&Delete"), editing.remove, editing.hasSelection);
    menu->addSeparator();
    addItem(*menu, QStringLiteral("Select &All"), editing.selectAll, editing.hasText && !editing.hasSelection);

    const bool multiLine = kind == FieldMenuKind::MultiLine;
    QAction *beforeFiles = menu->addSeparator();
    using Run = std::function<void()>;
    QAction *load = addItem(*menu, QStringLiteral("&Load"), multiLine ? Run([control] { loadMemoText(control); }) : Run());
    QAction *save = addItem(*menu, QStringLiteral("&Save"), multiLine ? Run([control] { saveMemoText(control); }) : Run());
    for (QAction *item : {beforeFiles, load, save})
        item->setVisible(multiLine);

    menu->addSeparator();
    addItem(*menu, QStringLiteral("&Font..."), actions.font);
    addItem(*menu, QStringLiteral("C&olor..."), actions.colour);
    if (lookup) {
        addItem(*menu, QStringLiteral("&Edit List..."), actions.editList);
        QAction *autoFill = addItem(*menu, QStringLiteral("Auto-F&ill"), actions.toggleAutoFill);
        autoFill->setCheckable(true);
        autoFill->setChecked(actions.autoFillOn);
    }
    menu->addSeparator();
    addItem(*menu, QStringLiteral("&Help"), actions.help);
    return menu;
}

void loadMemoText(QWidget *memo)
{
    const QString path = QFileDialog::getOpenFileName(memo, {}, {}, kTextFiles);
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    static_cast<QPlainTextEdit *>(memo)->setPlainText(QTextStream(&file).readAll());
}

void saveMemoText(QWidget *memo)
{
    const QString path = QFileDialog::getSaveFileName(memo, {}, {}, kTextFiles);
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::WriteOnly | QIODevice::Text))
        return;
    QTextStream(&file) << static_cast<QPlainTextEdit *>(memo)->toPlainText();
}

} // namespace numora::mainwin
