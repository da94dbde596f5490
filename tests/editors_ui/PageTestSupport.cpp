#include "PageTestSupport.h"

#include "app/CMsgWnd.h"
#include "app/CustomControls.h"
#include "devices/qt/CKeyboardPageUI.h"
#include "devices/qt/CMousePageUI.h"
#include "editors/qt/CDeviceKeyButtonUI.h"
#include "editors/qt/CDevicePageUI.h"
#include "editors/qt/CSelectPanelUI.h"
#include "ui/CControlAccess.h"
#include "ui/CControlFactory.h"
#include "ui/CResourceManager.h"
#include "ui/CSkinPaths.h"

#include <QApplication>
#include <QTimer>

namespace nqtest {

void PreparePageSkin()
{
    using namespace nq;
    ui::CSkinPaths::SetSkinFolder(QStringLiteral(NQ501_SOURCE_DIR "/skin/"));
    ui::CResourceManager::Instance().LoadLanguage("lan_en");
    app::RegisterCustomControls();
    pages::CDevicePageUI::RegisterClasses();
    auto& factory = ui::CControlFactory::Instance();
    // The picture controls under their skin names, where start-up does not register them yet.
    if (!factory.IsRegistered(pages::CDeviceKeyButtonUI::kClassName))
        factory.RegistControl<pages::CDeviceKeyButtonUI>(pages::CDeviceKeyButtonUI::kClassName);
    if (!factory.IsRegistered(pages::CSelectPanelUI::kClassName))
        factory.RegistControl<pages::CSelectPanelUI>(pages::CSelectPanelUI::kClassName);
    pages::CMousePageUI::RegisterClasses();
    pages::CKeyboardPageUI::RegisterClasses();
}

MessageBoxWatcher::MessageBoxWatcher() : m_timer(new QTimer)
{
    m_timer->setInterval(10);
    QObject::connect(m_timer, &QTimer::timeout, [this] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<nq::app::CMsgWnd*>(top);
            if (!box || !box->IsModalRunning())
                continue;
            m_texts << nq::ui::CControlAccess::GetText(box->FindControl("MessageText"));
            box->Close(1);
        }
    });
    m_timer->start();
}

MessageBoxWatcher::~MessageBoxWatcher() { delete m_timer; }

} // namespace nqtest
