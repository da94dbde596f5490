#include "devices/qt/CLampButtonUI.h"

#include "devices/qt/CLampPictureUI.h"

#include <QDynamicPropertyChangeEvent>
#include <QPainter>

namespace nq::pages {

CLampButtonUI::CLampButtonUI(QWidget* parent) : CDeviceKeyButtonUI(parent)
{
    setFlat(true);
}

void CLampButtonUI::SetPicture(CLampPictureUI* picture, int index)
{
    m_picture = picture;
    m_index = index;
}

void CLampButtonUI::LightChanged()
{
    if (m_picture)
        m_picture->Invalidate(m_index);
    else
        update();
}

void CLampButtonUI::LookChanged()
{
    ++m_lookVersion;
    LightChanged();
}

bool CLampButtonUI::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::DynamicPropertyChange:
        if (static_cast<QDynamicPropertyChangeEvent*>(event)->propertyName() == "selectedKey") {
            m_selectedKey = property("selectedKey").toBool();
            LookChanged();
        }
        break;
    case QEvent::EnabledChange:
    case QEvent::FontChange:
    case QEvent::ToolTipChange: // the pages set a new label with its tooltip
        LookChanged();
        break;
    case QEvent::Move:
    case QEvent::Resize:
        if (m_picture)
            m_picture->LampMoved();
        break;
    default:
        break;
    }
    return CDeviceKeyButtonUI::event(event);
}

void CLampButtonUI::paintEvent(QPaintEvent* event)
{
    if (!m_picture) {
        CDeviceKeyButtonUI::paintEvent(event);
        return;
    }
    QPainter painter(this);
    m_picture->PaintLampAlone(painter, *this);
}

} // namespace nq::pages
