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
// The first stop request not yet taken by the event loop (0 when none).
volatile sig_atomic_t g_pending = 0;

void SetHandler(int number, void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = handler == SIG_DFL ? 0 : SA_RESTART;
    ::sigaction(number, &action, nullptr);
}

} // namespace

void CTerminationSignals::OnSignal(int number)
{
    char byte = static_cast<char>(number);
    ssize_t ignored = ::write(g_pipe[1], &byte, 1);
    (void)ignored;
    if (!g_pending) {
        g_pending = number;
        ::alarm(kGraceSeconds);
    }
}

void CTerminationSignals::OnGraceOver(int)
{
    // The event loop did not take the request: end as the signal itself would have.
    const int number = g_pending ? g_pending : SIGTERM;
    SetHandler(number, SIG_DFL);
    ::raise(number);
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
    g_pending = 0;
    SetHandler(SIGALRM, &CTerminationSignals::OnGraceOver);
    for (int number : kSignals)
        SetHandler(number, &CTerminationSignals::OnSignal);
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &CTerminationSignals::OnReadable);
}

CTerminationSignals::~CTerminationSignals()
{
    if (!m_notifier)
        return;
    for (int number : kSignals)
        SetHandler(number, SIG_DFL);
    ::alarm(0);
    SetHandler(SIGALRM, SIG_DFL);
    g_pending = 0;
    delete m_notifier;
    m_notifier = nullptr;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void CTerminationSignals::OnReadable()
{
    // The loop has the request: the shutdown may take its time (threads stop within their bounds).
    ::alarm(0);
    g_pending = 0;
    char byte = 0;
    while (::read(g_pipe[0], &byte, 1) > 0)
        nq::DebugOutF("signal %d: leaving", static_cast<int>(byte));
    QCoreApplication::quit();
}

} // namespace nq::app
