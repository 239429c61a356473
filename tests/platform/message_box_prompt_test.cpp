#include "platform/message_box_prompt.h"

#include "core/help_topics.h"
#include "platform/help_window.h"
#include "support/qt_printers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QTextBrowser>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <ostream>

namespace numora {

void PrintTo(Button button, std::ostream *out) { *out << "Button(" << int(button) << ')'; }

namespace platform {
namespace {

// Runs `handle` on the message box as soon as it waits for an answer. `handle` must
// answer the box, or the test would wait for good.
void whenBoxOpens(std::function<void(QMessageBox &)> handle)
{
    QTimer::singleShot(0, [handle] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            handle(*box);
        else
            whenBoxOpens(handle);
    });
}

void click(QMessageBox &box, QMessageBox::StandardButton standard)
{
    if (QAbstractButton *button = box.button(standard)) {
        button->click();
        return;
    }
    ADD_FAILURE() << "the box has no button " << standard;
    box.done(0);
}

TEST(MessageBoxPromptTest, ShowsTheExactTextKindAndButtonsAndReturnsTheOneClicked)
{
    struct Case {
        QString text;
        MessageKind kind;
        Buttons buttons;
        QString shownText;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons shownButtons;
        QMessageBox::StandardButton clicked;
        Button answer;
    };
    const std::vector<Case> cases = {
        {"Incorrect Login!", MessageKind::Error, Button::Ok, "Incorrect Login!",
         QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok, Button::Ok},
        {"Brenlow Numora was not Closed normally!\rIt is STRONGLY recommended that you Restore.",
         MessageKind::Warning, Button::Ok | Button::Help,
         "Brenlow Numora was not Closed normally!\nIt is STRONGLY recommended that you Restore.",
         QMessageBox::Warning, QMessageBox::Ok | QMessageBox::Help, QMessageBox::Ok, Button::Ok},
        {"Database Backed Up Successfully.\rIMPORTANT: copy\rthe files.", MessageKind::Information,
         Button::Ok | Button::Help, "Database Backed Up Successfully.\nIMPORTANT: copy\nthe files.",
         QMessageBox::Information, QMessageBox::Ok | QMessageBox::Help, QMessageBox::Ok,
         Button::Ok},
        {"Do you also want to Restore Lists?\r(Recommended Answer - YES)",
         MessageKind::Confirmation, Button::Yes | Button::No,
         "Do you also want to Restore Lists?\n(Recommended Answer - YES)", QMessageBox::Question,
         QMessageBox::Yes | QMessageBox::No, QMessageBox::No, Button::No},
        {"Record 12 could not be written.\rRetry?", MessageKind::Warning,
         Button::Abort | Button::Retry | Button::Ignore, "Record 12 could not be written.\nRetry?",
         QMessageBox::Warning, QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore,
         QMessageBox::Retry, Button::Retry},
        {"Save changes?", MessageKind::Confirmation, Button::Yes | Button::No | Button::Cancel,
         "Save changes?", QMessageBox::Question,
         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel,
         Button::Cancel},
    };
    for (const Case &c : cases) {
        MessageBoxPrompt prompt;
        whenBoxOpens([&c](QMessageBox &box) {
            EXPECT_EQ(box.text(), c.shownText);
            EXPECT_EQ(box.icon(), c.icon) << c.shownText.toStdString();
            EXPECT_EQ(box.standardButtons(), c.shownButtons) << c.shownText.toStdString();
            EXPECT_EQ(box.windowTitle(), "Brenlow Numora");
            click(box, c.clicked);
        });
        EXPECT_EQ(prompt.ask(c.text, c.kind, c.buttons), c.answer) << c.shownText.toStdString();
    }
}

TEST(MessageBoxPromptTest, TheBoxBelongsToTheWindowGiven)
{
    QWidget window;
    window.show();
    MessageBoxPrompt prompt(&window);
    whenBoxOpens([&window](QMessageBox &box) {
        EXPECT_EQ(box.parentWidget(), &window);
        click(box, QMessageBox::Ok);
    });
    prompt.inform("Incorrect Login!", MessageKind::Error);
}

TEST(MessageBoxPromptTest, HelpOpensTheHelpContextWhileTheBoxWaitsForItsAnswer)
{
    MessageBoxPrompt prompt;
    whenBoxOpens([](QMessageBox &box) {
        click(box, QMessageBox::Help);
        EXPECT_TRUE(box.isVisible());
        if (const auto *help = box.findChild<HelpWindow *>()) {
            EXPECT_TRUE(help->isVisible());
            EXPECT_EQ(help->findChild<QTextBrowser *>()->documentTitle(), "After an unclean end");
        } else {
            ADD_FAILURE() << "no help window";
        }
        click(box, QMessageBox::Ok);
    });
    EXPECT_EQ(prompt.ask("Brenlow Numora was not Closed normally!", MessageKind::Warning,
                         Button::Ok | Button::Help, help::UncleanEnd),
              Button::Ok);
}

TEST(MessageBoxPromptTest, ClosingTheBoxGivesItsOnlyAnswerOrCancel)
{
    struct Case {
        const char *name;
        Buttons buttons;
        Button answer;
    };
    const std::vector<Case> cases = {
        {"a notice with help", Button::Ok | Button::Help, Button::Ok},
        {"a question that can be cancelled", Button::Yes | Button::No | Button::Cancel,
         Button::Cancel},
        {"help alone still offers OK", Button::Help, Button::Ok},
    };
    for (const Case &c : cases) {
        MessageBoxPrompt prompt;
        whenBoxOpens([&c](QMessageBox &box) {
            if (!box.close()) {
                ADD_FAILURE() << c.name << ": the box refused to close";
                box.done(0);
            }
        });
        EXPECT_EQ(prompt.ask("Some text", MessageKind::Warning, c.buttons), c.answer) << c.name;
    }
}

} // namespace
} // namespace platform
} // namespace numora

namespace numora::platform {
namespace {

// Collects what the category writes while the test runs, with the category turned on.
class PromptLog {
public:
    PromptLog()
    {
        lines_ = &lines;
        QLoggingCategory::setFilterRules(QStringLiteral("numora.prompt.info=true"));
        previous_ = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &context,
                                              const QString &message) {
            if (QLatin1String(context.category) == QLatin1String("numora.prompt"))
                *lines_ << message;
        });
    }
    ~PromptLog()
    {
        qInstallMessageHandler(previous_);
        QLoggingCategory::setFilterRules(QString());
    }

    QStringList lines;

private:
    static inline QStringList *lines_ = nullptr;
    QtMessageHandler previous_;
};

TEST(MessageBoxPromptTest, EveryMessageAndItsAnswerIsLogged)
{
    PromptLog log;
    MessageBoxPrompt prompt;
    whenBoxOpens([](QMessageBox &box) { click(box, QMessageBox::No); });
    EXPECT_EQ(prompt.ask("Cannot open the file: data.dbf\rRetry?", MessageKind::Warning,
                         Button::Yes | Button::No, 0, "Permission denied"),
              Button::No);
    whenBoxOpens([](QMessageBox &box) { click(box, QMessageBox::Ok); });
    prompt.inform("Done.", MessageKind::Information);

    EXPECT_EQ(log.lines,
              QStringList({"shown warning: Cannot open the file: data.dbf | Retry? "
                           "[detail: Permission denied] [buttons: Yes/No]",
                           "answered No", "shown information: Done. [buttons: OK]",
                           "answered OK"}));
}

} // namespace
} // namespace numora::platform
