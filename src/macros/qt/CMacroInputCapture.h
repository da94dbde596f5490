#pragma once
// Key and mouse input for macro recording, delivered on the UI thread.
//
// While it runs, the application's own key events are taken from every widget (the lock keys
// pass), so typing records keys instead of editing the page; mouse events still reach the
// window, so the stop button can be clicked. Where the user can read the kernel's input event
// nodes (group "input"), the events come from there instead, so recording also sees input made
// in other windows; nothing is grabbed, and the nodes close when the capture stops or the
// program ends.
#include "macros/EvdevInputReader.h"

#include <QKeyEvent>
#include <QObject>
#include <QPoint>

#include <cstdint>
#include <functional>
#include <memory>

namespace nq::pages {

class CMacroInputCapture : public QObject {
    Q_OBJECT
public:
    explicit CMacroInputCapture(QObject* parent = nullptr);
    ~CMacroInputCapture() override;

    // Whether the kernel's input nodes may be used at all (on by default; tests that drive the
    // window alone switch it off).
    static void SetEvdevAllowed(bool allowed);
    static bool EvdevAllowed();
    // True when some keyboard input node is readable: recording then works in any window.
    static bool EvdevAvailable();

    // The kernel code of a Qt key event: from its native scan code (the X server's key code), or
    // for synthesised events without one from its key. 0 when unknown. Key capture in the key
    // assignment editor reads keys the same way.
    static uint32_t InputCodeOf(const QKeyEvent& event);

    void Start();
    void Stop();
    bool IsRunning() const { return m_running; }
    // True while keys come from the input nodes.
    bool KeysFromEvdev() const { return m_evdevKeys; }
    bool MouseFromEvdev() const { return m_evdevMouse; }

    std::function<void(uint8_t scanCode, bool extended, bool down)> onKey;
    // message 0x0201-0x020C, X button 1 back / 2 forward, cursor position on the screen.
    std::function<void(uint16_t message, int xButton, QPoint globalPos)> onMouse;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void DeliverKey(uint32_t inputCode, bool down);
    void DeliverMouse(uint32_t inputCode, bool down, QPoint globalPos);

    struct MouseSeen {
        int type = 0;
        int button = 0;
        quint64 timestamp = 0;
        bool operator==(const MouseSeen&) const = default;
    };
    MouseSeen m_lastMouse;
    bool m_running = false;
    bool m_evdevKeys = false;
    bool m_evdevMouse = false;
    std::unique_ptr<EvdevInputReader> m_reader;
};

} // namespace nq::pages
