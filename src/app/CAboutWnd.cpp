#include "app/CAboutWnd.h"

#include "app/CMsgWnd.h"
#include "ui/CControlAccess.h"
#include "ui/CResourceManager.h"

namespace nq::app {
namespace {

CAboutWnd* g_current = nullptr;

} // namespace

using ui::CControlAccess;

CAboutWnd::CAboutWnd(QWidget* owner) : CSkinWindow(owner, true)
{
    setObjectName("AboutWnd");
}

CAboutWnd::~CAboutWnd()
{
    if (g_current == this)
        g_current = nullptr;
}

CAboutWnd* CAboutWnd::Current()
{
    return g_current;
}

bool CAboutWnd::Create()
{
    bool loaded = LoadLayout("AboutWnd.xml");
    setWindowTitle("  ");
    resize(800, 572);
    return loaded;
}

void CAboutWnd::SetVersion(const QString& version)
{
    m_version = version;
    QString prefix = CMsgWnd::TranslatedPattern(this, "software_rev_text");
    CControlAccess::SetText(FindControl("software_ver_label"), prefix + version);
}

void CAboutWnd::OnLanguageChanged()
{
    ui::CResourceManager::Instance().ApplyTexts(this);
    SetVersion(m_version);
    update();
}

void CAboutWnd::Notify(const ui::TNotify& msg)
{
    HandleCaptionButton(msg);
}

int CAboutWnd::ShowAbout(QWidget* parent, const QString& version)
{
    if (g_current)
        return 0;
    CAboutWnd about(parent ? parent->window() : nullptr);
    g_current = &about;
    about.Create();
    about.SetVersion(version);
    about.CenterWindow();
    return about.ShowModal();
}

} // namespace nq::app
