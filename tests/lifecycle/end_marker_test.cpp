#include "lifecycle/end_marker.h"

#include <QStringList> // scripted_prompt.h uses it without including it
#include "core/help_topics.h"
#include "support/file_bytes.h"
#include "support/scripted_prompt.h"
#include "support/temp_folder.h"

#include <QDir>
#include <gtest/gtest.h>

#include <optional>

namespace numora::lifecycle {
namespace {

class EndMarkerTest : public ::testing::Test {
protected:
    QString markerPath() const { return temp.file(kEndMarkerFile); }

    // Runs the check a start makes and counts the beeps that came with it.
    int startOnce()
    {
        int beeps = 0;
        checkPreviousEnd(temp.path(), prompt, [&] { ++beeps; });
        return beeps;
    }

    test::TempFolder temp;
    test::ScriptedPrompt prompt;
};

TEST_F(EndMarkerTest, WhatTheNextStartConcludesFromTheFile)
{
    struct Case {
        const char *what;
        std::optional<QByteArray> contents; // nothing: no file
        bool clean;
    };
    const std::vector<Case> cases = {
        {"no file on a first run", std::nullopt, true},
        {"the clean-end marker", QByteArray("@a$)"), true},
        {"the clean-end marker and a line end", QByteArray("@a$)\r\n"), true},
        {"the clean-end marker, then more lines", QByteArray("@a$)\nleft over"), true},
        {"the running marker of a killed run", QByteArray("#10*"), false},
        {"an empty file", QByteArray(""), false},
        {"the clean-end marker with a trailing blank", QByteArray("@a$) "), false},
        {"the marker on the second line", QByteArray("\n@a$)"), false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(markerPath());
        if (c.contents)
            test::writeFileBytes(markerPath(), *c.contents);
        EXPECT_EQ(previousRunEndedCleanly(temp.path()), c.clean);
    }
}

TEST_F(EndMarkerTest, AnUnreadableFileCountsAsACleanEnd)
{
    ASSERT_TRUE(QDir(temp.path()).mkdir(kEndMarkerFile));
    EXPECT_TRUE(previousRunEndedCleanly(temp.path()));
}

TEST_F(EndMarkerTest, MarkersAreWrittenWithoutALineEnd)
{
    for (const char *marker : {kRunningMarker, kCleanEndMarker}) {
        ASSERT_TRUE(writeEndMarker(temp.path(), marker));
        EXPECT_EQ(test::fileBytes(markerPath()), QByteArray(marker));
    }
}

TEST_F(EndMarkerTest, AKilledRunIsReportedOnceByTheNextStartOnly)
{
    EXPECT_EQ(startOnce(), 0) << "first run, no shut.dat";
    EXPECT_EQ(test::fileBytes(markerPath()), QByteArray("#10*"));

    // The run is killed: nothing replaces the running marker.
    EXPECT_EQ(startOnce(), 1);
    ASSERT_EQ(prompt.shown.size(), 1u);
    const test::ShownMessage &warning = prompt.shown.front();
    EXPECT_EQ(warning.text,
              "Brenlow Numora was not Closed normally!\rIt is STRONGLY recommended that you "
              "Restore the last used database from your backup. For more information click "
              "on Help.");
    EXPECT_EQ(warning.kind, MessageKind::Warning);
    EXPECT_EQ(warning.buttons, Button::Ok | Button::Help);
    EXPECT_EQ(warning.helpContext, help::UncleanEnd);
    EXPECT_EQ(test::fileBytes(markerPath()), QByteArray("#10*"));

    // That run ends normally: the start after it is quiet again.
    ASSERT_TRUE(writeEndMarker(temp.path(), kCleanEndMarker));
    EXPECT_EQ(startOnce(), 0);
    EXPECT_EQ(prompt.shown.size(), 1u);
}

} // namespace
} // namespace numora::lifecycle
