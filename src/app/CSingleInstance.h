#pragma once
// The single-instance rule and the inter-process messages by name.
//
// The running instance holds an exclusive lock on "<socket>.lock" (flock, released by the kernel
// when the process ends, however it ends; a folder of that name is locked itself) and listens on a per-user local socket named after the
// identity: $XDG_RUNTIME_DIR/<identity>.socket, or <temp>/<identity>-<uid>.socket without a
// runtime folder. A socket file left behind by a crashed instance is removed by the next process
// that gets the lock, so it never blocks a start.
//
// A message is one line "<name> <wParam> <lParam>\n" (name percent-encoded, numbers in decimal);
// the instance answers "ok\n" once its handler has run, so a sender knows it was delivered.
// A line that starts with "{" is a control request of nq501ctl (one JSON object, see
// control/ControlRequest.h); the control handler's answer goes back as one line.
#include <QObject>
#include <QString>

#include <functional>

class QLocalServer;
class QLocalSocket;

namespace nq::app {

class CSingleInstance : public QObject {
    Q_OBJECT
public:
    explicit CSingleInstance(const QString& identity, QObject* parent = nullptr);
    ~CSingleInstance() override;

    // Takes the instance lock: true when this process is (now) the running instance, false when
    // another process is, or when the lock cannot be taken at all (LockError() then says why, and
    // the process must not run: a second instance could not be told apart). Needs no application
    // object, so a second start can leave at once.
    bool Acquire();
    QString LockError() const { return m_lockError; }
    // Starts taking messages (needs the application object). False when the socket cannot be
    // created; the instance then runs without messages.
    bool Listen();
    bool IsListening() const;

    static QString SocketPath(const QString& identity);
    static QString LockPath(const QString& identity);
    static bool OtherInstanceRuns(const QString& identity);
    // Message names are 1 to kMaxNameBytes bytes of UTF-8.
    static constexpr int kMaxNameBytes = 1024;
    static bool IsValidMessageName(const QString& name);
    // Delivers a message to the running instance and waits for its answer. False when the name is
    // not valid, no instance runs or it did not answer within timeoutMs.
    static bool SendMessage(const QString& identity, const QString& name, quint64 wParam, qint64 lParam,
                            int timeoutMs = 3000);

    // Announces a message to every interested program: a D-Bus signal "Message" (name, wParam,
    // lParam) of interface "org.nq501.Messages" on path "/NQ501" of the session bus. False when
    // there is no session bus.
    static bool Broadcast(const QString& name, quint64 wParam, qint64 lParam);

    // Takes control requests: the handler gets the request line and hands the answer line
    // (without line breaks) to `reply`, at once or later on the UI thread; an answer for a peer
    // that has gone is dropped. Without a handler a control request is answered with an error.
    using Reply = std::function<void(const QByteArray& answer)>;
    using ControlHandler = std::function<void(const QByteArray& request, Reply reply)>;
    void SetControlHandler(ControlHandler handler) { m_controlHandler = std::move(handler); }

signals:
    void messageReceived(const QString& name, quintptr wParam, qintptr lParam);

private:
    void OnNewConnection();
    void OnReadyRead(QLocalSocket* socket);

    QString m_identity;
    int m_lockFd = -1;
    QString m_lockError;
    QLocalServer* m_server = nullptr;
    ControlHandler m_controlHandler;
};

} // namespace nq::app
