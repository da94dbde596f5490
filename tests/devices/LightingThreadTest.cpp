// The lighting thread: passes on a 2 ms grid, sleeping between the calls it is asked for.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
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
    auto release = std::make_shared<std::atomic<bool>>(false);
    {
        LightingThread thread("stuck");
        ASSERT_TRUE(thread.Start([release](int) {
            while (!release->load())
                std::this_thread::sleep_for(5ms);
            return 1;
        }));
        std::this_thread::sleep_for(20ms);
        EXPECT_EQ(thread.Stop(50), LightingThread::StopOutcome::TimedOut);
        EXPECT_EQ(thread.Stop(), LightingThread::StopOutcome::NotRunning);
    } // the object goes; the thread it gave up keeps only its own shared state
    release->store(true);
    std::this_thread::sleep_for(30ms);
}

} // namespace
} // namespace nq
