// The lighting thread: passes on a 2 ms grid, sleeping between the calls it is asked for.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/DebugLog.h"
#include "devices/LightingThread.h"

namespace nq {
namespace {

using namespace std::chrono_literals;

TEST(LightingThread, RunsOnThePassGridAndSleepsBetweenCalls)
{
    LightingThread thread("test lighting thread ends");
    auto passes = std::make_shared<std::atomic<int>>(0);
    auto calls = std::make_shared<std::atomic<int>>(0);
    ASSERT_TRUE(thread.Start([passes, calls](int elapsed) {
        passes->fetch_add(elapsed);
        calls->fetch_add(1);
        return 10; // come back after 20 ms
    }));
    EXPECT_TRUE(thread.Running());
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(thread.Stop(), LightingThread::StopOutcome::Stopped);
    EXPECT_FALSE(thread.Running());

    // About 150 passes went by in about 15 calls; a loose check that survives a busy machine
    // while catching a thread that wakes for every pass or never counts the passes it slept.
    EXPECT_GE(passes->load(), 50);
    EXPECT_GE(calls->load(), 3);
    EXPECT_LE(calls->load(), 40);
    EXPECT_GE(passes->load(), calls->load() * 5);
    EXPECT_EQ(thread.Wakeups(), uint64_t(calls->load()));
}

TEST(LightingThread, StopsPromptlyWritesItsExitTextAndRestarts)
{
    std::vector<std::string> log;
    std::mutex logLock;
    SetDebugLogCallback([&](const std::string& line) {
        std::lock_guard<std::mutex> guard(logLock);
        log.push_back(line);
    });

    LightingThread thread("MS灯光线程设定退出");
    EXPECT_EQ(thread.Stop(), LightingThread::StopOutcome::NotRunning);
    ASSERT_TRUE(thread.Start([](int) { return LightingThread::kMaxPasses; })); // a 1 s sleep
    std::this_thread::sleep_for(20ms);
    ASSERT_TRUE(thread.Start([](int) { return LightingThread::kMaxPasses; })); // restart stops the first
    std::this_thread::sleep_for(20ms);
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(thread.Stop(), LightingThread::StopOutcome::Stopped);
    EXPECT_LT(std::chrono::steady_clock::now() - before, 500ms) << "a stop ends the sleep at once";
    EXPECT_EQ(thread.Stop(), LightingThread::StopOutcome::NotRunning);

    SetDebugLogCallback({});
    std::lock_guard<std::mutex> guard(logLock);
    int exits = 0;
    for (const std::string& line : log)
        exits += line == "MS灯光线程设定退出";
    EXPECT_EQ(exits, 2);
}

TEST(LightingThread, StopGivesUpOnAPassThatDoesNotReturn)
{
    // A pass that blocks until the test lets it go. The test waits for the pass to have begun
    // (a stop before that would end the thread in its sleep), and afterwards for the thread it
    // gave up to let go of its state: the pass function (with what it holds) is destroyed only
    // when that thread has finished.
    struct Pass {
        std::mutex lock;
        std::condition_variable changed;
        bool entered = false;
        bool released = false;
    };
    auto pass = std::make_shared<Pass>();
    struct SignalOnDestruction {
        std::promise<void> done;
        ~SignalOnDestruction() { done.set_value(); }
    };
    auto token = std::make_shared<SignalOnDestruction>();
    std::future<void> threadFinished = token->done.get_future();
    {
        LightingThread thread("stuck");
        ASSERT_TRUE(thread.Start([pass, token = std::move(token)](int) {
            std::unique_lock<std::mutex> guard(pass->lock);
            pass->entered = true;
            pass->changed.notify_all();
            pass->changed.wait(guard, [&] { return pass->released; });
            return 1;
        }));
        {
            std::unique_lock<std::mutex> guard(pass->lock);
            pass->changed.wait(guard, [&] { return pass->entered; });
        }
        EXPECT_EQ(thread.Stop(50), LightingThread::StopOutcome::TimedOut);
        EXPECT_EQ(thread.Stop(), LightingThread::StopOutcome::NotRunning);
    } // the object goes; the thread it gave up keeps only its own shared state
    {
        std::lock_guard<std::mutex> guard(pass->lock);
        pass->released = true;
        pass->changed.notify_all();
    }
    // The pass returns, the thread sees the stop request, ends and drops the pass function.
    threadFinished.wait();
}

} // namespace
} // namespace nq
