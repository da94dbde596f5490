// The transfer worker of a device: jobs in order, one frame slot that a newer frame replaces,
// configuration jobs before a waiting frame, and a stop that drops what has not started.
#include "devices/DeviceWorker.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <mutex>
#include <string>
#include <thread>

using nq::DeviceWorker;

namespace {

constexpr uint32_t kWaitMs = 10000;

// A job that holds the worker until Release.
class Gate {
public:
    DeviceWorker::Job Job()
    {
        return [this] {
            m_entered.set_value();
            m_release.get_future().wait();
        };
    }
    void WaitEntered() { m_entered.get_future().wait(); }
    void Release() { m_release.set_value(); }

private:
    std::promise<void> m_entered;
    std::promise<void> m_release;
};

class Log {
public:
    DeviceWorker::Job Add(const std::string& name)
    {
        return [this, name] {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_text += name + " ";
        };
    }
    std::string Text()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_text;
    }

private:
    std::mutex m_mutex;
    std::string m_text;
};

} // namespace

TEST(DeviceWorker, JobsRunInOrderBeforeTheNewestWaitingFrame)
{
    DeviceWorker worker;
    Gate gate;
    Log log;
    ASSERT_TRUE(worker.Post(gate.Job()));
    gate.WaitEntered();
    EXPECT_FALSE(worker.OnWorkerThread());
    // While the worker is held: two frames (the first is replaced) and two jobs.
    worker.PostFrame(log.Add("frame1"));
    worker.Post(log.Add("write1"));
    worker.PostFrame(log.Add("frame2"));
    worker.Post(log.Add("write2"));
    EXPECT_TRUE(worker.Busy());
    gate.Release();
    ASSERT_TRUE(worker.WaitIdle(kWaitMs));
    EXPECT_EQ(log.Text(), "write1 write2 frame2 ");
    EXPECT_EQ(worker.DroppedFrames(), 1u);
    EXPECT_FALSE(worker.Busy());

    std::promise<bool> onWorker;
    worker.Post([&] { onWorker.set_value(worker.OnWorkerThread()); });
    EXPECT_TRUE(onWorker.get_future().get());
}

TEST(DeviceWorker, StopDropsWhatHasNotStartedAndRefusesLaterWork)
{
    DeviceWorker worker;
    Gate gate;
    Log log;
    worker.Post(gate.Job());
    gate.WaitEntered();
    worker.Post(log.Add("dropped"));
    worker.PostFrame(log.Add("frame"));
    std::thread release([&] {
        // Stop waits for the running job: let it end once Stop refuses new work (by then it has
        // dropped what waited).
        while (worker.PostFrame([] {}))
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        gate.Release();
    });
    worker.Stop();
    release.join();
    EXPECT_EQ(log.Text(), "");
    EXPECT_FALSE(worker.Post(log.Add("late")));
    EXPECT_FALSE(worker.PostFrame(log.Add("late frame")));
    EXPECT_TRUE(worker.WaitIdle(kWaitMs));

    worker.Restart();
    ASSERT_TRUE(worker.Post(log.Add("again")));
    ASSERT_TRUE(worker.WaitIdle(kWaitMs));
    EXPECT_EQ(log.Text(), "again ");
}
