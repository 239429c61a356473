#include "editors/widgets/date_edit.h"

#include "editors/widgets/calendar_popup.h"
#include "platform/message_box_prompt.h"

#include <QActionGroup>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>

namespace numora::editors {

namespace {

DateEditText systemDateText()
{
    const QString format = QLocale().dateFormat(QLocale::ShortFormat);
    return DateEditText(patternFromSystemFormat(format), separatorFromSystemFormat(format));
}

struct FormatItem {
    const char *caption;
    settings::DateFormat format;
};

constexpr FormatItem kFormatItems[] = {
    {"MMDDYYYY", settings::DateFormat::MonthDayYear},
    {"DDMMYYYY", settings::DateFormat::DayMonthYear},
    {"YYYYMMDD", settings::DateFormat::YearMonthDay},
    {"YYYY", settings::DateFormat::Year},
};

} // namespace

TDateEdit::TDateEdit(QWidget *parent)
    : TMyBtnEdit(parent), text_(systemDateText()),
      ownPrompt_(std::make_unique<platform::MessageBoxPrompt>(this)), prompt_(ownPrompt_.get())
{
    setKeepReadable(true);
    setMaxLength(10);
    // Every change goes through the pattern: no dropped, pasted or composed text.
    setAcceptDrops(false);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    resize(120, 22);
    setToolTip(QStringLiteral("Date Field - Enter Date Here"));
    setButtonHint(QStringLiteral("Click here to display a Calendar"));
    buildMenu();
    remember();
    showText();
}

TDateEdit::~TDateEdit() = default;

QDate TDateEdit::date() const
{
    switch (text_.reading()) {
    case DateEditText::Reading::Empty:
        return {};
    case DateEditText::Reading::Date:
        return text_.date();
    case DateEditText::Reading::Invalid:
        break;
    }
    DateEditText before = text_;
    return before.restore(remembered_) ? before.date() : QDate();
}

void TDateEdit::setDate(const QDate &date)
{
    text_.setDate(date);
    remember();
    showText();
}

bool TDateEdit::setDateText(const QString &text)
{
    if (!text_.setText(text))
        return false;
    remember();
    showText();
    return true;
}

void TDateEdit::setDateFormat(settings::DateFormat format) { setDatePattern(patternOf(format)); }

void TDateEdit::setDatePattern(DatePattern pattern)
{
    DateEditText before = text_;
    before.restore(remembered_);
    before.setPattern(pattern);
    remembered_ = before.text();
    text_.setPattern(pattern);
    showText();
}

bool TDateEdit::checkDate() { return acceptOnLeave(text_, *prompt_); }

void TDateEdit::hideFontAndColourItems()
{
    font_->setVisible(false);
    colour_->setVisible(false);
}

void TDateEdit::takeCalendarDate(const QDate &date)
{
    if (!isFieldReadOnly()) {
        text_.setDate(date);
        userChanged();
    }
    focusAtStart();
}

void TDateEdit::focusAtStart()
{
    setFocus(Qt::OtherFocusReason);
    text_.home();
    showText();
}

void TDateEdit::buttonClicked()
{
    text_.pad();
    showText();
    const QDate shown = text_.date();
    TfrmCalPop calendar(shown.isValid() ? shown : QDate::currentDate(), this);
    if (calendar.exec() == QDialog::Accepted)
        takeCalendarDate(calendar.selectedDate());
    else
        focusAtStart();
}

void TDateEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy) || event->matches(QKeySequence::SelectAll)) {
        TMyBtnEdit::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Home:
        text_.home();
        break;
    case Qt::Key_End:
        text_.end();
        break;
    case Qt::Key_Left:
        text_.left();
        break;
    case Qt::Key_Right:
        text_.right();
        break;
    case Qt::Key_Backspace:
        if (!isFieldReadOnly())
            changeText([this] { text_.backspace(); });
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        QApplication::beep();
        break;
    default: {
        const QString typed = event->text();
        if (typed.isEmpty() || !typed.at(0).isPrint() ||
            (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            // Not a character: a shortcut or a key for the window (Escape, Page Down).
            event->ignore();
            return;
        }
        if (typed.size() == 1 && typed.at(0) >= u'0' && typed.at(0) <= u'9') {
            if (!isFieldReadOnly())
                changeText([this, digit = typed.at(0)] { text_.typeDigit(digit); });
        } else {
            QApplication::beep();
        }
    }
    }
    showText();
    event->accept();
}

