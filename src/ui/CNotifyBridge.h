#pragma once
// Turns the Qt signals and events of the controls into named notifications and delivers them,
// with the control as sender, to the window that holds the control (CSkinWindow::DispatchNotify).
//
//   buttons                 clicked -> "click"; checkable ones toggled -> "selectchanged";
//                           double click -> "dbclick"; hover -> "msenter" / "msleave"
//   sliders, dials          moved while held -> "movevaluechanged"; released or changed by
//                           keyboard or wheel -> "valuechanged" (wParam: value)
//   combo boxes             current index changed -> "itemselect" (wParam new, lParam old index)
//   lists                   current row -> "itemselect"; click -> "itemclick";
//                           activation -> "itemactivate" (wParam: row)
//   edits                   "textchanged", "return", "setfocus", "killfocus"
//   any named control       context menu -> "menu"
// Windows raise "windowinit" and "windowsize", control timers "timer"; custom controls raise
// their own ("colorchanged", "click_select_end", "click_handdelete", ...) through Raise.
// A control with the dynamic property "notifyMouse" set also raises "dbclick", "msenter" and
// "msleave"; one with "notifyFocus" set raises "setfocus" and "killfocus".
//
// Changes made by the program inside a CNotifyBridge::Silence scope raise nothing, so setters
// can change a state "without raising selectchanged".
#include "ui/TNotify.h"

#include <QObject>

namespace nq::ui {

class CNotifyBridge : public QObject {
    Q_OBJECT
public:
    // Binds root and every named control below it; a control is bound once however often this
    // is called.
    static void Bind(QWidget* root);
    // Delivers a notification to the window holding sender. Returns false when no window takes it
    // (the control is not in a skin window) or notifications are silenced.
    static bool Raise(QWidget* sender, const QString& type, quintptr wParam = 0, qintptr lParam = 0);

    // While one of these lives, control changes raise no notifications (UI thread only).
    class Silence {
    public:
        Silence();
        ~Silence();
        Silence(const Silence&) = delete;
        Silence& operator=(const Silence&) = delete;
    };
    static bool IsSilenced();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static CNotifyBridge& Instance();
    static void BindControl(QWidget* control);
};

} // namespace nq::ui
