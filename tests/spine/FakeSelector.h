#pragma once
// Test doubles around DeviceConnections: a selector that records what it was asked to show and
// hide, and a discovery listener whose messages run the handlers directly (the test thread plays
// the UI thread).
#include "devices/DeviceConnections.h"
#include "hid/DiscoveryListener.h"

#include <vector>

namespace nqtest {

class FakeSelector : public nq::IDeviceSelector {
public:
    void ShowConnectedDevice(nq::CKelvaskUSBDevice& device) override
    {
        shown.push_back(&device);
        visible = true;
    }
    void HideDevice(nq::CKelvaskUSBDevice& device) override
    {
        hidden.push_back(&device);
        visible = false;
    }
    void RefreshAndBringToFront() override { ++refreshes; }
    std::vector<nq::CKelvaskUSBDevice*> shown, hidden;
    int refreshes = 0;
    bool visible = false; // the last device shown has not been hidden since
};

class DirectListener : public nq::DiscoveryListener {
public:
    explicit DirectListener(nq::DeviceConnections& connections) : m_connections(connections) {}
    void SendDeviceArrived(int slot) override { m_connections.OnDeviceArrived(slot); }
    void SendDeviceRemoved(int slot) override { m_connections.OnDeviceRemoved(slot); }
    void PostFirstPassDone() override {}

private:
    nq::DeviceConnections& m_connections;
};

} // namespace nqtest
