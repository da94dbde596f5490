#include "app/MainWndDiscoveryBridge.h"

#include <QThread>

#include <condition_variable>
#include <memory>
#include <mutex>

namespace nq::app {

namespace {
// While waiting for the window the discovery thread looks at its stop event this often.
constexpr auto kStopCheck = std::chrono::milliseconds(50);
} // namespace

MainWndDiscoveryBridge::MainWndDiscoveryBridge(QObject* receiver, Handler arrived, Handler removed,
                                               std::function<void()> firstPass)
    : m_receiver(receiver), m_arrived(std::move(arrived)), m_removed(std::move(removed)), m_firstPass(std::move(firstPass))
{
}

void MainWndDiscoveryBridge::SendDeviceArrived(int slotIndex) { Send(m_arrived, slotIndex); }
void MainWndDiscoveryBridge::SendDeviceRemoved(int slotIndex) { Send(m_removed, slotIndex); }

void MainWndDiscoveryBridge::Send(const Handler& handler, int slotIndex)
{
    QObject* receiver = m_receiver;
    if (!receiver || (m_stop && m_stop->IsSet()))
        return;
    if (QThread::currentThread() == receiver->thread()) {
        handler(slotIndex);
        return;
    }
    struct Done {
        std::mutex lock;
        std::condition_variable cv;
        bool done = false;
    };
    auto done = std::make_shared<Done>();
    QMetaObject::invokeMethod(
        receiver,
        [handler, slotIndex, done] {
            handler(slotIndex);
            {
                std::lock_guard<std::mutex> guard(done->lock);
                done->done = true;
            }
            done->cv.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock<std::mutex> guard(done->lock);
    while (!done->cv.wait_for(guard, kStopCheck, [&] { return done->done; })) {
        if (m_stop && m_stop->IsSet())
            return;
    }
}

void MainWndDiscoveryBridge::PostFirstPassDone()
{
    if (QObject* receiver = m_receiver)
        QMetaObject::invokeMethod(receiver, [first = m_firstPass] { first(); }, Qt::QueuedConnection);
}

} // namespace nq::app
