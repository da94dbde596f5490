#include "editors/qt/CDevicePageUI.h"

#include "devices/CKelvaskKeyboardDevice.h"
#include "devices/CKelvaskMouseDevice.h"
#include "devices/CKelvaskMousePadDevice.h"
#include "devices/CKelvaskVA6533Device.h"
#include "profiles/qt/CDeviceProfileUI.h"
#include "ui/CControlAccess.h"
#include "ui/CControlFactory.h"
#include "ui/CResourceManager.h"

#include <QMoveEvent>
#include <QResizeEvent>

namespace nq::pages {

CDevicePageUI::CDevicePageUI(std::unique_ptr<CKelvaskUSBDevice> device, QWidget* parent)
    : QWidget(parent), m_device(std::move(device))
{
    ui::CResourceManager::Instance().MergeLanguagePart("device");
    m_device->SetPage(this);
}

void CDevicePageUI::ShowStatus(const std::string& textKey)
{
    if (textKey.empty()) {
        if (m_statusLine)
            m_statusLine->hide();
        return;
    }
    if (!m_statusLine) {
        m_statusLine = new QLabel(this);
        m_statusLine->setObjectName("device_status_line");
        m_statusLine->setWordWrap(true);
        m_statusLine->setAlignment(Qt::AlignCenter);
        m_statusLine->setStyleSheet("QLabel { background: rgba(150, 20, 20, 220); color: white; padding: 4px; }");
    }
    // The page's holder (a scroll area's viewport) says how much of the page is in view.
    if (QWidget* holder = parentWidget())
        holder->installEventFilter(this);
    const QString key = QString::fromStdString(textKey);
    m_statusLine->setProperty("textKey", key);
    m_statusLine->setText(Tr(key));
    PlaceStatusLine();
    m_statusLine->show();
    m_statusLine->raise();
}

void CDevicePageUI::PlaceStatusLine()
{
    if (!m_statusLine)
        return;
    QRect seen = rect();
    if (const QWidget* holder = parentWidget())
        seen &= QRect(mapFrom(holder, QPoint(0, 0)), holder->size());
    if (seen.isEmpty())
        seen = rect();
    const int h = std::max(m_statusLine->heightForWidth(seen.width()), m_statusLine->sizeHint().height());
    m_statusLine->setGeometry(seen.left(), std::max(seen.top(), seen.bottom() + 1 - h), seen.width(), h);
}

void CDevicePageUI::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    PlaceStatusLine();
}

void CDevicePageUI::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    PlaceStatusLine(); // a scroll moves the page in its viewport
}

bool CDevicePageUI::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        PlaceStatusLine();
    return QWidget::eventFilter(watched, event);
}

CDevicePageUI::~CDevicePageUI()
{
    // The device's threads end before the widgets they might refresh go away.
    m_device->StopWorkers();
    m_device->SetPage(nullptr);
}

void CDevicePageUI::RegisterClasses()
{
    auto& factory = ui::CControlFactory::Instance();
    factory.RegistControl("KelvaskKeyboardDevice", [](QWidget* parent) -> QWidget* {
        return new CDevicePageUI(std::make_unique<CKelvaskKeyboardDevice>(), parent);
    });
    factory.RegistControl("KelvaskMouseDevice", [](QWidget* parent) -> QWidget* {
        return new CDevicePageUI(std::make_unique<CKelvaskMouseDevice>(), parent);
    });
    factory.RegistControl("KelvaskMousePadDevice", [](QWidget* parent) -> QWidget* {
        return new CDevicePageUI(std::make_unique<CKelvaskMousePadDevice>(), parent);
    });
    factory.RegistControl("KelvaskVA6533Device", [](QWidget* parent) -> QWidget* {
        return new CDevicePageUI(std::make_unique<CKelvaskVA6533Device>(), parent);
    });
}

IPageControl* CDevicePageUI::AdapterOf(QWidget* widget) const
{
    if (!widget)
        return nullptr;
    auto& slot = m_adapters[widget];
    if (!slot)
        slot = std::make_unique<CQtPageControl>(widget, [this](QWidget* w) { return AdapterOf(w); });
    return slot.get();
}

std::string CDevicePageUI::ClassName() const { return m_device->GetClass(); }
std::string CDevicePageUI::Name() const { return objectName().toStdString(); }
std::string CDevicePageUI::UserData() const { return {}; }
std::string CDevicePageUI::Text() const { return {}; }
bool CDevicePageUI::IsVisible() const { return !isHidden(); }
void CDevicePageUI::SetVisible(bool visible) { setVisible(visible); }
void CDevicePageUI::Invalidate() { update(); }
void CDevicePageUI::SetLightColour(uint32_t, uint8_t, bool) {}
void CDevicePageUI::SelectTab(int) {}

std::vector<IPageControl*> CDevicePageUI::Children() const
{
    std::vector<IPageControl*> out;
    for (QWidget* child : CQtPageControl::ChildWidgets(this))
        out.push_back(AdapterOf(child));
    return out;
}

IPageControl* CDevicePageUI::FindControl(const std::string& name)
{
    QWidget* widget = Find(QString::fromStdString(name));
    return widget && widget != this ? AdapterOf(widget) : nullptr;
}

QWidget* CDevicePageUI::Find(const QString& name) const
{
    return ui::CControlAccess::FindControl(const_cast<CDevicePageUI*>(this), name);
}

QWidget* CDevicePageUI::Row(const char* prefix, int n) const { return Find(QString("%1%2").arg(prefix).arg(n)); }

QString CDevicePageUI::Tr(const QString& key) { return ui::CResourceManager::Instance().Text(key); }
QString CDevicePageUI::Tr(const std::string& key) { return Tr(QString::fromStdString(key)); }
QString CDevicePageUI::Tr(const char* key) { return Tr(QString::fromUtf8(key)); }

IProfileList* CDevicePageUI::ProfileList()
{
    return ui::CControlAccess::Find<CDeviceProfileUI>(this, CDeviceProfileUI::kControlName);
}

} // namespace nq::pages
