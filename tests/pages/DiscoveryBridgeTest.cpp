// The discovery thread's synchronous messages: the handler runs on the UI thread before the send
// returns, and a stop request frees a send that the UI thread will never serve.
#include "PagesSupport.h"
#include "app/MainWndDiscoveryBridge.h"

#include <QObject>
#include <QThread>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace nq;
using nq::app::MainWndDiscoveryBridge;

TEST(DiscoveryBridge, SendWaitsForTheUiThreadHandler)
{
    QObject receiver;
    std::atomic<int> handledOnUi{0};
    std::atomic<bool> returned{false};
    MainWndDiscoveryBridge bridge(
        &receiver,
        [&](int slot) {
            EXPECT_EQ(QThread::currentThread(), receiver.thread());
            handledOnUi = slot + 100;
        },
        [](int) {}, [] {});
    StopEvent stop;
    bridge.SetStopEvent(&stop);
    std::thread discovery([&] {
        bridge.SendDeviceArrived(3);
        // The handler has run by the time the send returns.
        EXPECT_EQ(handledOnUi.load(), 103);
        returned = true;
    });
    EXPECT_TRUE(nqtest::WaitFor([&] { return returned.load(); }));
    discovery.join();
}

TEST(DiscoveryBridge, StopFreesASendTheUiNeverServes)
{
    QObject receiver;
    MainWndDiscoveryBridge bridge(&receiver, [](int) {}, [](int) {}, [] {});
    StopEvent stop;
    bridge.SetStopEvent(&stop);
    std::atomic<bool> returned{false};
    std::thread discovery([&] {
        bridge.SendDeviceRemoved(1);
        returned = true;
    });
    // The UI thread is busy (shutting down) and runs no events.
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_FALSE(returned.load());
    const auto start = std::chrono::steady_clock::now();
    stop.Set();
    discovery.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
    EXPECT_TRUE(returned.load());
    // Once stopped, a send returns at once without waiting for the UI thread.
    const auto again = std::chrono::steady_clock::now();
    bridge.SendDeviceArrived(2);
    EXPECT_LT(std::chrono::steady_clock::now() - again, std::chrono::milliseconds(20));
}
