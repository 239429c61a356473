#pragma once
// A prompt for tests: answers from a script (in order; Ok or the first button offered
// when the script has run out) and keeps every message shown, so tests can assert the
// exact texts, kinds and buttons the user would see.

#include "core/prompt.h"

#include <QStringList>

#include <deque>
#include <vector>

namespace numora::test {

struct ShownMessage {
    QString text;
    MessageKind kind;
    Buttons buttons;
    int helpContext = 0;
    QString detail;
};

class ScriptedPrompt : public Prompt {
public:
    void answer(Button button) { answers_.push_back(button); }

    Button ask(const QString &text, MessageKind kind, Buttons buttons, int helpContext = 0,
               const QString &detail = {}) override
    {
        shown.push_back(ShownMessage{text, kind, buttons, helpContext, detail});
        if (!answers_.empty()) {
            const Button next = answers_.front();
            answers_.pop_front();
            return next;
        }
        for (Button button : {Button::Ok, Button::Yes, Button::Retry, Button::No, Button::Cancel})
            if (buttons.testFlag(button))
                return button;
        return Button::None;
    }

    QStringList texts() const
    {
        QStringList result;
        for (const ShownMessage &message : shown)
            result << message.text;
        return result;
    }

    std::vector<ShownMessage> shown;

private:
    std::deque<Button> answers_;
};

} // namespace numora::test
