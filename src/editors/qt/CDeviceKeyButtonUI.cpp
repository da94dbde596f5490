#include "editors/qt/CDeviceKeyButtonUI.h"

#include "editors/qt/CSelectPanelUI.h"
#include "ui/CSkinPaths.h"

#include <QMouseEvent>

#include <QPainter>
#include <QPixmap>

namespace nq::pages {

CDeviceKeyButtonUI::CDeviceKeyButtonUI(QWidget* parent) : QPushButton(parent)
{
    // Double clicks reach the window as "dbclick" besides the ordinary "click".
    setProperty("notifyMouse", true);
}

void CDeviceKeyButtonUI::SetLightImage(const QString& description)
{
    m_lightImage = description;
    LookChanged();
}

void CDeviceKeyButtonUI::SetKeySetImage(const QString& description)
{
    m_keySetImage = description;
    LookChanged();
}

void CDeviceKeyButtonUI::SetLightColour(uint32_t colour, uint8_t level, bool show)
{
    // The packing puts red in byte 0, blue in byte 1 and green in byte 2.
    const QColor next(colour & 0xFF, (colour >> 16) & 0xFF, (colour >> 8) & 0xFF, level);
    if (next == m_lightColour && show == m_showLight)
        return;
    m_lightColour = next;
    m_showLight = show;
    LightChanged();
}

void CDeviceKeyButtonUI::SetHideAssignmentImage(bool hide)
{
    m_hideAssignment = hide;
    LookChanged();
}

void CDeviceKeyButtonUI::SetKeySelected(bool selected)
{
    if (m_keySelected == selected)
        return;
    m_keySelected = selected;
    LookChanged();
}

void CDeviceKeyButtonUI::paintEvent(QPaintEvent* event)
{
    QPushButton::paintEvent(event);
    QPainter painter(this);
    const QRect area = rect().adjusted(2, 2, -2, -2);
    if (m_showLight) {
        const QString file = ui::CSkinPaths::ImageFile(m_lightImage);
        QPixmap image(file);
        if (!image.isNull()) {
            painter.setOpacity((m_keySelected ? m_fadeSelected : m_fade) / 255.0);
            painter.drawPixmap(area, image);
            painter.setOpacity(1.0);
        }
        painter.setPen(Qt::NoPen);
        painter.setBrush(m_lightColour);
        painter.drawRoundedRect(area, 3, 3);
    }
    if (!m_hideAssignment && !m_keySetImage.isEmpty()) {
        QPixmap image(ui::CSkinPaths::ImageFile(m_keySetImage));
        if (!image.isNull())
            painter.drawPixmap(area, image);
    }
    if (m_keySelected) {
        painter.setPen(QPen(QColor(0xFF, 0x99, 0x00), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(1, 1, -1, -1));
    }
}

// A drag over the device picture may start or end on a key button: the panel sees it all.
void CDeviceKeyButtonUI::mousePressEvent(QMouseEvent* event)
{
    QPushButton::mousePressEvent(event);
    if (auto* panel = qobject_cast<CSelectPanelUI*>(parentWidget()); panel && event->button() == Qt::LeftButton)
        panel->DragPress(mapToParent(event->position().toPoint()));
}

void CDeviceKeyButtonUI::mouseMoveEvent(QMouseEvent* event)
{
    QPushButton::mouseMoveEvent(event);
    if (auto* panel = qobject_cast<CSelectPanelUI*>(parentWidget()))
        panel->DragMove(mapToParent(event->position().toPoint()));
}

void CDeviceKeyButtonUI::mouseReleaseEvent(QMouseEvent* event)
{
    QPushButton::mouseReleaseEvent(event);
    if (auto* panel = qobject_cast<CSelectPanelUI*>(parentWidget()); panel && event->button() == Qt::LeftButton)
        panel->DragRelease();
}

} // namespace nq::pages
