#pragma once
// Ends the event loop cleanly when the session or the user asks the process to stop (SIGTERM,
// SIGINT, SIGHUP): the main window is then destroyed as on a normal exit, its worker threads
// stop, the instance socket is removed and the exit code is 0. A request that the event loop does
// not take within kGraceSeconds (the loop is not running yet, or is busy building the window) ends
// the process at once, as the signal's default would: a stop request always works.
#include <QObject>

class QSocketNotifier;

namespace nq::app {

class CTerminationSignals : public QObject {
    Q_OBJECT
public:
    static constexpr unsigned kGraceSeconds = 5;

    explicit CTerminationSignals(QObject* parent = nullptr);
    ~CTerminationSignals() override;
    // False when the handlers could not be installed (the signals then keep their default).
    bool IsInstalled() const { return m_notifier != nullptr; }

private:
    static void OnSignal(int number);
    static void OnGraceOver(int number);
    void OnReadable();

    QSocketNotifier* m_notifier = nullptr;
};

} // namespace nq::app
