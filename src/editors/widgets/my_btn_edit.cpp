#include "editors/widgets/my_btn_edit.h"

#include "editors/widgets/edit_button.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QScreen>
#include <QStyle>

#include <algorithm>

namespace numora::editors {

TMyBtnEdit::TMyBtnEdit(QWidget *parent) : QLineEdit(parent), button_(new TEditButton(this))
{
    connect(button_, &QAbstractButton::clicked, this, [this] { buttonClicked(); });
    connect(this, &QLineEdit::textEdited, this, &TMyBtnEdit::changedByUser);
    setMinimumHeight(minimumEditHeight());
    placeButton();
}

void TMyBtnEdit::setButtonVisible(bool visible)
{
    buttonVisible_ = visible;
    button_->setVisible(visible);
    placeButton();
}

void TMyBtnEdit::setButtonHint(const QString &hint) { button_->setToolTip(hint); }

QString TMyBtnEdit::buttonHint() const { return button_->toolTip(); }

void TMyBtnEdit::setFieldEnabled(bool enabled)
{
    if (keepReadable_) {
        disabledButReadable_ = !enabled;
        setReadOnly(readOnlyState_ || disabledButReadable_);
        applyColours();
    } else {
        setEnabled(enabled);
    }
}

bool TMyBtnEdit::isFieldEnabled() const { return isEnabled() && !disabledButReadable_; }

void TMyBtnEdit::setFieldReadOnly(bool readOnly)
{
    readOnlyState_ = readOnly;
    setReadOnly(readOnlyState_ || disabledButReadable_);
    applyColours();
}

bool TMyBtnEdit::isFieldReadOnly() const
{
    return !isEnabled() || readOnlyState_ || disabledButReadable_;
}

void TMyBtnEdit::setNormalColours(const QColor &text, const QColor &background)
{
    normalText_ = text;
    normalBackground_ = background;
    applyColours();
}

void TMyBtnEdit::setReadOnlyColours(const QColor &text, const QColor &background)
{
    readOnlyText_ = text;
    readOnlyBackground_ = background;
    applyColours();
}

QColor TMyBtnEdit::shownTextColour() const { return palette().color(QPalette::Text); }

QColor TMyBtnEdit::shownBackgroundColour() const { return palette().color(QPalette::Base); }

void TMyBtnEdit::applyColours()
{
    const bool readOnly = isFieldReadOnly();
    const QColor text = readOnly && readOnlyText_.isValid() ? readOnlyText_ : normalTextColour();
    const QColor background =
        readOnly && readOnlyBackground_.isValid() ? readOnlyBackground_ : normalBackground_;
    QPalette colours = palette();
    // Every group, so the field looks the same focused or not and, when the form
    // disables it, in the colours the form chose for that.
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        if (text.isValid())
            colours.setColor(group, QPalette::Text, text);
        if (background.isValid())
            colours.setColor(group, QPalette::Base, background);
    }
    setPalette(colours);
}

QPoint TMyBtnEdit::popupPosition(const QSize &size, PopupAlignment alignment) const
{
    const QRect field(mapToGlobal(QPoint(0, 0)), this->size());
    return placePopup(field, size, screen()->availableGeometry(), alignment);
}

bool TMyBtnEdit::movesBetweenControls(Qt::FocusReason reason)
{
    return reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason;
}

bool TMyBtnEdit::acceptsCharacter(QChar) const { return true; }

void TMyBtnEdit::keyPressEvent(QKeyEvent *event)
{
    const QString typed = event->text();
    if (typed == u"\r" || typed == u"\n") {
        QApplication::beep();
        event->accept();
        return;
    }
    // Control characters other than backspace are shortcuts (copy, select all), not
    // text, and QLineEdit deals with them.
    if (typed.size() == 1 && (typed.at(0).isPrint() || typed.at(0) == u'\b') &&
        !acceptsCharacter(typed.at(0))) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TMyBtnEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    if (!autoSelect_ && movesBetweenControls(event->reason()))
        deselect();
}

void TMyBtnEdit::resizeEvent(QResizeEvent *event)
{
    QLineEdit::resizeEvent(event);
    placeButton();
}

void TMyBtnEdit::changeEvent(QEvent *event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        applyColours();
    if (event->type() == QEvent::FontChange)
        setMinimumHeight(minimumEditHeight());
}

void TMyBtnEdit::contextMenuEvent(QContextMenuEvent *event)
{
    if (disabledButReadable_) {
        event->accept();
        return;
    }
    QLineEdit::contextMenuEvent(event);
}

int TMyBtnEdit::minimumEditHeight() const
{
    // Room for the text however small the system font is: its height, a quarter of the
    // smaller of the system and field font heights, and the borders.
    const int textHeight = fontMetrics().height();
    const int systemHeight = QFontMetrics(QApplication::font()).height();
    const int border = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    return textHeight + std::min(systemHeight, textHeight) / 4 + 4 * border;
}

void TMyBtnEdit::placeButton()
{
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    const QRect inside = rect().adjusted(frame, frame, -frame, -frame);
    button_->setGeometry(inside.right() + 1 - TEditButton::kWidth, inside.top(),
                         TEditButton::kWidth, inside.height());
    // The text stops one pixel short of the button.
    setTextMargins(0, 0, buttonVisible_ ? TEditButton::kWidth + 1 : 0, 0);
}

} // namespace numora::editors
