#include "devsim/Simulator.h"

#include "devsim/SimCommandLine.h"

#include "common/DebugLog.h"
#include "hid/HidReportDescriptor.h"
#include "hid/HidSeqPacket.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>

namespace nqsim {

namespace fs = std::filesystem;

namespace {

constexpr size_t kMaxMessage = 4096;

int64_t NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::string Hex4(uint16_t v)
{
    char buf[8];
    std::snprintf(buf, sizeof(buf), "%04x", v);
    return buf;
}

bool WriteFileAtomically(const std::string& path, const void* data, size_t size)
{
    std::string temp = path + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
        if (!out)
            return false;
    }
    std::error_code ec;
    fs::rename(temp, path, ec);
    return !ec;
}

} // namespace

struct Simulator::Interface {
    SimInterfaceSpec setup;
    std::string base;            // FOLDER/BASE without extension
    std::string socketPath;
    std::string pathTail;        // "?vid_...&pid_...&mi_NN"
    nq::HidReportDescriptor descriptor;
    int listenFd = -1;
    std::vector<int> clients;
};

struct Simulator::Device {
    SimDeviceSetup setup;
    std::unique_ptr<Events> events;                 // outlives the firmware that calls it
    std::unique_ptr<SimInterfaceHandler> firmware;
    std::vector<std::vector<Interface>> links; // per link: its interfaces while plugged, else empty
    std::vector<uint64_t> generation;          // per link: bumped on every plug and unplug
};

struct Simulator::Pending {
    std::string device;
    size_t link = 0;
    uint16_t interfaceNumber = 0;
    uint64_t generation = 0;
    std::vector<uint8_t> report;
};

class Simulator::Events : public SimDeviceEvents {
public:
    Events(Simulator& sim, std::string name) : m_sim(sim), m_name(std::move(name)) {}
    void SendNotice(uint16_t usage) override
    {
        m_sim.RunOnLoop([this, usage] {
            if (Device* d = m_sim.FindDevice(m_name))
                m_sim.SendNoticeOnLoop(*d, usage);
        });
    }
    void RequestUnplug() override
    {
        // Asked from inside the firmware while a report is handled: done after that report.
        std::lock_guard<std::mutex> lock(m_sim.m_mutex);
        std::string name = m_name;
        Simulator* sim = &m_sim;
        m_sim.m_tasks.push_back([sim, name] {
            if (Device* d = sim->FindDevice(name))
                for (size_t i = 0; i < d->links.size(); ++i)
                    sim->UnplugLink(*d, i);
        });
        m_sim.Wake();
    }

private:
    Simulator& m_sim;
    std::string m_name;
};

Simulator::Simulator(const std::string& folder) : m_folder(folder)
{
    if (m_folder.empty())
        m_folder = "./";
    if (m_folder.back() != '/')
        m_folder += '/';
    std::error_code ec;
    fs::create_directories(m_folder, ec);
}

Simulator::~Simulator()
{
    Stop();
    for (auto& d : m_devices)
        for (size_t i = 0; i < d->links.size(); ++i)
            UnplugLink(*d, i);
    m_devices.clear();
    if (m_controlFd >= 0) {
        ::close(m_controlFd);
        ::unlink((m_folder + "control").c_str());
    }
    for (int fd : m_controlClients)
        ::close(fd);
    if (m_wireLog)
        std::fclose(m_wireLog);
}

bool Simulator::Start()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_running)
        return true;
    if (m_wake.Fd() < 0)
        return false;
    if (!m_wireLog)
        m_wireLog = std::fopen(WireLogPath().c_str(), "a");
    m_running = true;
    m_thread = std::thread([this] { Loop(); });
    return true;
}

void Simulator::Stop()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_running)
            return;
        m_running = false;
    }
    Wake();
    if (m_thread.joinable())
        m_thread.join();
    // Tasks left in the queue run here, so that nobody waits for them forever.
    std::deque<std::function<void()>> tasks;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        tasks.swap(m_tasks);
    }
    for (auto& t : tasks)
        t();
}

void Simulator::Wake()
{
    m_wake.Signal();
}

