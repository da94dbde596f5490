#include "app/CMainWnd.h"

#include "app/CAppMessages.h"
#include "app/CMessageRegistry.h"
#include "common/DebugLog.h"

namespace nq::app {

CMainWnd::CMainWnd(QWidget* parent) : CSkinWindow(parent)
{
    setObjectName("MainWnd");
}

bool CMainWnd::Create()
{
    if (!LoadLayout("XML_MAIN"))
        return false;
    setWindowTitle(CAppMessages::kIdentity);
    resize(kInitialWidth, kInitialHeight);
    CenterWindow();
    return true;
}

void CMainWnd::Notify(const ui::TNotify& msg)
{
    if (msg.type != "timer") {
        nq::DebugOut(msg.type.toStdString());
        nq::DebugOut(msg.SenderName().toStdString());
    }
    if (msg.type == "click" && msg.SenderName() == "closebtn") {
        close();
        return;
    }
    HandleCaptionButton(msg);
}

void CMainWnd::OnAppMessage(const QString& name, quintptr wParam, qintptr lParam)
{
    unsigned number = CMessageRegistry::Instance().Register(name.toStdString());
    if (number == CAppMessages::Identity()) {
        nq::DebugOutF("软件标示 %d，%xd_%xd", number, static_cast<unsigned>(wParam), static_cast<unsigned>(lParam));
        BringToFront();
        return;
    }
    nq::DebugOutF("message %s (%u) %llu %lld", name.toUtf8().constData(), number,
                  static_cast<unsigned long long>(wParam), static_cast<long long>(lParam));
}

void CMainWnd::BringToFront()
{
    if (isMinimized())
        SendSysCommand(SysCommand::Restore);
    show();
    raise();
    activateWindow();
}

} // namespace nq::app
