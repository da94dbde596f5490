#pragma once
// Delivers the discovery thread's messages to the main window on the UI thread. The device
// messages are synchronous: the discovery thread waits until the window has handled them, but
// gives up waiting as soon as its stop event is set, so a shutdown never waits on a window that
// no longer runs its event loop.
#include "common/StopEvent.h"
#include "hid/DiscoveryListener.h"

#include <QObject>
#include <QPointer>

#include <functional>

namespace nq::app {

class MainWndDiscoveryBridge : public DiscoveryListener {
public:
    using Handler = std::function<void(int)>;

    // receiver: the object whose thread runs the handlers (the main window).
    MainWndDiscoveryBridge(QObject* receiver, Handler arrived, Handler removed, std::function<void()> firstPass);

    // The stop event of the discovery thread (set once the thread runs).
    void SetStopEvent(StopEvent* stop) { m_stop = stop; }

    void SendDeviceArrived(int slotIndex) override;
    void SendDeviceRemoved(int slotIndex) override;
    void PostFirstPassDone() override;

private:
    void Send(const Handler& handler, int slotIndex);

    QPointer<QObject> m_receiver;
    Handler m_arrived, m_removed;
    std::function<void()> m_firstPass;
    StopEvent* m_stop = nullptr;
};

} // namespace nq::app