void Simulator::RunOnLoop(const std::function<void()>& task)
{
    if (std::this_thread::get_id() == m_loopThreadId) {
        task();
        return;
    }
    auto done = std::make_shared<std::promise<void>>();
    auto future = done->get_future();
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (!m_running) {
            // Not started (or stopped): nothing else touches the state, run it here.
            lock.unlock();
            task();
            return;
        }
        m_tasks.push_back([task, done] { task(); done->set_value(); });
    }
    Wake();
    future.wait();
}

void Simulator::Loop()
{
    m_loopThreadId = std::this_thread::get_id();
    std::vector<pollfd> fds;
    // What each pollfd stands for: kind 0 wake, 1 listen, 2 client, 3 control listen, 4 control client.
    struct Ref { int kind; Interface* itf; };
    std::vector<Ref> refs;
    for (;;) {
        std::deque<std::function<void()>> tasks;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (!m_running)
                break;
            tasks.swap(m_tasks);
        }
        for (auto& t : tasks)
            t();

        // Replies whose time has come.
        int64_t now = NowMs();
        while (!m_pending.empty() && m_pending.begin()->first <= now) {
            auto node = m_pending.extract(m_pending.begin());
            Pending& p = *node.mapped();
            Device* d = FindDevice(p.device);
            if (!d || p.link >= d->links.size() || d->generation[p.link] != p.generation)
                continue;
            for (auto& itf : d->links[p.link])
                if (itf.setup.number == p.interfaceNumber)
                    Deliver(itf, p.report);
        }
        int timeout = -1;
        if (!m_pending.empty())
            timeout = static_cast<int>(std::max<int64_t>(0, m_pending.begin()->first - NowMs()));

        fds.clear();
        refs.clear();
        fds.push_back({m_wake.Fd(), POLLIN, 0});
        refs.push_back({0, nullptr});
        for (auto& d : m_devices)
            for (auto& link : d->links)
                for (auto& itf : link) {
                    fds.push_back({itf.listenFd, POLLIN, 0});
                    refs.push_back({1, &itf});
                    for (int c : itf.clients) {
                        fds.push_back({c, POLLIN, 0});
                        refs.push_back({2, &itf});
                    }
                }
        if (m_controlFd >= 0) {
            fds.push_back({m_controlFd, POLLIN, 0});
            refs.push_back({3, nullptr});
        }
        for (int c : m_controlClients) {
            fds.push_back({c, POLLIN, 0});
            refs.push_back({4, nullptr});
        }

        int n = ::poll(fds.data(), fds.size(), timeout);
        if (n < 0 && errno != EINTR)
            break;
        if (n <= 0)
            continue;
        if (fds[0].revents)
            m_wake.Drain();
        // Handle events without re-polling; the structures may change, so each fd is looked up again.
        for (size_t i = 1; i < fds.size(); ++i) {
            if (!fds[i].revents)
                continue;
            int fd = fds[i].fd;
            switch (refs[i].kind) {
            case 1: {
                // The interface may have been unplugged by an earlier event of this round.
                Interface* itf = nullptr;
                for (auto& d : m_devices)
                    for (auto& link : d->links)
                        for (auto& x : link)
                            if (x.listenFd == fd)
                                itf = &x;
                if (!itf)
                    break;
                int c = ::accept4(fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
                if (c >= 0)
                    itf->clients.push_back(c);
                break;
            }
            case 2: {
                Interface* itf = nullptr;
                for (auto& d : m_devices)
                    for (auto& link : d->links)
                        for (auto& x : link)
                            for (int c : x.clients)
                                if (c == fd)
                                    itf = &x;
                if (itf)
                    OnClientMessage(*itf, fd);
                break;
            }
            case 3: {
                int c = ::accept4(fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
                if (c >= 0)
                    m_controlClients.push_back(c);
                break;
            }
            case 4:
                if (std::find(m_controlClients.begin(), m_controlClients.end(), fd) != m_controlClients.end())
                    HandleControlClient(fd);
                break;
            default:
                break;
            }
        }
    }
    m_loopThreadId = std::thread::id();
}

Simulator::Device* Simulator::FindDevice(const std::string& name)
{
    for (auto& d : m_devices)
        if (d->setup.name == name)
            return d.get();
    return nullptr;
}

bool Simulator::PlugLink(Device& device, size_t link)
{
    if (link >= device.links.size() || !device.links[link].empty())
        return link < device.links.size();
    const SimLinkSpec& ls = device.setup.links[link];
    std::vector<Interface> interfaces;
    for (const auto& is : ls.interfaces) {
        Interface itf;
        itf.setup = is;
        std::string base = device.setup.name + (ls.name.empty() ? "" : "-" + ls.name) + "-if" + std::to_string(is.number);
        itf.base = m_folder + base;
        itf.socketPath = itf.base + ".sock";
        char mi[8];
        std::snprintf(mi, sizeof(mi), "%02x", is.number);
        itf.pathTail = "?vid_" + Hex4(ls.vendorId) + "&pid_" + Hex4(ls.productId) + "&mi_" + mi;
        itf.descriptor.Parse(is.descriptor);
        std::ostringstream id;
        id << "vendor=" << Hex4(ls.vendorId) << "\nproduct=" << Hex4(ls.productId) << "\nversion=" << Hex4(ls.version)
           << "\ninterface=" << is.number << "\ndevice=" << device.setup.name << "\nkind=" << device.setup.kindName
           << "\nlink=" << ls.name << "\n";
        std::string idText = id.str();
        // Descriptor and identity first: the socket appearing is what makes the interface visible.
        if (!WriteFileAtomically(itf.base + ".desc", is.descriptor.data(), is.descriptor.size()) ||
            !WriteFileAtomically(itf.base + ".id", idText.data(), idText.size())) {
            nq::DebugOutF("devsim: cannot write files for %s", base.c_str());
            continue;
        }
        itf.listenFd = nq::HidSeqPacket::Listen(itf.socketPath);
        if (itf.listenFd < 0) {
            nq::DebugOutF("devsim: cannot listen on %s", itf.socketPath.c_str());
            ::unlink((itf.base + ".desc").c_str());
            ::unlink((itf.base + ".id").c_str());
            continue;
        }
        interfaces.push_back(std::move(itf));
    }
    device.links[link] = std::move(interfaces);
    ++device.generation[link];
    return !device.links[link].empty();
}

void Simulator::CloseInterface(Interface& itf)
{
    ::unlink(itf.socketPath.c_str());
    if (itf.listenFd >= 0)
        ::close(itf.listenFd);
    for (int c : itf.clients)
        ::close(c);
    itf.clients.clear();
    itf.listenFd = -1;
    ::unlink((itf.base + ".desc").c_str());
    ::unlink((itf.base + ".id").c_str());
}

void Simulator::UnplugLink(Device& device, size_t link)
{
    if (link >= device.links.size() || device.links[link].empty())
        return;
    for (auto& itf : device.links[link])
        CloseInterface(itf);
    device.links[link].clear();
    ++device.generation[link];
}

std::string Simulator::CollectionPath(const Interface& itf, uint8_t reportId, bool input) const
{
    const auto& cols = itf.descriptor.Collections();
    std::string path = itf.socketPath + itf.pathTail;
    if (cols.size() <= 1)
        return path;
    int index = itf.descriptor.FindCollection(input ? nq::HidReportType::Input : nq::HidReportType::Output, reportId);
    if (index < 0)
        index = itf.descriptor.FindCollection(nq::HidReportType::Feature, reportId);
    char col[24];
    std::snprintf(col, sizeof(col), "&col%02x", index < 0 ? 0 : index + 1);
    return path + col;
}

void Simulator::WireLog(char direction, const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::string line = std::string(1, direction) + " " + path + " " + nq::HexBytes(bytes.data(), bytes.size());
    std::function<void(const std::string&)> callback;
    {
        std::lock_guard<std::mutex> lock(m_wireMutex);
        if (m_wireLog) {
            std::fputs(line.c_str(), m_wireLog);
            std::fputc('\n', m_wireLog);
            std::fflush(m_wireLog);
            // A demo left running all day streams lighting frames: keep the current log and one
            // older one, each about the limit in size.
            long size = std::ftell(m_wireLog);
            if (size > static_cast<long>(m_wireLogLimit)) {
                std::fclose(m_wireLog);
                std::rename(WireLogPath().c_str(), (WireLogPath() + ".1").c_str());
                m_wireLog = std::fopen(WireLogPath().c_str(), "a");
            }
        }
        callback = m_wireCallback;
    }
    if (callback)
        callback(line);
}

void Simulator::SetWireLogLimit(size_t bytes)
{
    std::lock_guard<std::mutex> lock(m_wireMutex);
    m_wireLogLimit = bytes;
}

void Simulator::SetWireLogCallback(std::function<void(const std::string&)> callback)
{
    std::lock_guard<std::mutex> lock(m_wireMutex);
    m_wireCallback = std::move(callback);
}

void Simulator::Deliver(Interface& itf, const std::vector<uint8_t>& report)
{
    if (report.empty())
        return;
    WireLog('<', CollectionPath(itf, itf.descriptor.UsesReportIds() ? report[0] : 0, true), report);
    for (int c : itf.clients) {
        // Like hidraw: a handle that does not read loses reports once its queue is full.
        ::send(c, report.data(), report.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
    }
}

void Simulator::OnClientMessage(Interface& itf, int fd)
{
    std::vector<uint8_t> buf(kMaxMessage);
    ssize_t n = ::recv(fd, buf.data(), buf.size(), MSG_DONTWAIT);
    if (n < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    if (n <= 0) {
        ::close(fd);
        std::erase(itf.clients, fd);
        return;
    }
    buf.resize(static_cast<size_t>(n));
    WireLog('>', CollectionPath(itf, itf.descriptor.UsesReportIds() ? buf[0] : 0, false), buf);
    if (!itf.setup.firmware)
        return;
    // Find the device and link that own this interface.
    for (auto& d : m_devices)
        for (size_t li = 0; li < d->links.size(); ++li)
            for (auto& x : d->links[li]) {
                if (&x != &itf)
                    continue;
                std::vector<SimReply> replies;
                SimAction action = d->firmware ? d->firmware->OnOutputReport(buf, replies) : SimAction::None;
                for (auto& r : replies) {
                    if (r.delayMs <= 0) {
                        Deliver(itf, r.report);
                    } else {
                        auto p = std::make_unique<Pending>();
                        p->device = d->setup.name;
                        p->link = li;
                        p->interfaceNumber = itf.setup.number;
                        p->generation = d->generation[li];
                        p->report = std::move(r.report);
                        m_pending.emplace(NowMs() + r.delayMs, std::move(p));
                    }
                }
                if (action == SimAction::Unplug)
                    for (size_t k = 0; k < d->links.size(); ++k)
                        UnplugLink(*d, k); // itf is gone from here on
                return;
            }
}

bool Simulator::SendNoticeOnLoop(Device& device, uint16_t usage)
{
    bool sent = false;
    for (auto& link : device.links)
        for (auto& itf : link)
            if (itf.setup.notices) {
                Deliver(itf, {itf.setup.noticeReportId, static_cast<uint8_t>(usage & 0xFF), static_cast<uint8_t>(usage >> 8)});
                sent = true;
            }
    return sent;
}

bool Simulator::AddDevice(const std::string& text, bool plug, std::string* error)
{
    std::string err;
    auto setup = MakeSimDeviceSetup(text, &err);
    if (!setup) {
        if (error)
            *error = err;
        return false;
    }
    bool ok = false;
    RunOnLoop([&] {
        if (FindDevice(setup->name)) {
            err = "device exists: " + setup->name;
            return;
        }
        auto d = std::make_unique<Device>();
        d->setup = *setup;
        d->firmware = MakeVendorFirmware(setup->identity);
        d->events = std::make_unique<Events>(*this, setup->name);
        if (d->firmware)
            d->firmware->SetEvents(d->events.get());
        d->links.resize(setup->links.size());
        d->generation.resize(setup->links.size(), 0);
        Device& ref = *d;
        m_devices.push_back(std::move(d));
        ok = true;
        if (plug)
            for (size_t i = 0; i < ref.links.size(); ++i)
                ok = PlugLink(ref, i) && ok;
        if (!ok)
            err = "cannot plug " + setup->name;
    });
    if (!ok && error)
        *error = err;
    return ok;
}

bool Simulator::RemoveDevice(const std::string& name)
{
    bool ok = false;
    RunOnLoop([&] {
        for (auto it = m_devices.begin(); it != m_devices.end(); ++it)
            if ((*it)->setup.name == name) {
                for (size_t i = 0; i < (*it)->links.size(); ++i)
                    UnplugLink(**it, i);
                // Replies still on their way belong to the device that is going.
                std::erase_if(m_pending, [&](const auto& entry) { return entry.second->device == name; });
                m_devices.erase(it);
                ok = true;
                return;
            }
    });
    return ok;
}

bool Simulator::Plug(const std::string& name, const std::string& link)
{
    bool ok = false;
    RunOnLoop([&] {
        Device* d = FindDevice(name);
        if (!d)
            return;
        for (size_t i = 0; i < d->setup.links.size(); ++i)
            if (link.empty() || d->setup.links[i].name == link)
                ok = PlugLink(*d, i) || ok;
    });
    return ok;
}

bool Simulator::Unplug(const std::string& name, const std::string& link)
{
    bool ok = false;
    RunOnLoop([&] {
        Device* d = FindDevice(name);
        if (!d)
            return;
        for (size_t i = 0; i < d->setup.links.size(); ++i)
            if (link.empty() || d->setup.links[i].name == link) {
                UnplugLink(*d, i);
                ok = true;
            }
    });
    return ok;
}

std::vector<SimDeviceStatus> Simulator::List()
{
    std::vector<SimDeviceStatus> out;
    RunOnLoop([&] {
        for (auto& d : m_devices) {
            SimDeviceStatus s;
            s.name = d->setup.name;
            s.kindName = d->setup.kindName;
            s.kind = d->setup.identity.kind;
            for (size_t i = 0; i < d->setup.links.size(); ++i) {
                SimDeviceStatus::Link l;
                l.name = d->setup.links[i].name;
                l.vendorId = d->setup.links[i].vendorId;
                l.productId = d->setup.links[i].productId;
                l.plugged = !d->links[i].empty();
                for (auto& itf : d->links[i]) {
                    size_t cols = itf.descriptor.Collections().size();
                    for (size_t c = 0; c < cols; ++c) {
                        std::string p = itf.socketPath + itf.pathTail;
                        if (cols > 1) {
                            char col[24];
                            std::snprintf(col, sizeof(col), "&col%02zx", c + 1);
                            p += col;
                        }
                        l.paths.push_back(p);
                    }
                }
                s.links.push_back(std::move(l));
            }
            out.push_back(std::move(s));
        }
    });
    return out;
}

std::string Simulator::PathOf(const std::string& name, uint16_t interfaceNumber, uint16_t collection, const std::string& link)
{
    for (const auto& s : List()) {
        if (s.name != name)
            continue;
        for (const auto& l : s.links) {
            if (!link.empty() && l.name != link)
                continue;
            for (const auto& p : l.paths) {
                char tail[24];
                std::snprintf(tail, sizeof(tail), "&mi_%02x", interfaceNumber);
                std::string want = tail;
                if (collection) {
                    std::snprintf(tail, sizeof(tail), "&col%02x", collection);
                    want += tail;
                }
                if (p.size() >= want.size() && p.compare(p.size() - want.size(), want.size(), want) == 0)
                    return p;
            }
        }
    }
    return {};
}

bool Simulator::SendInput(const std::string& name, uint16_t interfaceNumber, const std::vector<uint8_t>& report, const std::string& link)
{
    bool ok = false;
    RunOnLoop([&] {
        Device* d = FindDevice(name);
        if (!d)
            return;
        for (size_t i = 0; i < d->links.size(); ++i) {
            if (!link.empty() && d->setup.links[i].name != link)
                continue;
            for (auto& itf : d->links[i])
                if (itf.setup.number == interfaceNumber) {
                    Deliver(itf, report);
                    ok = true;
                }
        }
    });
    return ok;
}

bool Simulator::SendNotice(const std::string& name, uint16_t usage)
{
    bool ok = false;
    RunOnLoop([&] {
        if (Device* d = FindDevice(name))
            ok = SendNoticeOnLoop(*d, usage);
    });
    return ok;
}

std::string Simulator::FirmwareControl(const std::string& name, const std::vector<std::string>& args, bool* ok)
{
    SimControlAnswer answer{false, "no such device: " + name};
    WithFirmware(name, [&](SimInterfaceHandler& fw) { answer = fw.RunControl(args); });
    if (ok)
        *ok = answer.ok;
    return answer.text;
}

bool Simulator::WithFirmware(const std::string& name, const std::function<void(SimInterfaceHandler&)>& use)
{
    bool found = false;
    RunOnLoop([&] {
        Device* d = FindDevice(name);
        if (d && d->firmware) {
            found = true;
            use(*d->firmware);
        }
    });
    return found;
}

std::string Simulator::PressButton(const std::string& name, bool* ok)
{
    return FirmwareControl(name, {"profile"}, ok);
}

std::string Simulator::Dump(const std::string& name, bool* ok)
{
    std::string out = "no such device: " + name;
    const bool found = WithFirmware(name, [&](SimInterfaceHandler& fw) { out = fw.DumpMemory(); });
    if (ok)
        *ok = found;
    return out;
}

bool Simulator::SaveMemory(const std::string& name, const std::string& file)
{
    std::vector<uint8_t> image;
    bool found = WithFirmware(name, [&](SimInterfaceHandler& fw) { image = fw.SaveMemory(); });
    return found && WriteFileAtomically(file, image.data(), image.size());
}

bool Simulator::LoadMemory(const std::string& name, const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return false;
    std::error_code ec;
    auto size = fs::file_size(file, ec);
    if (ec || size > (64u << 20))
        return false;
    std::vector<uint8_t> image(static_cast<size_t>(size));
    in.read(reinterpret_cast<char*>(image.data()), static_cast<std::streamsize>(image.size()));
    if (!in)
        return false;
    bool ok = false;
    WithFirmware(name, [&](SimInterfaceHandler& fw) { ok = fw.LoadMemory(image); });
    return ok;
}

std::string Simulator::Execute(const std::vector<std::string>& args, bool* ok)
{
    return SimCommandLine::Execute(*this, args, ok);
}

void Simulator::RequestStop()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stopRequested = true;
    m_cv.notify_all();
}

bool Simulator::ServeControlSocket()
{
    bool ok = false;
    RunOnLoop([&] {
        if (m_controlFd >= 0) {
            ok = true;
            return;
        }
        m_controlFd = nq::HidSeqPacket::Listen(m_folder + "control");
        ok = m_controlFd >= 0;
    });
    return ok;
}

void Simulator::WaitForStopRequest()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_cv.wait(lock, [this] { return m_stopRequested; });
}

void Simulator::HandleControlClient(int fd)
{
    std::vector<char> buf(16384);
    ssize_t n = ::recv(fd, buf.data(), buf.size(), MSG_DONTWAIT);
    if (n < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    if (n <= 0) {
        ::close(fd);
        std::erase(m_controlClients, fd);
        return;
    }
    // A request is the arguments separated by NUL bytes; the reply is '0' (success) or '1' and the text.
    std::vector<std::string> args;
    std::string cur;
    for (ssize_t i = 0; i < n; ++i) {
        if (buf[static_cast<size_t>(i)] == '\0') {
            args.push_back(cur);
            cur.clear();
        } else {
            cur += buf[static_cast<size_t>(i)];
        }
    }
    if (!cur.empty())
        args.push_back(cur);
    bool ok = false;
    std::string out = Execute(args, &ok);
    std::string reply = (ok ? "0" : "1") + out;
    if (reply.size() > 200000)
        reply.resize(200000);
    ::send(fd, reply.data(), reply.size(), MSG_NOSIGNAL);
}

std::unique_ptr<Simulator> Simulator::StartDemo(const std::string& folder)
{
    auto sim = std::make_unique<Simulator>(folder);
    if (!sim->Start() || !sim->ServeControlSocket())
        return nullptr;
    for (const auto& kind : DemoKindNames())
        if (!sim->AddDevice(kind))
            return nullptr;
    return sim;
}

std::string Simulator::DemoFolder()
{
    const std::string pid = std::to_string(::getpid());
    if (const char* run = std::getenv("XDG_RUNTIME_DIR"); run && *run)
        return std::string(run) + "/nq501-demo-" + pid + "/";
    const char* tmp = std::getenv("TMPDIR");
    return std::string(tmp && *tmp ? tmp : "/tmp") + "/nq501-demo-" + std::to_string(::getuid()) + "-" + pid + "/";
}

} // namespace nqsim
