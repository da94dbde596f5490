#pragma once
// A notification raised by a control to the window that holds it, and the interface that
// receives them. The type names are the ones the pages route on:
// "windowinit", "windowsize", "click", "dbclick", "selectchanged", "valuechanged",
// "movevaluechanged", "itemselect", "itemclick", "itemactivate", "textchanged", "killfocus",
// "setfocus", "return", "menu", "timer", "msenter", "msleave", "colorchanged",
// "click_select_end", "click_handdelete".
#include <QPointer>
#include <QString>
#include <QWidget>

namespace nq::ui {

struct TNotify {
    QString type;
    QPointer<QWidget> sender;
    quintptr wParam = 0;
    qintptr lParam = 0;

    // The sender's control name (its objectName), empty when the sender is gone.
    QString SenderName() const { return sender ? sender->objectName() : QString(); }
};

class INotifyUI {
public:
    virtual ~INotifyUI() = default;
    virtual void Notify(const TNotify& msg) = 0;
};

} // namespace nq::ui
