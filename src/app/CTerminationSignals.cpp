#include "app/CTerminationSignals.h"

#include "common/DebugLog.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace nq::app {
namespace {

// The write end is used from the signal handler, which may only call async-signal-safe functions.
int g_pipe[2] = {-1, -1};
const int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

} // namespace

void CTerminationSignals::OnSignal(int number)
{
    char byte = static_cast<char>(number);
    ssize_t ignored = ::write(g_pipe[1], &byte, 1);
    (void)ignored;
}

CTerminationSignals::CTerminationSignals(QObject* parent) : QObject(parent)
{
    if (g_pipe[0] >= 0)
        return; // one instance per process
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_pipe) != 0) {
        nq::DebugOut("termination signals: no socket pair");
        g_pipe[0] = g_pipe[1] = -1;
        return;
    }
    struct sigaction action {};
    action.sa_handler = &CTerminationSignals::OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : kSignals)
        ::sigaction(number, &action, nullptr);
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &CTerminationSignals::OnReadable);
}

CTerminationSignals::~CTerminationSignals()
{
    if (!m_notifier)
        return;
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (int number : kSignals)
        ::sigaction(number, &action, nullptr);
    delete m_notifier;
    m_notifier = nullptr;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void CTerminationSignals::OnReadable()
{
    char byte = 0;
    while (::read(g_pipe[0], &byte, 1) > 0)
        nq::DebugOutF("signal %d: leaving", static_cast<int>(byte));
    QCoreApplication::quit();
}

} // namespace nq::app
