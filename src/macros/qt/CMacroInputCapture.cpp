#include "macros/qt/CMacroInputCapture.h"

#include "macros/LinuxInputCodes.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPointer>

#include <atomic>

namespace nq::pages {

namespace {

std::atomic<bool> g_evdevAllowed{true};
// The X server numbers keys from 8 above the kernel's codes.
constexpr quint32 kX11KeycodeOffset = 8;

uint32_t InputCodeOfButton(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return LinuxInputCodes::kFirstButton;
    case Qt::RightButton: return LinuxInputCodes::kFirstButton + 1;
    case Qt::MiddleButton: return LinuxInputCodes::kFirstButton + 2;
    case Qt::BackButton: return LinuxInputCodes::kFirstButton + 3;
    case Qt::ForwardButton: return LinuxInputCodes::kFirstButton + 4;
    default: return 0;
    }
}

// The kernel code of a key event without a native scan code (synthesised events): the common keys.
uint32_t InputCodeOfQtKey(int key)
{
    static const char* const letters = "QWERTYUIOP\0\0\0\0ASDFGHJKL\0\0\0\0\0ZXCVBNM";
    if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        for (uint32_t i = 0; i < 35; ++i)
            if (letters[i] == char(key))
                return 16 + i;
    }
    if (key >= Qt::Key_1 && key <= Qt::Key_9)
        return uint32_t(2 + key - Qt::Key_1);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F10)
        return uint32_t(59 + key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_0: return 11;
    case Qt::Key_Escape: return 1;
    case Qt::Key_Backspace: return 14;
    case Qt::Key_Tab: return 15;
    case Qt::Key_Return: return 28;
    case Qt::Key_Control: return 29;
    case Qt::Key_Shift: return 42;
    case Qt::Key_Alt: return 56;
    case Qt::Key_Space: return 57;
    case Qt::Key_F11: return 87;
    case Qt::Key_F12: return 88;
    case Qt::Key_Up: return 103;
    case Qt::Key_Left: return 105;
    case Qt::Key_Right: return 106;
    case Qt::Key_Down: return 108;
    case Qt::Key_Meta: return 125;
    default: return 0;
    }
}

} // namespace

CMacroInputCapture::CMacroInputCapture(QObject* parent) : QObject(parent) {}

CMacroInputCapture::~CMacroInputCapture() { Stop(); }

void CMacroInputCapture::SetEvdevAllowed(bool allowed) { g_evdevAllowed = allowed; }
bool CMacroInputCapture::EvdevAllowed() { return g_evdevAllowed; }

bool CMacroInputCapture::EvdevAvailable()
{
    if (!g_evdevAllowed)
        return false;
    for (const auto& node : EvdevInputReader::ReadableNodes())
        if (node.keyboard)
            return true;
    return false;
}

uint32_t CMacroInputCapture::InputCodeOf(const QKeyEvent& key)
{
    const quint32 native = key.nativeScanCode();
    return native > kX11KeycodeOffset ? native - kX11KeycodeOffset : InputCodeOfQtKey(key.key());
}

void CMacroInputCapture::Start()
{
    Stop();
    m_running = true;
    qApp->installEventFilter(this);
    if (!g_evdevAllowed)
        return;
    m_reader = std::make_unique<EvdevInputReader>();
    QPointer<CMacroInputCapture> self(this);
    const bool started = m_reader->Start([self](uint16_t code, bool down) {
        // From the reader thread to the UI thread.
        QMetaObject::invokeMethod(
            qApp,
            [self, code, down] {
                if (!self || !self->m_running)
                    return;
                if (code >= LinuxInputCodes::kFirstButton) {
                    if (self->m_evdevMouse)
                        self->DeliverMouse(code, down, QCursor::pos());
                } else if (self->m_evdevKeys) {
                    self->DeliverKey(code, down);
                }
            },
            Qt::QueuedConnection);
    });
    if (!started) {
        m_reader.reset();
        return;
    }
    m_evdevKeys = m_reader->HasKeyboard();
    m_evdevMouse = m_reader->HasMouse();
}

void CMacroInputCapture::Stop()
{
    if (m_reader)
        m_reader->Stop();
    m_reader.reset();
    m_evdevKeys = m_evdevMouse = false;
    if (m_running)
        qApp->removeEventFilter(this);
    m_running = false;
}

void CMacroInputCapture::DeliverKey(uint32_t inputCode, bool down)
{
    uint8_t scan = 0;
    bool extended = false;
    if (onKey && LinuxInputCodes::ToSet1(inputCode, scan, extended))
        onKey(scan, extended, down);
}

void CMacroInputCapture::DeliverMouse(uint32_t inputCode, bool down, QPoint globalPos)
{
    MouseButtonMessage message;
    if (onMouse && LinuxInputCodes::ToMouseMessage(inputCode, down, message))
        onMouse(message.message, message.xButton, globalPos);
}

bool CMacroInputCapture::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
        // A key event goes to the window first and then to its focus widget: it is taken there.
        if (!watched->isWidgetType())
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        const uint32_t code = InputCodeOf(*key);
        if (LinuxInputCodes::IsLockKey(code))
            return false;
        if (!key->isAutoRepeat() && !m_evdevKeys)
            DeliverKey(code, type == QEvent::KeyPress);
        return true;
    }
    // A mouse event reaches the window, then the widget under the cursor and maybe its parents,
    // each as an event of its own with the same time stamp: it counts once.
    if ((type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease) && !m_evdevMouse) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const MouseSeen seen{type, mouse->button(), mouse->timestamp()};
        if (seen != m_lastMouse) {
            m_lastMouse = seen;
            if (const uint32_t code = InputCodeOfButton(mouse->button()))
                DeliverMouse(code, type == QEvent::MouseButtonPress, mouse->globalPosition().toPoint());
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace nq::pages
