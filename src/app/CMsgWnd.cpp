#include "app/CMsgWnd.h"

#include "common/DebugLog.h"
#include "ui/CControlAccess.h"

#include <QAbstractButton>
#include <QKeyEvent>

namespace nq::app {

using ui::CControlAccess;

CMsgWnd::CMsgWnd(QWidget* owner) : CSkinWindow(owner, true)
{
    setObjectName("MsgWnd");
}

bool CMsgWnd::Create()
{
    return LoadLayout("XML_MSG");
}

bool CMsgWnd::IsAcceptedDpi(int dpi)
{
    switch (dpi) {
    case 48:
    case 72:
    case 96:
    case 120:
    case 144:
    case 168:
    case 192:
        return true;
    default:
        return false;
    }
}

void CMsgWnd::SetTitle(const QString& title)
{
    if (!title.isEmpty())
        CControlAccess::SetText(FindControl("MessageTitle"), title);
}

void CMsgWnd::SetMessage(const QString& text, bool textIsKey)
{
    if (text.isEmpty())
        return;
    QWidget* label = FindControl("MessageText");
    if (textIsKey)
        CControlAccess::SetTextKey(label, text);
    else
        CControlAccess::SetText(label, text);
}

void CMsgWnd::SetButtonMode(int mode)
{
    if (mode != 0 && mode != 1)
        return;
    CControlAccess::SetVisible(FindControl("confirm_btn"), true);
    CControlAccess::SetVisible(FindControl("cancel_btn"), mode == 1);
}

void CMsgWnd::ApplyDpi(int dpi)
{
    if (dpi == Dpi())
        return;
    int held = dpi;
    if (!IsAcceptedDpi(dpi)) {
        nq::DebugOut("MSG_WND DPI SET ERROR");
        held = 96;
    }
    SetAllWindowsDpi(held);
    // A box without a parent is not yet among the top-level windows when it is hidden.
    SetDpi(held);
}

void CMsgWnd::Notify(const ui::TNotify& msg)
{
    if (msg.type != "click")
        return;
    const QString name = msg.SenderName();
    if (name == "confirm_btn")
        Close(1);
    else if (name == "cancel_btn")
        Close(0);
    else
        HandleCaptionButton(msg);
}

void CMsgWnd::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        auto* confirm = Find<QAbstractButton>("confirm_btn");
        if (confirm && confirm->isVisible() && confirm->isEnabled())
            confirm->click();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        Close(0);
        return;
    }
    CSkinWindow::keyPressEvent(event);
}

int CMsgWnd::ShowMessage(QWidget* parent, const QString& title, const QString& text, int dpi, bool textIsKey,
                         int buttonMode)
{
    CMsgWnd box(parent ? parent->window() : nullptr);
    box.Create();
    box.SetTitle(title);
    box.SetMessage(text, textIsKey);
    box.ApplyDpi(dpi);
    box.SetButtonMode(buttonMode);
    box.CenterWindow();
    return box.ShowModal();
}

QString CMsgWnd::TranslatedPattern(QWidget* window, const QString& key)
{
    QWidget* label = CControlAccess::FindControl(window, "text_test");
    if (!label)
        return key;
    CControlAccess::SetTextKey(label, key);
    return CControlAccess::GetText(label);
}

} // namespace nq::app
