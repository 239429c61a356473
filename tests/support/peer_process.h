#pragma once
// A second program run as a child process for tests of several users on one folder: it
// reports on stdout, takes commands on stdin and ends when its stdin closes.

#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

namespace numora::test {

class PeerProcess {
public:
    PeerProcess(const QString &program, const QStringList &arguments)
    {
        process_.setProgram(program);
        process_.setArguments(arguments);
        process_.start();
        EXPECT_TRUE(process_.waitForStarted(5000));
    }

    ~PeerProcess()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.closeWriteChannel();
            if (!process_.waitForFinished(5000))
                process_.kill();
            process_.waitForFinished(5000);
        }
    }

    PeerProcess(const PeerProcess &) = delete;
    PeerProcess &operator=(const PeerProcess &) = delete;

    // The next line the peer prints, or an empty string when it printed none in time.
    QString readLine(int timeoutMs = 10000)
    {
        while (!process_.canReadLine()) {
            if (!process_.waitForReadyRead(timeoutMs))
                return {};
        }
        return QString::fromUtf8(process_.readLine()).trimmed();
    }

    void send(const QString &line)
    {
        process_.write((line + u'\n').toUtf8());
        process_.waitForBytesWritten(5000);
    }

    void finish()
    {
        process_.closeWriteChannel();
        ASSERT_TRUE(process_.waitForFinished(10000));
    }

    void killHard()
    {
        process_.kill(); // SIGKILL: no chance to tidy up
        process_.waitForFinished(5000);
    }

private:
    QProcess process_;
};

} // namespace numora::test
