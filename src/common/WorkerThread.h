#pragma once
// One worker thread with its stop event: the pattern every long-running thread of the program
// follows. The body receives the stop event and returns its exit code. Stop() signals the event
// and waits a bounded time; a thread that does not end in time is given up ("terminated"): it is
// detached and counted, and the program then leaves without running destructors that such a
// thread could still reach (see RunawayCount).
#include "common/StopEvent.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace nq {

enum class WaitOutcome {
    Signalled, // the thread ended
    Abandoned, // the thread ended while holding a lock (never produced on this platform)
    Timeout,   // the thread did not end in time and was given up
    Failed,    // nothing to wait for
};

class WorkerThread {
public:
    using Body = std::function<int(StopEvent&)>;

    WorkerThread() = default;
    ~WorkerThread(); // stops a running thread (1000 ms)
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Starts the body on a new thread with a fresh, clear stop event. A thread still running is
    // stopped first. False when the thread cannot be created.
    bool Start(Body body);
    // True while a thread was started and not yet stopped (it may have ended on its own).
    bool Started() const { return m_state != nullptr; }
    // True while the body runs.
    bool Running() const;
    // Signals the stop event without waiting.
    void Signal();
    // Waits at most timeoutMs for the thread after signalling its stop event; Failed when no
    // thread was started. The thread is released afterwards either way.
    WaitOutcome Stop(uint32_t timeoutMs = 1000);
    // Waits without signalling (the caller signalled already).
    WaitOutcome Join(uint32_t timeoutMs);

    // The stop event of the running thread, or nullptr.
    StopEvent* Event() const;
    int ExitCode() const;

    // Number of threads given up since the start of the process.
    static int RunawayCount();

private:
    struct State;
    std::shared_ptr<State> m_state;
    int m_exitCode = 0;
};

} // namespace nq
