#include "app/CSingleInstance.h"

#include "common/DebugLog.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QThread>
#include <QUrl>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace nq::app {
namespace {

constexpr qint64 kMaxLine = 4096;
// The longest name, percent-encoded (three bytes per byte at most), and two numbers fit in a line.
static_assert(3 * CSingleInstance::kMaxNameBytes + 2 * 22 < kMaxLine);

int OpenLock(const QString& path, bool create)
{
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0), 0600);
    if (fd >= 0 || errno != EISDIR)
        return fd;
    // A folder of the lock's name: every start locks that folder instead, so the rule still holds.
    return ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

QByteArray EncodeMessage(const QString& name, quint64 wParam, qint64 lParam)
{
    return QUrl::toPercentEncoding(name) + ' ' + QByteArray::number(wParam) + ' ' + QByteArray::number(lParam) + '\n';
}

} // namespace

CSingleInstance::CSingleInstance(const QString& identity, QObject* parent) : QObject(parent), m_identity(identity) {}

CSingleInstance::~CSingleInstance()
{
    if (m_server) {
        m_server->close();
        QLocalServer::removeServer(SocketPath(m_identity));
    }
    if (m_lockFd >= 0)
        ::close(m_lockFd);
}

QString CSingleInstance::SocketPath(const QString& identity)
{
    QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return QDir(runtime).filePath(identity + ".socket");
    return QDir(QDir::tempPath()).filePath(QString("%1-%2.socket").arg(identity).arg(::getuid()));
}

QString CSingleInstance::LockPath(const QString& identity)
{
    return SocketPath(identity) + ".lock";
}

bool CSingleInstance::OtherInstanceRuns(const QString& identity)
{
    int fd = OpenLock(LockPath(identity), false);
    if (fd < 0)
        return false;
    bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

bool CSingleInstance::Acquire()
{
    m_lockError.clear();
    if (m_lockFd >= 0)
        return true;
    int fd = OpenLock(LockPath(m_identity), true);
    if (fd < 0) {
        // Without the lock a second instance could run beside this one and fight over the devices.
        m_lockError = QString("cannot open the instance lock %1: %2")
                          .arg(LockPath(m_identity), QString::fromLocal8Bit(strerror(errno)));
        nq::DebugOut("single instance: " + m_lockError.toStdString());
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK) {
            m_lockError = QString("cannot lock %1: %2")
                              .arg(LockPath(m_identity), QString::fromLocal8Bit(strerror(errno)));
            nq::DebugOut("single instance: " + m_lockError.toStdString());
        }
        ::close(fd);
        return false;
    }
    m_lockFd = fd;
    return true;
}

bool CSingleInstance::Listen()
{
    if (m_lockFd < 0)
        return false;
    if (m_server)
        return m_server->isListening();
    const QString path = SocketPath(m_identity);
    // Whatever socket file is there belongs to an instance that is gone.
    QLocalServer::removeServer(path);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(path)) {
        nq::DebugOutF("single instance: cannot listen on %s: %s", path.toLocal8Bit().constData(),
                      m_server->errorString().toLocal8Bit().constData());
        delete m_server;
        m_server = nullptr;
        return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, &CSingleInstance::OnNewConnection);
    return true;
}

bool CSingleInstance::IsListening() const
{
    return m_server && m_server->isListening();
}

void CSingleInstance::OnNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { OnReadyRead(socket); });
        if (socket->bytesAvailable() > 0)
            OnReadyRead(socket);
    }
}

void CSingleInstance::OnReadyRead(QLocalSocket* socket)
{
    while (socket->canReadLine()) {
        QByteArray line = socket->readLine(kMaxLine + 1).trimmed();
        if (line.startsWith('{')) {
            QPointer<QLocalSocket> guard(socket);
            Reply reply = [guard](const QByteArray& answer) {
                if (guard)
                    guard->write(answer + '\n');
            };
            if (m_controlHandler)
                m_controlHandler(line, reply);
            else
                reply(R"({"version":1,"exit":4,"message":"this nq501 takes no control requests","data":{}})");
            if (!guard)
                return;
            continue;
        }
        QList<QByteArray> parts = line.split(' ');
        bool wOk = false;
        bool lOk = false;
        quint64 wParam = parts.size() == 3 ? parts[1].toULongLong(&wOk) : 0;
        qint64 lParam = parts.size() == 3 ? parts[2].toLongLong(&lOk) : 0;
        QString name = parts.size() == 3 ? QUrl::fromPercentEncoding(parts[0]) : QString();
        if (name.isEmpty() || !wOk || !lOk) {
            nq::DebugOutF("single instance: malformed message \"%s\"", line.left(200).constData());
            socket->write("error\n");
            continue;
        }
        QPointer<QLocalSocket> guard(socket);
        emit messageReceived(name, static_cast<quintptr>(wParam), static_cast<qintptr>(lParam));
        if (!guard)
            return;
        socket->write("ok\n");
    }
    // A peer that sends an endless line is cut off.
    if (socket->bytesAvailable() > kMaxLine)
        socket->abort();
}

bool CSingleInstance::SendMessage(const QString& identity, const QString& name, quint64 wParam, qint64 lParam,
                                  int timeoutMs)
{
    if (!IsValidMessageName(name) || !OtherInstanceRuns(identity))
        return false;
    QDeadlineTimer deadline(timeoutMs);
    const QString path = SocketPath(identity);
    // The instance may have taken its lock a moment ago and not be listening yet.
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(path);
        if (!socket.waitForConnected(static_cast<int>(qMin<qint64>(500, deadline.remainingTime())))) {
            QThread::msleep(50);
            continue;
        }
        socket.write(EncodeMessage(name, wParam, lParam));
        if (!socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime())))
            return false;
        while (!socket.canReadLine()) {
            if (deadline.hasExpired() || !socket.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
                return false;
        }
        bool delivered = socket.readLine().trimmed() == "ok";
        socket.disconnectFromServer();
        return delivered;
    }
    return false;
}

bool CSingleInstance::IsValidMessageName(const QString& name)
{
    return !name.isEmpty() && name.toUtf8().size() <= kMaxNameBytes;
}

bool CSingleInstance::Broadcast(const QString& name, quint64 wParam, qint64 lParam)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage signal = QDBusMessage::createSignal("/NQ501", "org.nq501.Messages", "Message");
    signal << name << static_cast<qulonglong>(wParam) << static_cast<qlonglong>(lParam);
    return bus.send(signal);
}

} // namespace nq::app
