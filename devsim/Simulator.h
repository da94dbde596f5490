#pragma once
// The device simulator: emulated devices whose HID interfaces are SOCK_SEQPACKET sockets in a
// simulator folder. The program's HID layer uses that folder instead of the machine's hidraw
// nodes when NQ501_SIM_DIR names it.
//
// Folder layout, per plugged interface (BASE = DEVICE-ifN, or DEVICE-LINK-ifN for a device with
// several links):
//   BASE.sock  listening socket; every connection is one open handle; one message is one report
//              (byte 0 the report ID when the interface uses report IDs, as hidraw delivers it)
//   BASE.desc  the report descriptor, binary
//   BASE.id    identity, "key=value" lines: vendor, product, version (hex), interface (decimal),
//              device, link
// plus "wire.log" (one line per report: '>' host to device or '<' device to host, the interface
// path of the collection that owns the report, the bytes in lower-case hex) and, for a daemon,
// the control socket "control".
//
// Use in-process (tests, demo mode):
//   auto sim = std::make_unique<nqsim::Simulator>("/tmp/x/");
//   sim->Start();                    // background thread serving the sockets
//   sim->AddDevice("keyboard");      // created and plugged
//   setenv("NQ501_SIM_DIR", "/tmp/x/", 1);
// or simply nqsim::Simulator::StartDemo(folder), which starts one device of each kind.
// Every call is thread-safe; the sockets are served by one thread that waits in poll().
#include "common/EventFd.h"
#include "devsim/SimDeviceSetup.h"
#include "devsim/SimFirmware.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace nqsim {

struct SimDeviceStatus {
    std::string name;
    std::string kindName;
    int kind = 0;
    struct Link {
        std::string name;
        uint16_t vendorId = 0;
        uint16_t productId = 0;
        bool plugged = false;
        std::vector<std::string> paths; // one per top-level collection while plugged
    };
    std::vector<Link> links;
};

class Simulator {
public:
    // The folder is created when missing; a trailing '/' is added to the stored name.
    explicit Simulator(const std::string& folder);
    ~Simulator(); // unplugs everything, stops the thread, removes the files it made
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    bool Start();
    void Stop();
    const std::string& Folder() const { return m_folder; }
    // The wire log; past kWireLogLimit bytes it moves to wire.log.1 and a new one starts.
    std::string WireLogPath() const { return m_folder + "wire.log"; }
    static constexpr size_t kWireLogLimit = 16u << 20;
    void SetWireLogLimit(size_t bytes);

    // Listen on FOLDER/control for nq501-devsim commands (daemon mode).
    bool ServeControlSocket();
    // Set by the "stop" command of the control socket; the daemon waits for it.
    void WaitForStopRequest();

    // "KIND[:NAME][@VID:PID]", kinds: keyboard mouse rxmouse mousepad chargepad headset.
    // The device is plugged on all its links unless plug is false.
    bool AddDevice(const std::string& setup, bool plug = true, std::string* error = nullptr);
    bool RemoveDevice(const std::string& name);
    // link "" means every link of the device.
    bool Plug(const std::string& name, const std::string& link = "");
    bool Unplug(const std::string& name, const std::string& link = "");
    std::vector<SimDeviceStatus> List();

    // Path of one collection of a plugged device (collection 0: the interface has one collection);
    // empty when not plugged.
    std::string PathOf(const std::string& name, uint16_t interfaceNumber, uint16_t collection,
                       const std::string& link = "");
    // Sends an input report (byte 0 = report ID, or the bare report on an interface without IDs)
    // on an interface of a plugged device, to every open handle.
    bool SendInput(const std::string& name, uint16_t interfaceNumber, const std::vector<uint8_t>& report,
                   const std::string& link = "");
    // A consumer-control notice (1025, 1028, ...) on the device's notice interface.
    bool SendNotice(const std::string& name, uint16_t usage);

    // The firmware of a device: Control(args), memory dump, save and load. `ok` (when given) tells
    // whether the device exists and the command was carried out / the memory was dumped.
    std::string FirmwareControl(const std::string& name, const std::vector<std::string>& args, bool* ok = nullptr);
    std::string Dump(const std::string& name, bool* ok = nullptr);
    bool SaveMemory(const std::string& name, const std::string& file);
    bool LoadMemory(const std::string& name, const std::string& file);
    // The on-board profile button: the firmware's Control({"profile"}), the next on-board slot.
    std::string PressButton(const std::string& name, bool* ok = nullptr);

    // Every wire log line is also given to this callback (on the simulator thread).
    void SetWireLogCallback(std::function<void(const std::string&)> callback);

    // One command line of nq501-devsim, as the control socket runs it:
    // list | add DEVICE | remove DEV | plug DEV [LINK] | unplug DEV [LINK] | button DEV | dump DEV |
    // save DEV FILE | load DEV FILE | notice DEV USAGE | fw DEV ARGS... | stop
    std::string Execute(const std::vector<std::string>& args, bool* ok);
    // Makes WaitForStopRequest return (the "stop" command).
    void RequestStop();

    // Demo mode: a started simulator in folder, serving its control socket, with one device of
    // each kind plugged (DemoKindNames: keyboard, mouse, rxmouse, mousepad, chargepad, headset),
    // each with its own identity (SimKindIdentities). The caller points NQ501_SIM_DIR at the
    // folder before the HID layer enumerates, keeps the object for the life of the demo and
    // destroys it at the end (which unplugs everything and removes the sockets). Null when the
    // folder cannot be used.
    static std::unique_ptr<Simulator> StartDemo(const std::string& folder);
    // A folder for the demo of this process: $XDG_RUNTIME_DIR/nq501-demo-PID/, else
    // $TMPDIR (or /tmp)/nq501-demo-UID-PID/.
    static std::string DemoFolder();

private:
    struct Interface;
    struct Device;
    struct Pending;
    class Events;

    void Loop();
    void RunOnLoop(const std::function<void()>& task);
    void Wake();
    Device* FindDevice(const std::string& name);
    bool WithFirmware(const std::string& name, const std::function<void(SimInterfaceHandler&)>& use);
    bool PlugLink(Device& device, size_t link);
    void UnplugLink(Device& device, size_t link);
    void CloseInterface(Interface& itf);
    void OnClientMessage(Interface& itf, int fd);
    void Deliver(Interface& itf, const std::vector<uint8_t>& report);
    std::string CollectionPath(const Interface& itf, uint8_t reportId, bool input) const;
    void WireLog(char direction, const std::string& path, const std::vector<uint8_t>& bytes);
    void HandleControlClient(int fd);
    bool SendNoticeOnLoop(Device& device, uint16_t usage);

    std::string m_folder;
    std::mutex m_mutex; // guards m_tasks, m_running, m_stopRequested
    std::condition_variable m_cv;
    std::deque<std::function<void()>> m_tasks;
    bool m_running = false;
    bool m_stopRequested = false;
    std::thread m_thread;
    std::atomic<std::thread::id> m_loopThreadId{};
    nq::EventFd m_wake; // wakes the event loop
    int m_controlFd = -1;
    std::vector<int> m_controlClients;
    std::vector<std::unique_ptr<Device>> m_devices;       // loop thread only
    std::multimap<int64_t, std::unique_ptr<Pending>> m_pending; // due time (ms, monotonic) -> reply
    std::function<void(const std::string&)> m_wireCallback;
    std::mutex m_wireMutex;
    std::FILE* m_wireLog = nullptr;
    size_t m_wireLogLimit = kWireLogLimit;
};

} // namespace nqsim
