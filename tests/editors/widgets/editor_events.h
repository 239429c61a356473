#pragma once
// Keys, focus changes and pop-up handling for the field editor tests: what a user's
// typing and moving between fields delivers to a control.

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace numora::test {

inline void pressKey(QWidget *target, int key, const QString &text = QString(),
                     Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &press);
}

// Each character as the key that types it.
inline void typeText(QWidget *target, const QString &text)
{
    for (QChar c : text) {
        const int key = c.isDigit() ? Qt::Key_0 + c.digitValue() : int(c.toUpper().unicode());
        pressKey(target, key, QString(c));
    }
}

// The focus leaves `target` for another field, as Tab does it.
inline void leaveField(QWidget *target)
{
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(target, &out);
}

inline void enterField(QWidget *target)
{
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(target, &in);
}

// Runs `whileOpen` once the modal window `open` starts has its event loop running.
inline void whileModal(const std::function<void()> &whileOpen, const std::function<void()> &open)
{
    QTimer::singleShot(0, whileOpen);
    open();
}

} // namespace numora::test