void TDateEdit::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::MiddleButton) {
        event->accept(); // the selection paste of X11
        return;
    }
    TMyBtnEdit::mousePressEvent(event);
    if (hasSelectedText())
        return;
    text_.placeCaret(cursorPosition());
    setCursorPosition(text_.caret());
}

void TDateEdit::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::MiddleButton) {
        event->accept();
        return;
    }
    TMyBtnEdit::mouseReleaseEvent(event);
}

void TDateEdit::focusInEvent(QFocusEvent *event)
{
    TMyBtnEdit::focusInEvent(event);
    if (!movesBetweenControls(event->reason()))
        return;
    if (!returningAfterError_)
        remember();
    returningAfterError_ = false;
    text_.home();
    showText();
}

void TDateEdit::focusOutEvent(QFocusEvent *event)
{
    TMyBtnEdit::focusOutEvent(event);
    if (!movesBetweenControls(event->reason()))
        return;
    if (acceptOnLeave(text_, *prompt_)) {
        text_.pad();
        showText();
        return;
    }
    returningAfterError_ = true;
    // Taking the focus back from inside its own loss would fight the focus change
    // still under way.
    QTimer::singleShot(0, this, [this] { setFocus(Qt::OtherFocusReason); });
}

void TDateEdit::contextMenuEvent(QContextMenuEvent *event)
{
    event->accept();
    if (!isFieldEnabled())
        return;
    updateMenu();
    menu_->exec(event->globalPos());
}

void TDateEdit::buildMenu()
{
    menu_ = new QMenu(this);
    undo_ = menu_->addAction(QStringLiteral("&Undo"), this, [this] {
        if (!isFieldReadOnly() && text_.restore(remembered_))
            userChanged();
    });
    today_ = menu_->addAction(QStringLiteral("&Today"), this, [this] {
        if (!isFieldReadOnly()) {
            text_.setDate(QDate::currentDate());
            userChanged();
        }
    });
    clear_ = menu_->addAction(QStringLiteral("&Clear"), this, [this] {
        if (!isFieldReadOnly()) {
            remember();
            text_.clear();
            userChanged();
        }
    });
    menu_->addSeparator();
    font_ = menu_->addAction(QStringLiteral("&Font..."), this, [this] { emit OnSetFont(menu_); });
    colour_ =
        menu_->addAction(QStringLiteral("C&olor..."), this, [this] { emit OnSetColor(menu_); });
    QMenu *formats = menu_->addMenu(QStringLiteral("&Date Format"));
    auto *exclusive = new QActionGroup(formats);
    for (const FormatItem &item : kFormatItems) {
        QAction *action = formats->addAction(QString::fromLatin1(item.caption), this,
                                             [this, format = item.format] {
                                                 setDateFormat(format);
                                                 emit OnSetFormat(format);
                                             });
        action->setCheckable(true);
        action->setData(int(item.format));
        exclusive->addAction(action);
        formatItems_.append(action);
    }
    menu_->addSeparator();
    menu_->addAction(QStringLiteral("&Help"), this, [this] { emit helpRequested(helpContext_); });
}

void TDateEdit::updateMenu()
{
    const bool changeable = !isFieldReadOnly();
    undo_->setEnabled(changeable && text_.text() != remembered_);
    today_->setEnabled(changeable);
    clear_->setEnabled(changeable);
    const int current = int(dateFormat());
    for (QAction *item : formatItems_)
        item->setChecked(item->data().toInt() == current);
}

void TDateEdit::showText()
{
    if (text() != text_.text())
        setText(text_.text());
    setCursorPosition(text_.caret());
}

void TDateEdit::userChanged()
{
    showText();
    emit changedByUser();
}

void TDateEdit::changeText(const std::function<void()> &change)
{
    const QString before = text_.text();
    change();
    if (text_.text() != before)
        userChanged();
}

} // namespace numora::editors
