#include "lifecycle/end_marker.h"

#include <QStringList> // scripted_prompt.h uses it without including it
#include "core/help_topics.h"
#include "support/file_bytes.h"
#include "support/peer_process.h"
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

    // Runs the check a start makes with `marker` and counts the beeps that came with it.
    int startOnce(RunningMarker &marker)
    {
        int beeps = 0;
        checkPreviousEnd(marker, temp.path(), prompt, [&] { ++beeps; });
        return beeps;
    }

    // A start whose run is then killed: its marker goes without marking an end.
    int startAndKill()
    {
        RunningMarker marker;
        return startOnce(marker);
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
        RunningMarker marker;
        EXPECT_EQ(marker.markRunning(temp.path()),
                  c.clean ? PreviousEnd::Clean : PreviousEnd::Unclean);
        EXPECT_EQ(test::fileBytes(markerPath()), QByteArray(kRunningMarker));
    }
}

TEST_F(EndMarkerTest, AnUnreadableFileCountsAsACleanEnd)
{
    ASSERT_TRUE(QDir(temp.path()).mkdir(kEndMarkerFile));
    EXPECT_TRUE(previousRunEndedCleanly(temp.path()));
    RunningMarker marker;
    EXPECT_EQ(marker.markRunning(temp.path()), PreviousEnd::Clean);
    EXPECT_FALSE(marker.markEndedCleanly(temp.path())) << "a folder stands in the way";
}

TEST_F(EndMarkerTest, MarkersAreWrittenWithoutALineEnd)
{
    for (const char *marker : {kRunningMarker, kCleanEndMarker}) {
        ASSERT_TRUE(writeEndMarker(temp.path(), marker));
        EXPECT_EQ(test::fileBytes(markerPath()), QByteArray(marker));
    }
    // In place, over a longer file of an older version.
    test::writeFileBytes(markerPath(), "@a$)\r\nleft over");
    RunningMarker run;
    EXPECT_EQ(run.markRunning(temp.path()), PreviousEnd::Clean);
    EXPECT_EQ(test::fileBytes(markerPath()), QByteArray(kRunningMarker));
    EXPECT_TRUE(run.markEndedCleanly(temp.path()));
    EXPECT_EQ(test::fileBytes(markerPath()), QByteArray(kCleanEndMarker));
}

TEST_F(EndMarkerTest, AKilledRunIsReportedOnceByTheNextStartOnly)
{
    EXPECT_EQ(startAndKill(), 0) << "first run, no shut.dat";
    EXPECT_EQ(test::fileBytes(markerPath()), QByteArray("#10*"));

    // The run is killed: nothing replaces the running marker.
    RunningMarker next;
    EXPECT_EQ(startOnce(next), 1);
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
    ASSERT_TRUE(next.markEndedCleanly(temp.path()));
    EXPECT_EQ(startAndKill(), 0);
    EXPECT_EQ(prompt.shown.size(), 1u);
}

// Two copies on one settings folder. Locks belong to the open file, so two markers in
// one process meet as two processes would; the child-process tests below show the same
// across processes.
TEST_F(EndMarkerTest, ACopyStillRunningIsNoUncleanEndAndTheLastToEndMarksIt)
{
    RunningMarker first;
    EXPECT_EQ(startOnce(first), 0);
    RunningMarker second;
    EXPECT_EQ(second.markRunning(temp.path()), PreviousEnd::AnotherCopyRunning);

    ASSERT_TRUE(first.markEndedCleanly(temp.path()));
    EXPECT_EQ(test::fileBytes(markerPath()), QByteArray(kRunningMarker))
        << "the second copy still runs, and may yet be killed";
    ASSERT_TRUE(second.markEndedCleanly(temp.path()));
    EXPECT_EQ(test::fileBytes(markerPath()), QByteArray(kCleanEndMarker));
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(EndMarkerTest, ACopyThatOutlivesAnotherAndIsKilledIsReported)
{
    {
        RunningMarker first;
        EXPECT_EQ(first.markRunning(temp.path()), PreviousEnd::Clean);
        RunningMarker second;
        EXPECT_EQ(second.markRunning(temp.path()), PreviousEnd::AnotherCopyRunning);
        ASSERT_TRUE(first.markEndedCleanly(temp.path()));
    } // the second is killed
    EXPECT_EQ(startAndKill(), 1);
}

class EndMarkerPeerTest : public EndMarkerTest {
protected:
    struct Peer : test::PeerProcess {
        explicit Peer(const QString &folder)
            : PeerProcess(QStringLiteral(END_MARKER_PEER), {folder})
        {
        }
    };
};

TEST_F(EndMarkerPeerTest, AStartBesideARunningCopyShowsNoAdvice)
{
    Peer other(temp.path());
    ASSERT_EQ(other.readLine(), "clean");

    RunningMarker mine;
    EXPECT_EQ(startOnce(mine), 0);
    EXPECT_TRUE(prompt.shown.empty());

    other.send("end");
    ASSERT_EQ(other.readLine(), "ended");
    EXPECT_EQ(test::fileBytes(markerPath()), QByteArray(kRunningMarker)) << "this copy still runs";
    ASSERT_TRUE(mine.markEndedCleanly(temp.path()));
    EXPECT_EQ(test::fileBytes(markerPath()), QByteArray(kCleanEndMarker));
}

TEST_F(EndMarkerPeerTest, ACopyStartedBesideThisOneSeesItRunning)
{
    RunningMarker mine;
    ASSERT_EQ(mine.markRunning(temp.path()), PreviousEnd::Clean);
    {
        Peer other(temp.path());
        EXPECT_EQ(other.readLine(), "another copy running");
        other.send("end");
        EXPECT_EQ(other.readLine(), "ended");
    }
    ASSERT_TRUE(mine.markEndedCleanly(temp.path()));
    Peer next(temp.path());
    EXPECT_EQ(next.readLine(), "clean");
}

TEST_F(EndMarkerPeerTest, ACopyKilledWhileRunningIsAnUncleanEnd)
{
    Peer other(temp.path());
    ASSERT_EQ(other.readLine(), "clean");
    other.killHard();

    RunningMarker mine;
    EXPECT_EQ(startOnce(mine), 1);
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown.front().text, uncleanEndWarning());
}

} // namespace
} // namespace numora::lifecycle
