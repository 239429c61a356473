#pragma once
// The user interface's answer to core code's questions: a modal message box with the
// exact text (each "\r" a line break), an icon for the kind and exactly the buttons
// asked for, captioned with the product's name. Help does not answer: it opens the help
// window at the question's help context and leaves the box waiting. Each message and its
// answer are logged to the category "numora.prompt" at info level (off unless enabled).

#include "core/prompt.h"

#include <QPointer>
#include <QWidget>

namespace numora::platform {

class MessageBoxPrompt : public Prompt {
public:
    // Boxes are centred on `parent` and block it; without one they block the program.
    explicit MessageBoxPrompt(QWidget *parent = nullptr);

    Button ask(const QString &text, MessageKind kind, Buttons buttons, int helpContext = 0,
               const QString &detail = {}) override;

private:
    QPointer<QWidget> parent_; // may close before the prompt goes
};

} // namespace numora::platform
