#include "common/WorkerThread.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace nq {

namespace {
std::atomic<int> g_runaways{0};
}

// Shared between the owner and the thread, so a thread that is given up never touches freed state.
struct WorkerThread::State {
    StopEvent stop;
    std::mutex lock;
    std::condition_variable cv;
    bool done = false;
    int exitCode = 0;
    std::thread thread;
};

WorkerThread::~WorkerThread()
{
    if (m_state)
        Stop(1000);
}

bool WorkerThread::Start(Body body)
{
    if (m_state)
        Stop(1000);
    auto state = std::make_shared<State>();
    try {
        state->thread = std::thread([state, body = std::move(body)]() mutable {
            int code = body(state->stop);
            {
                std::lock_guard<std::mutex> guard(state->lock);
                state->done = true;
                state->exitCode = code;
            }
            state->cv.notify_all();
        });
    } catch (const std::system_error&) {
        return false;
    }
    m_state = std::move(state);
    return true;
}

bool WorkerThread::Running() const
{
    if (!m_state)
        return false;
    std::lock_guard<std::mutex> guard(m_state->lock);
    return !m_state->done;
}

void WorkerThread::Signal()
{
    if (m_state)
        m_state->stop.Set();
}

StopEvent* WorkerThread::Event() const
{
    return m_state ? &m_state->stop : nullptr;
}

int WorkerThread::ExitCode() const
{
    return m_exitCode;
}

WaitOutcome WorkerThread::Stop(uint32_t timeoutMs)
{
    if (!m_state)
        return WaitOutcome::Failed;
    m_state->stop.Set();
    return Join(timeoutMs);
}

WaitOutcome WorkerThread::Join(uint32_t timeoutMs)
{
    if (!m_state)
        return WaitOutcome::Failed;
    std::shared_ptr<State> state = std::move(m_state);
    bool ended;
    {
        std::unique_lock<std::mutex> guard(state->lock);
        ended = state->cv.wait_for(guard, std::chrono::milliseconds(timeoutMs), [&] { return state->done; });
        if (ended)
            m_exitCode = state->exitCode;
    }
    if (std::this_thread::get_id() == state->thread.get_id()) {
        // A thread stopping itself cannot join itself.
        state->thread.detach();
        return ended ? WaitOutcome::Signalled : WaitOutcome::Timeout;
    }
    if (ended) {
        state->thread.join();
        return WaitOutcome::Signalled;
    }
    state->thread.detach();
    m_exitCode = 0;
    ++g_runaways;
    return WaitOutcome::Timeout;
}

int WorkerThread::RunawayCount()
{
    return g_runaways.load();
}

} // namespace nq
