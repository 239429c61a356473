#pragma once
// How core logic talks to the user without knowing about widgets: it shows a fixed
// text with a kind and a set of buttons and gets back the button chosen. The user
// interface answers with a message box; tests answer from a script and keep every
// text shown. Texts are passed exactly as the program words them, "\r" marking a line
// break.

#include <QFlags>
#include <QString>

namespace numora {

enum class MessageKind { Error, Warning, Information, Confirmation };

enum class Button {
    None = 0,
    Ok = 1 << 0,
    Cancel = 1 << 1,
    Yes = 1 << 2,
    No = 1 << 3,
    Retry = 1 << 4,
    Abort = 1 << 5,
    Ignore = 1 << 6,
    Help = 1 << 7,
};
Q_DECLARE_FLAGS(Buttons, Button)
Q_DECLARE_OPERATORS_FOR_FLAGS(Buttons)

class Prompt {
public:
    virtual ~Prompt() = default;
    // Shows `text` and returns the button pressed. `helpContext` names the help page a
    // Help button opens (0: none). `detail` is the system's reason for a failure, shown
    // below the program's own text so the user knows what to do about it.
    virtual Button ask(const QString &text, MessageKind kind, Buttons buttons, int helpContext = 0,
                       const QString &detail = {}) = 0;

    void inform(const QString &text, MessageKind kind, const QString &detail = {})
    {
        ask(text, kind, Button::Ok, 0, detail);
    }
    bool confirm(const QString &text, MessageKind kind = MessageKind::Confirmation)
    {
        return ask(text, kind, Button::Yes | Button::No) == Button::Yes;
    }
};

} // namespace numora
