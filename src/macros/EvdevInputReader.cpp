#include "macros/EvdevInputReader.h"

#include "common/DebugLog.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <linux/input.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace nq {

namespace {

constexpr size_t kBitsPerLong = sizeof(unsigned long) * CHAR_BIT;

bool TestBit(const unsigned long* bits, unsigned bit)
{
    return (bits[bit / kBitsPerLong] >> (bit % kBitsPerLong)) & 1UL;
}

// What the open node reports: keys (letters) and the left mouse button.
bool Probe(int fd, bool& keyboard, bool& mouse)
{
    unsigned long types[(EV_MAX + kBitsPerLong) / kBitsPerLong] = {};
    unsigned long keys[(KEY_MAX + kBitsPerLong) / kBitsPerLong] = {};
    if (ioctl(fd, EVIOCGBIT(0, sizeof types), types) < 0 || !TestBit(types, EV_KEY))
        return false;
    if (ioctl(fd, EVIOCGBIT(EV_KEY, sizeof keys), keys) < 0)
        return false;
    keyboard = TestBit(keys, KEY_A) && TestBit(keys, KEY_Z);
    mouse = TestBit(keys, BTN_LEFT);
    return keyboard || mouse;
}

std::vector<std::string> EventNodes(const std::string& folder)
{
    std::vector<std::string> paths;
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return paths;
    while (dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.rfind("event", 0) == 0)
            paths.push_back(folder + name);
    }
    closedir(dir);
    std::sort(paths.begin(), paths.end());
    return paths;
}

} // namespace

EvdevInputReader::~EvdevInputReader() { Stop(); }

std::vector<EvdevInputReader::Node> EvdevInputReader::ReadableNodes(const std::string& folder)
{
    std::vector<Node> nodes;
    for (const std::string& path : EventNodes(folder)) {
        const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        Node node{path};
        if (Probe(fd, node.keyboard, node.mouse))
            nodes.push_back(node);
        close(fd);
    }
    return nodes;
}

bool EvdevInputReader::Start(Sink sink, const std::string& folder)
{
    Stop();
    if (m_stop.Fd() < 0)
        return false;
    m_keyboard = m_mouse = false;
    for (const std::string& path : EventNodes(folder)) {
        const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        bool keyboard = false, mouse = false;
        if (!Probe(fd, keyboard, mouse)) {
            close(fd);
            continue;
        }
        m_keyboard = m_keyboard || keyboard;
        m_mouse = m_mouse || mouse;
        m_fds.push_back(fd);
    }
    if (m_fds.empty())
        return false;
    m_sink = std::move(sink);
    m_stop.Drain();
    m_thread = std::thread([this] { Run(); });
    return true;
}

void EvdevInputReader::Stop()
{
    if (m_thread.joinable()) {
        m_stop.Signal();
        m_thread.join();
    }
    for (int fd : m_fds)
        close(fd);
    m_fds.clear();
    m_sink = nullptr;
}

void EvdevInputReader::Run()
{
    std::vector<pollfd> waits;
    waits.push_back({m_stop.Fd(), POLLIN, 0});
    for (int fd : m_fds)
        waits.push_back({fd, POLLIN, 0});
    input_event events[64];
    for (;;) {
        if (poll(waits.data(), waits.size(), -1) < 0) {
            if (errno == EINTR)
                continue;
            DebugOutF("evdev poll failed: errno %d", errno);
            return;
        }
        if (waits[0].revents)
            return;
        for (size_t i = 1; i < waits.size(); ++i) {
            if (waits[i].revents & (POLLERR | POLLHUP | POLLNVAL)) {
                waits[i].fd = -1; // the device went away
                continue;
            }
            if (!(waits[i].revents & POLLIN))
                continue;
            const ssize_t n = read(waits[i].fd, events, sizeof events);
            for (ssize_t k = 0; n > 0 && k < n / ssize_t(sizeof(input_event)); ++k) {
                const input_event& e = events[k];
                if (e.type == EV_KEY && (e.value == 0 || e.value == 1) && m_sink)
                    m_sink(e.code, e.value == 1);
            }
        }
    }
}

} // namespace nq
