// Broadcast messages reach other programs as a D-Bus signal on the session bus.
#include "app/CSingleInstance.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <gtest/gtest.h>

namespace {

// Reads from process until its output holds text or a few seconds have passed.
bool ReadUntil(QProcess& process, QByteArray& output, const QByteArray& text)
{
    QElapsedTimer clock;
    clock.start();
    while (!output.contains(text) && clock.elapsed() < 5000) {
        process.waitForReadyRead(100);
        output += process.readAllStandardOutput();
    }
    return output.contains(text);
}

TEST(Broadcast, ArrivesAsASessionBusSignal)
{
    const QString daemon = QStandardPaths::findExecutable("dbus-daemon");
    const QString monitorProgram = QStandardPaths::findExecutable("dbus-monitor");
    if (daemon.isEmpty() || monitorProgram.isEmpty())
        GTEST_SKIP() << "no dbus-daemon or dbus-monitor";
    QProcess bus;
    bus.start(daemon, {"--session", "--nofork", "--print-address=1"});
    ASSERT_TRUE(bus.waitForStarted(5000));
    ASSERT_TRUE(bus.waitForReadyRead(5000));
    const QString address = QString::fromUtf8(bus.readLine()).trimmed();
    ASSERT_FALSE(address.isEmpty());

    QProcess monitor;
    monitor.start(monitorProgram, {"--address", address, "type='signal',interface='org.nq501.Messages'"});
    ASSERT_TRUE(monitor.waitForStarted(5000));
    QByteArray output;
    // The monitor is listening once it has its own name.
    ASSERT_TRUE(ReadUntil(monitor, output, "NameAcquired") || ReadUntil(monitor, output, "NameLost"));
    QThread::msleep(100);
    output.clear();

    // The program's own session-bus connection is made on first use, from this variable.
    qputenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8());
    EXPECT_TRUE(nq::app::CSingleInstance::Broadcast("{4695579F-999A-41d4-9FAF-EFFCE93EBF16}", 1, 1));
    EXPECT_TRUE(ReadUntil(monitor, output, "int64 1")) << output.toStdString();
    EXPECT_TRUE(output.contains("path=/NQ501; interface=org.nq501.Messages; member=Message"));
    EXPECT_TRUE(output.contains("string \"{4695579F-999A-41d4-9FAF-EFFCE93EBF16}\""));
    EXPECT_TRUE(output.contains("uint64 1"));

    monitor.kill();
    monitor.waitForFinished(5000);
    bus.kill();
    bus.waitForFinished(5000);
}

} // namespace
