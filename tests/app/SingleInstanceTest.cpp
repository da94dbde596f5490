// The real program started as separate processes: one instance per user, messages by name, and a
// socket left behind by a crashed instance.
#include "app/CSingleInstance.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using nq::app::CSingleInstance;

namespace {

class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_runtime.isValid());
        ASSERT_TRUE(QFile::exists(Program())) << "build the nq501 target first: " << Program().toStdString();
        m_savedRuntime = qgetenv("XDG_RUNTIME_DIR");
        // The test process itself looks for the instance in the same place as the children.
        qputenv("XDG_RUNTIME_DIR", m_runtime.path().toLocal8Bit());
    }
    void TearDown() override
    {
        for (QProcess* process : m_processes) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(5000);
            }
            delete process;
        }
        qputenv("XDG_RUNTIME_DIR", m_savedRuntime);
    }

    static QString Program() { return QString(NQ501_BINARY_DIR) + "/nq501"; }
    // What the log of an instance holds once its start-up is over: when its first look for
    // devices is done it announces itself (lParam 0); from then on it answers messages at once.
    // Before that a message waits for the start-up, which on a loaded machine can take longer
    // than a sender waits for the answer.
    static constexpr const char* kStartedUp = "，0d_0d";
    QString LogPath(const QString& name) const { return m_runtime.filePath(name + ".log"); }

    QProcess* Start(const QStringList& arguments)
    {
        auto* process = new QProcess;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_RUNTIME_DIR", m_runtime.path());
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.remove("NQ501_LOG");
        for (const QString& name : m_environment.keys())
            environment.insert(name, m_environment.value(name));
        process->setProcessEnvironment(environment);
        process->setProcessChannelMode(m_captureErrors ? QProcess::SeparateChannels : QProcess::ForwardedErrorChannel);
        process->start(Program(), arguments);
        m_processes.push_back(process);
        EXPECT_TRUE(process->waitForStarted(10000));
        return process;
    }
    // Runs the program to its end and returns its exit code (-1 when it crashed). A loaded
    // machine only makes the run longer: the wait is for the process to end.
    int Run(const QStringList& arguments)
    {
        QProcess* process = Start(arguments);
        if (!process->waitForFinished(-1))
            return -1;
        return process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
    }
    // Waits until the log holds text; false when it does not while no started process runs any
    // more. There is no time limit: under load a start takes as long as it takes.
    bool WaitForLog(const QString& path, const QString& text)
    {
        for (;;) {
            QFile file(path);
            if (file.open(QIODevice::ReadOnly) && QString::fromUtf8(file.readAll()).contains(text))
                return true;
            auto running = std::find_if(m_processes.begin(), m_processes.end(),
                                        [](QProcess* p) { return p->state() != QProcess::NotRunning; });
            if (running == m_processes.end())
                return false;
            // Sleeps a moment, unless the process ends before.
            (*running)->waitForFinished(20);
        }
    }

    QTemporaryDir m_runtime;
    QByteArray m_savedRuntime;
    QProcessEnvironment m_environment;  // added to the children's environment
    bool m_captureErrors = false;       // the children's standard error is kept for the test
    std::vector<QProcess*> m_processes;
};

TEST_F(SingleInstanceTest, SecondStartAnnouncesItselfAndExits)
{
    QProcess* first = Start({"--log", LogPath("first")});
    ASSERT_TRUE(WaitForLog(LogPath("first"), kStartedUp));

    EXPECT_EQ(Run({"--log", LogPath("second")}), 0);
    EXPECT_TRUE(WaitForLog(LogPath("first"), "，0d_1d")) << "the running instance got the identity message, lParam 1";
    EXPECT_EQ(first->state(), QProcess::Running);

    // Any named message is answered once the running window has handled it.
    EXPECT_EQ(Run({"--message", "NQ501_TEST_PING", "7", "-7"}), 0);
    EXPECT_EQ(first->state(), QProcess::Running);
}

TEST_F(SingleInstanceTest, TerminationSignalEndsTheRunCleanly)
{
    // A stop request that comes while the window is still being built ends the process as the
    // signal would (after a grace time); once the start-up is over the run ends cleanly.
    QProcess* first = Start({"--log", LogPath("terminated")});
    ASSERT_TRUE(WaitForLog(LogPath("terminated"), kStartedUp));
    ASSERT_TRUE(QFile::exists(CSingleInstance::SocketPath("NQ501")));
    first->terminate();
    ASSERT_TRUE(first->waitForFinished(-1));
    EXPECT_EQ(first->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first->exitCode(), 0);
    EXPECT_FALSE(QFile::exists(CSingleInstance::SocketPath("NQ501"))) << "the socket is removed on the way out";
    EXPECT_FALSE(CSingleInstance::OtherInstanceRuns("NQ501"));
}

