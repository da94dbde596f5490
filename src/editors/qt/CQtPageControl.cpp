#include "editors/qt/CQtPageControl.h"

#include "editors/qt/CDeviceKeyButtonUI.h"
#include "editors/qt/CSelectPanelUI.h"
#include "ui/CControlAccess.h"
#include "ui/CControlFactory.h"

namespace nq::pages {

CQtPageControl::CQtPageControl(QWidget* widget, AdapterOf adapterOf) : m_widget(widget), m_adapterOf(std::move(adapterOf)) {}

std::string CQtPageControl::ClassName() const
{
    // The page's own control classes answer their skin name whatever spelling a layout used.
    if (qobject_cast<CDeviceKeyButtonUI*>(m_widget.data()))
        return CDeviceKeyButtonUI::kClassName;
    if (qobject_cast<CSelectPanelUI*>(m_widget.data()))
        return CSelectPanelUI::kClassName;
    return m_widget ? ui::ControlClassName(m_widget).toStdString() : std::string();
}

std::string CQtPageControl::Name() const
{
    return m_widget ? m_widget->objectName().toStdString() : std::string();
}

std::string CQtPageControl::UserData() const
{
    return m_widget ? ui::CControlAccess::UserData(m_widget).toString().toStdString() : std::string();
}

std::string CQtPageControl::Text() const
{
    return m_widget ? ui::CControlAccess::GetText(m_widget).toStdString() : std::string();
}

bool CQtPageControl::IsVisible() const
{
    // Visible as the skin means it: not hidden by itself (a page on a hidden tab still counts).
    return m_widget && !m_widget->isHidden();
}

void CQtPageControl::SetVisible(bool visible)
{
    ui::CControlAccess::SetVisible(m_widget, visible);
}

void CQtPageControl::Invalidate()
{
    // The key buttons of a selection panel repaint themselves when their light colour changes;
    // repainting the whole panel 20 times a second would only redraw the same picture.
    if (!m_widget || qobject_cast<CSelectPanelUI*>(m_widget.data()))
        return;
    m_widget->update();
}

std::vector<QWidget*> CQtPageControl::ChildWidgets(const QWidget* widget)
{
    std::vector<QWidget*> out;
    if (!widget)
        return out;
    for (QWidget* child : widget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        out.push_back(child);
    return out;
}

std::vector<IPageControl*> CQtPageControl::Children() const
{
    std::vector<IPageControl*> out;
    for (QWidget* child : ChildWidgets(m_widget))
        out.push_back(m_adapterOf(child));
    return out;
}

void CQtPageControl::SetLightColour(uint32_t colour, uint8_t level, bool show)
{
    if (auto* button = qobject_cast<CDeviceKeyButtonUI*>(m_widget.data()))
        button->SetLightColour(colour, level, show);
}

void CQtPageControl::SelectTab(int index)
{
    ui::CControlAccess::SelectPage(m_widget, index);
}

} // namespace nq::pages
