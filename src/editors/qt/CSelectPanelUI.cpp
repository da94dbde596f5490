#include "editors/qt/CSelectPanelUI.h"

#include "editors/qt/CDeviceKeyButtonUI.h"
#include "ui/CNotifyBridge.h"

#include <QMouseEvent>

#include <algorithm>
#include <QPainter>

namespace nq::pages {

CSelectPanelUI::CSelectPanelUI(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_StyledBackground, true);
}

void CSelectPanelUI::DragPress(const QPoint& point)
{
    if (!isEnabled())
        return;
    m_anchor = point;
    m_current = point;
    m_pressed = true;
}

void CSelectPanelUI::DragMove(const QPoint& point)
{
    if (!m_pressed)
        return;
    m_dragging = true;
    m_current = point;
    m_selection = QRect(QPoint(std::min(m_anchor.x(), m_current.x()), std::min(m_anchor.y(), m_current.y())),
                        QPoint(std::max(m_anchor.x(), m_current.x()), std::max(m_anchor.y(), m_current.y())));
    update();
}

void CSelectPanelUI::DragRelease()
{
    const bool wasDragging = m_dragging;
    m_pressed = false;
    m_dragging = false;
    if (!wasDragging)
        return;
    for (auto* button : findChildren<CDeviceKeyButtonUI*>(Qt::FindDirectChildrenOnly))
        button->SetKeySelected(button->geometry().intersects(m_selection));
    update();
    ui::CNotifyBridge::Raise(this, "click_select_end");
}

void CSelectPanelUI::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        DragPress(event->position().toPoint());
    QWidget::mousePressEvent(event);
}

void CSelectPanelUI::mouseMoveEvent(QMouseEvent* event)
{
    DragMove(event->position().toPoint());
    QWidget::mouseMoveEvent(event);
}

void CSelectPanelUI::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        DragRelease();
    QWidget::mouseReleaseEvent(event);
}

void CSelectPanelUI::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    if (!m_dragging)
        return;
    QPainter painter(this);
    painter.setBrush(QColor::fromRgba(kFillColour));
    painter.setPen(QPen(QColor::fromRgba(kOutlineColour), 2));
    painter.drawRect(m_selection);
}

} // namespace nq::pages
