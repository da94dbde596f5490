#pragma once
// Timers on controls, by (identifier, period). A running timer fires every period until killed;
// arming an identifier again restarts it with the new period. When it fires, a control that
// implements IControlTimerTarget gets OnControlTimer(id); any other control raises "timer" to
// its window with the identifier as wParam.
#include <QWidget>

namespace nq::ui {

class IControlTimerTarget {
public:
    virtual ~IControlTimerTarget() = default;
    virtual void OnControlTimer(int id) = 0;
};

class CControlTimer {
public:
    static bool SetTimer(QWidget* control, int id, int periodMs);
    static void KillTimer(QWidget* control, int id);
    static void KillAllTimers(QWidget* control);
    static bool IsTimerActive(QWidget* control, int id);
};

} // namespace nq::ui