TEST_F(SingleInstanceTest, MessageThatCannotBeDeliveredFailsWithAReason)
{
    m_captureErrors = true;
    EXPECT_EQ(Run({"--message", "NQ501", "0", "1"}), 1);
    EXPECT_TRUE(m_processes.back()->readAllStandardError().contains("no instance is running"));
    EXPECT_FALSE(CSingleInstance::SendMessage("NQ501", "NQ501", 0, 1, 500));

    QProcess* first = Start({"--log", LogPath("long")});
    ASSERT_TRUE(WaitForLog(LogPath("long"), kStartedUp));
    EXPECT_EQ(Run({"--message", QString(100 * 1024, 'n'), "0", "1"}), 2);
    EXPECT_TRUE(m_processes.back()->readAllStandardError().contains("longer than"));
    EXPECT_FALSE(CSingleInstance::SendMessage("NQ501", QString(100 * 1024, 'n'), 0, 1, 500));
    // The longest name there may be is delivered.
    EXPECT_EQ(Run({"--message", QString(CSingleInstance::kMaxNameBytes, 'n'), "0", "1"}), 0);
    EXPECT_EQ(first->state(), QProcess::Running);
}

// Something made a folder where the lock file goes: the rule still holds.
TEST_F(SingleInstanceTest, AFolderInPlaceOfTheLockFileStillAllowsOneInstance)
{
    ASSERT_TRUE(QDir().mkpath(CSingleInstance::LockPath("NQ501")));
    QProcess* first = Start({"--log", LogPath("first")});
    ASSERT_TRUE(WaitForLog(LogPath("first"), kStartedUp));
    EXPECT_TRUE(CSingleInstance::OtherInstanceRuns("NQ501"));

    EXPECT_EQ(Run({"--log", LogPath("second")}), 0) << "the second start leaves";
    EXPECT_TRUE(WaitForLog(LogPath("first"), "，0d_1d")) << "after announcing itself to the first";
    EXPECT_EQ(first->state(), QProcess::Running);
}

// A FIFO in place of the catalogue file does not stall the start, and the refusal is said; what
// an interrupted save left in the data folder is removed.
TEST_F(SingleInstanceTest, StartUpCopesWithWhatItFindsOnDisk)
{
    const QString config = m_runtime.filePath("config");
    ASSERT_TRUE(QDir().mkpath(config + "/NQ501"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(config + "/NQ501/devices.json").constData(), 0600), 0);
    const QString data = m_runtime.filePath("data");
    const QString stale = data + "/NQ501/mouse/p.Json.tmp0_0";  // no process has id 0
    ASSERT_TRUE(QDir().mkpath(data + "/NQ501/mouse"));
    QFile partial(stale);
    ASSERT_TRUE(partial.open(QIODevice::WriteOnly));
    partial.write("{ \"Device\": [");
    partial.close();
    m_environment.insert("XDG_CONFIG_HOME", config);
    m_environment.insert("XDG_DATA_HOME", data);
    m_captureErrors = true;

    QProcess* first = Start({"--log", LogPath("disk")});
    ASSERT_TRUE(WaitForLog(LogPath("disk"), "windowinit"));
    EXPECT_FALSE(QFile::exists(stale));
    first->terminate();
    ASSERT_TRUE(first->waitForFinished(-1));
    EXPECT_TRUE(first->readAllStandardError().contains("devices.json: not a regular file"));
}

TEST_F(SingleInstanceTest, SocketLeftByACrashedInstanceDoesNotBlockTheNextStart)
{
    // What a killed instance leaves: a socket file nobody listens on, and an unlocked lock file.
    const QString path = CSingleInstance::SocketPath("NQ501");
    ASSERT_TRUE(path.startsWith(m_runtime.path()));
    int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    QByteArray native = QFile::encodeName(path);
    ASSERT_LT(static_cast<size_t>(native.size()), sizeof(address.sun_path));
    memcpy(address.sun_path, native.constData(), static_cast<size_t>(native.size()));
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd);
    QFile lock(CSingleInstance::LockPath("NQ501"));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.close();
    ASSERT_TRUE(QFile::exists(path));

    QProcess* first = Start({"--log", LogPath("after_crash")});
    ASSERT_TRUE(WaitForLog(LogPath("after_crash"), kStartedUp));
    EXPECT_EQ(first->state(), QProcess::Running) << "the stale socket did not stop the start";
    EXPECT_EQ(Run({"--message", "NQ501", "0", "1"}), 0);
    EXPECT_TRUE(WaitForLog(LogPath("after_crash"), "，0d_1d"));

    // A killed instance leaves its socket file behind; the next start still becomes the instance.
    first->kill();
    first->waitForFinished(5000);
    EXPECT_FALSE(CSingleInstance::OtherInstanceRuns("NQ501"));
    QProcess* next = Start({"--log", LogPath("next")});
    ASSERT_TRUE(WaitForLog(LogPath("next"), "windowinit"));
    EXPECT_EQ(next->state(), QProcess::Running);
}

} // namespace
