#pragma once
// The lighting thread of one device. It runs a pass function on a fixed grid of 2 ms passes, but
// sleeps in between: the function says after how many passes it must run again, the thread waits
// for that deadline (or a stop request) and then tells the function how many passes went by.
// An effect that steps every 28 passes therefore wakes the thread every 56 ms, not every 1 ms, and
// its steps fall on the same pass grid as with a pass-by-pass loop.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace nq {

class LightingThread {
public:
    static constexpr std::chrono::milliseconds kPass{2};
    // Suggested answers of a pass function: the command channel is closed (100 ms), the device
    // lights are synchronised from elsewhere (look again after one 50 ms frame).
    static constexpr int kClosedPasses = 50;
    static constexpr int kIdlePasses = 25;
    // One frame of the 50 ms lighting stream: the shortest useful wait of a device's pass function.
    static constexpr int kFramePasses = 25;
    // A pass function's answer is clamped to 1 .. kMaxPasses.
    static constexpr int kMaxPasses = 500;
    // Answer of a pass function whose output cannot be seen: the thread sleeps until Wake() (or a
    // stop request) and then starts a new pass grid, without catching up the time it slept.
    static constexpr int kUntilWoken = -1;

    // Receives the number of passes since its last call (at least 1) and returns the number of
    // passes until its next call.
    using PassFunction = std::function<int(int passes)>;

    enum class StopOutcome {
        NotRunning, // nothing was started
        Stopped,    // the thread ended within the time limit
        TimedOut,   // the thread did not end in time; it was left to finish on its own
    };

    // exitMessage is written to the diagnostics when the thread leaves on a stop request.
    explicit LightingThread(std::string exitMessage);
    ~LightingThread(); // Stop()
    LightingThread(const LightingThread&) = delete;
    LightingThread& operator=(const LightingThread&) = delete;

    // Starts the thread; a running one is stopped first. False when no thread can be created.
    bool Start(PassFunction function);
    // Signals the stop request and waits at most timeoutMs for the thread to end.
    StopOutcome Stop(uint32_t timeoutMs = 1000);
    bool Running() const;
    // Ends a kUntilWoken sleep. A wake that arrives while the pass function runs is kept for the
    // next sleep, so it is never lost.
    void Wake();
    // Times the pass function ran since the last Start (for tests and benchmarks).
    uint64_t Wakeups() const;

private:
    struct Shared;
    std::string m_exitMessage;
    std::shared_ptr<Shared> m_shared;
    std::thread m_thread;
};

} // namespace nq
