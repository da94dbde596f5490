#pragma once
// Key and button events from the kernel's input event interface (/dev/input/event*), for macro
// recording while another window has the focus. Only nodes the user can already read are used
// (group "input", or an ACL); nothing needs root and no device is grabbed, so the other
// programs keep receiving their input and nothing is left held when the program ends.
//
// One reader thread waits in poll() on the nodes and a stop eventfd and hands every key or button
// press and release to the sink (auto-repeats are dropped). The sink runs on that thread.
#include "common/EventFd.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace nq {

class EvdevInputReader {
public:
    // code: the kernel key or button code; down: press (true) or release.
    using Sink = std::function<void(uint16_t code, bool down)>;

    struct Node {
        std::string path;
        bool keyboard = false; // has letter keys
        bool mouse = false;    // has the left button
    };

    EvdevInputReader() = default;
    ~EvdevInputReader();
    EvdevInputReader(const EvdevInputReader&) = delete;
    EvdevInputReader& operator=(const EvdevInputReader&) = delete;

    // The event nodes of `folder` that can be opened for reading and report keys or buttons.
    static std::vector<Node> ReadableNodes(const std::string& folder = "/dev/input/");

    // Opens the readable nodes and starts the reader thread; false (and nothing started) when no
    // node can be read.
    bool Start(Sink sink, const std::string& folder = "/dev/input/");
    // Stops the thread and closes the nodes; safe to call at any time.
    void Stop();
    bool IsRunning() const { return m_thread.joinable(); }
    bool HasKeyboard() const { return m_keyboard; }
    bool HasMouse() const { return m_mouse; }

private:
    void Run();

    Sink m_sink;
    std::vector<int> m_fds;
    EventFd m_stop;
    std::thread m_thread;
    bool m_keyboard = false;
    bool m_mouse = false;
};

} // namespace nq
