// The lookup control over a real list table, driven by the key and focus events a user
// produces: Auto-Fill completion while typing, learning on leaving, and the twin that
// follows.

#include "editors/widgets/lookup.h"
#include "support/catalogue_folders.h"
#include "support/qt_printers.h"
#include "support/scripted_prompt.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

#include <gtest/gtest.h>

using namespace numora;
using namespace numora::editors;

namespace {

class LookupTest : public ::testing::Test {
protected:
    void SetUp() override { folders.writeList("list1.dbf", {"France", "Austria", "Frankreich", "Fiji"}); }

    void attach(TLookup &lookup)
    {
        lookup.setSource("list1.dbf");
        lookup.attach(LookupEnvironment{folders.databaseFolder(), folders.programFolder(), &prompt, [this] { return autoFill; }});
    }

    static void type(TLookup &lookup, const QString &characters)
    {
        for (const QChar character : characters) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(character));
            QApplication::sendEvent(&lookup, &press);
        }
    }

    static void leave(TLookup &lookup)
    {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(&lookup, &out);
    }

    static QStringList shownItems(const TLookup &lookup)
    {
        QStringList items;
        for (int i = 0; i < lookup.count(); ++i)
            items << lookup.itemText(i);
        return items;
    }

    test::CatalogueFolders folders;
    test::ScriptedPrompt prompt;
    bool autoFill = true;
};

TEST_F(LookupTest, ShowsTheListSortedWithTheDefaultHint)
{
    TLookup lookup;
    attach(lookup);
    EXPECT_EQ(shownItems(lookup), (QStringList{"Austria", "Fiji", "France", "Frankreich"}));
    EXPECT_EQ(lookup.toolTip(), "Lookup Field - click on the down arrow to see the choices");
    EXPECT_EQ(lookup.property("Source").toString(), "list1.dbf");
    EXPECT_TRUE(lookup.property("AskUser").toBool());
    EXPECT_TRUE(lookup.text().isEmpty());
}

TEST_F(LookupTest, AutoFillNarrowsAsTheUserTypes)
{
    TLookup lookup;
    attach(lookup);

    type(lookup, "F");
    EXPECT_EQ(lookup.text(), "Fiji");
    EXPECT_EQ(lookup.lineEdit()->selectedText(), "iji");
    EXPECT_EQ(lookup.currentText(), lookup.itemText(lookup.currentIndex()));

    type(lookup, "r");
    EXPECT_EQ(lookup.text(), "France");
    EXPECT_EQ(lookup.lineEdit()->selectedText(), "ance");

    // No item begins with "Frx": the key goes through and replaces the selection.
    type(lookup, "x");
    EXPECT_EQ(lookup.text(), "Frx");
}

TEST_F(LookupTest, WithoutAutoFillTheTextIsWhatWasTyped)
{
    autoFill = false;
    TLookup lookup;
    attach(lookup);
    type(lookup, "Fr");
    EXPECT_EQ(lookup.text(), "Fr");
    EXPECT_FALSE(lookup.lineEdit()->hasSelectedText());
}

TEST_F(LookupTest, ALetterCaseVariantBecomesASecondItemInBothTwins)
{
    TLookup lookup;
    TLookup twin;
    attach(lookup);
    attach(twin);
    lookup.setTwin(&twin);
    twin.setText("Peru");

    autoFill = false;
    type(lookup, "france");
    leave(lookup);

    const QStringList expected{"Austria", "Fiji", "France", "france", "Frankreich"};
    EXPECT_EQ(shownItems(lookup), expected);
    EXPECT_EQ(shownItems(twin), expected);
    EXPECT_EQ(lookup.text(), "france");
    EXPECT_EQ(twin.text(), "Peru"); // a reload keeps what was typed there
}

TEST_F(LookupTest, AValueTypedBeforeTheWindowGoesIsLearned)
{
    {
        TLookup lookup;
        attach(lookup);
        lookup.setText("Peru");
    }
    TLookup later;
    attach(later);
    EXPECT_TRUE(shownItems(later).contains("Peru"));
}

TEST_F(LookupTest, EnteringSelectsTheWholeText)
{
    TLookup lookup;
    attach(lookup);
    lookup.setText("Fiji");
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(&lookup, &in);
    EXPECT_EQ(lookup.lineEdit()->selectedText(), "Fiji");
}

} // namespace
