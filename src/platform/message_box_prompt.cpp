#include "platform/message_box_prompt.h"

#include "platform/help_window.h"
#include "core/product_name.h"

#include <QDialogButtonBox>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QPushButton>

#include <utility>

namespace numora::platform {

namespace {

// Every message shown and the answer given, for a support case or a test run that has to
// know what the user saw: QT_LOGGING_RULES="numora.prompt.info=true". Off by default.
Q_LOGGING_CATEGORY(lcPrompt, "numora.prompt", QtWarningMsg)

constexpr std::pair<Button, QMessageBox::StandardButton> buttonPairs[] = {
    {Button::Ok, QMessageBox::Ok},         {Button::Cancel, QMessageBox::Cancel},
    {Button::Yes, QMessageBox::Yes},       {Button::No, QMessageBox::No},
    {Button::Retry, QMessageBox::Retry},   {Button::Abort, QMessageBox::Abort},
    {Button::Ignore, QMessageBox::Ignore}, {Button::Help, QMessageBox::Help},
};

QMessageBox::StandardButtons standardButtons(Buttons buttons)
{
    QMessageBox::StandardButtons result;
    for (const auto &[button, standard] : buttonPairs)
        if (buttons.testFlag(button))
            result |= standard;
    return result;
}

// A box always offers an answer, or nothing but Help would keep it open for good.
Buttons withAnAnswer(Buttons buttons)
{
    if (buttons & ~Buttons(Button::Help))
        return buttons;
    return buttons | Button::Ok;
}

Button answerOf(QMessageBox::StandardButton standard)
{
    for (const auto &[button, candidate] : buttonPairs)
        if (candidate == standard)
            return button;
    return Button::None;
}

QMessageBox::Icon iconOf(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Error:
        return QMessageBox::Critical;
    case MessageKind::Warning:
        return QMessageBox::Warning;
    case MessageKind::Information:
        return QMessageBox::Information;
    case MessageKind::Confirmation:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

// A box whose only answer (Help aside) is also what Escape and the close box give, as
// users expect of a plain notice; Qt picks one by itself only when there is one button.
void letEscapeGiveTheOnlyAnswer(QMessageBox &box)
{
    QAbstractButton *onlyAnswer = nullptr;
    for (QAbstractButton *button : box.buttons()) {
        if (box.buttonRole(button) == QMessageBox::HelpRole)
            continue;
        if (onlyAnswer)
            return;
        onlyAnswer = button;
    }
    if (onlyAnswer)
        box.setEscapeButton(onlyAnswer);
}

// Every button of a message box closes it; the Help button is taken off that path and
// opens the help window instead, owned by the box so that it goes with the answer.
void keepBoxOpenOnHelp(QMessageBox &box, int helpContext)
{
    QAbstractButton *helpButton = box.button(QMessageBox::Help);
    if (!helpButton)
        return;
    QObject::disconnect(helpButton, &QAbstractButton::clicked, box.findChild<QDialogButtonBox *>(),
                        nullptr);
    QObject::connect(helpButton, &QAbstractButton::clicked, &box, [&box, helpContext] {
        auto *help = box.findChild<HelpWindow *>();
        if (!help)
            help = new HelpWindow(&box);
        help->showContext(helpContext);
    });
}

const char *kindName(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Error:
        return "error";
    case MessageKind::Warning:
        return "warning";
    case MessageKind::Information:
        return "information";
    case MessageKind::Confirmation:
        return "confirmation";
    }
    return "message";
}

// One log line per message, its line breaks shown as " | ".
QString oneLine(const QString &text)
{
    return QString(text).replace(QLatin1String("\r\n"), QLatin1String(" | "))
        .replace(u'\r', QLatin1String(" | "))
        .replace(u'\n', QLatin1String(" | "));
}

QString buttonNames(const QMessageBox &box)
{
    QStringList names;
    for (QAbstractButton *button : box.buttons())
        names << button->text().remove(u'&');
    return names.join(u'/');
}

void logShown(const QMessageBox &box, MessageKind kind, const QString &text, const QString &detail)
{
    QString line = QStringLiteral("shown %1: %2").arg(QLatin1String(kindName(kind)), oneLine(text));
    if (!detail.isEmpty())
        line += QStringLiteral(" [detail: %1]").arg(oneLine(detail));
    line += QStringLiteral(" [buttons: %1]").arg(buttonNames(box));
    qCInfo(lcPrompt).noquote() << line;
}

} // namespace

MessageBoxPrompt::MessageBoxPrompt(QWidget *parent) : parent_(parent) {}

Button MessageBoxPrompt::ask(const QString &text, MessageKind kind, Buttons buttons,
                             int helpContext, const QString &detail)
{
    QMessageBox box(iconOf(kind), productFullName(), QString(text).replace(u'\r', u'\n'),
                    standardButtons(withAnAnswer(buttons)), parent_);
    box.setTextFormat(Qt::PlainText); // texts such as "<PICTURE>" are words, not markup
    box.setInformativeText(detail);
    letEscapeGiveTheOnlyAnswer(box);
    keepBoxOpenOnHelp(box, helpContext);
    logShown(box, kind, text, detail);
    box.exec();
    QAbstractButton *clicked = box.clickedButton();
    qCInfo(lcPrompt).noquote() << "answered" << (clicked ? clicked->text().remove(u'&') : QStringLiteral("nothing"));
    return answerOf(box.standardButton(clicked));
}

} // namespace numora::platform
