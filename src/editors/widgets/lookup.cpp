#include "editors/widgets/lookup.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>

namespace numora::editors {

namespace {

constexpr char16_t DeleteCharacter = 0x7f;

// A key that types a character: code 32 or above. The Delete key's character is not
// one; it removes text like Backspace.
bool typesCharacter(const QKeyEvent &event)
{
    if (event.text().size() != 1 || event.modifiers().testAnyFlags(Qt::ControlModifier | Qt::AltModifier))
        return false;
    const QChar character = event.text().front();
    return character.unicode() >= 32 && character.unicode() != DeleteCharacter;
}

} // namespace

const QString TLookup::DefaultHint = QStringLiteral("Lookup Field - click on the down arrow to see the choices");

TLookup::TLookup(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    // The items are ours to manage: no completer of Qt's own, and Enter does not insert
    // the text (a value is learned when the field is left).
    setCompleter(nullptr);
    setInsertPolicy(QComboBox::NoInsert);
    setToolTip(DefaultHint);
}

TLookup::~TLookup()
{
    // A value typed just before the window goes is still learned; nothing on screen
    // needs telling any more but the twin.
    const QSignalBlocker blocker(this);
    if (list_)
        list_->learn(text());
}

void TLookup::setSource(const QString &source)
{
    if (source == source_)
        return;
    source_ = source;
    if (list_)
        bind();
}

void TLookup::attach(const LookupEnvironment &environment)
{
    environment_ = environment;
    if (!environment_.prompt)
        return;
    list_ = std::make_unique<database::LookupList>(*environment_.prompt);
    list_->afterPost = [this] {
        showItems();
        if (twin_)
            twin_->reloadItems();
    };
    bind();
}

void TLookup::bind()
{
    list_->bind(environment_.databaseFolder, environment_.programFolder, source_);
    showItems();
}

void TLookup::reloadItems()
{
    if (!list_)
        return;
    list_->reload();
    showItems();
}

// Refilling the items must not disturb what the user typed: the text is put back.
void TLookup::showItems()
{
    const QString typed = text();
    const QSignalBlocker blocker(this);
    clear();
    addItems(list_->items());
    setCurrentIndex(-1);
    setEditText(typed);
}

void TLookup::learnTypedValue()
{
    if (list_ && list_->learn(text()))
        showItems();
}

bool TLookup::autoFillOn() const { return environment_.autoFill && environment_.autoFill(); }

bool TLookup::tryAutoFill(QChar typed)
{
    QLineEdit *edit = lineEdit();
    // After a completion the caret sits at the end of the selected rest; the prefix is
    // what stands before the selection.
    const int caret = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    const std::optional<database::AutoFillCompletion> completion =
        database::autoFill(list_->items(), edit->text().left(caret), typed);
    if (!completion)
        return false;
    setCurrentIndex(completion->item);
    setEditText(completion->text);
    edit->setSelection(completion->selectionStart, completion->selectionLength);
    return true;
}

void TLookup::keyPressEvent(QKeyEvent *event)
{
    if (list_ && autoFillOn() && typesCharacter(*event) && tryAutoFill(event->text().front())) {
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void TLookup::focusInEvent(QFocusEvent *event)
{
    QComboBox::focusInEvent(event);
    lineEdit()->selectAll();
}

void TLookup::focusOutEvent(QFocusEvent *event)
{
    QComboBox::focusOutEvent(event);
    // Opening the drop-down moves the focus to it for a moment; that is no leaving.
    if (event->reason() == Qt::PopupFocusReason)
        return;
    hidePopup();
    learnTypedValue();
}

} // namespace numora::editors
