#include "devices/qt/CPadSurfaceUI.h"

#include "devices/qt/CLampButtonUI.h"

#include <QPainter>

namespace nq::pages {

namespace {

const QColor kPicked(0xFF, 0x99, 0x00);

QRectF Disc(const CLampButtonUI& lamp)
{
    return QRectF(lamp.rect()).adjusted(1.5, 1.5, -1.5, -1.5);
}

} // namespace

CPadSurfaceUI::CPadSurfaceUI(const MousePadLedLayout& layout, const QColor& background, QWidget* panel)
    : CLampPictureUI(panel), m_layout(layout), m_background(background)
{
    setFixedSize(layout.width, layout.height);
}

void CPadSurfaceUI::DrawStatic(QPainter& painter)
{
    painter.fillRect(rect(), m_background);
    const MousePadLedLayout::Rect& b = m_layout.body;
    const QRectF body(b.x + 0.5, b.y + 0.5, b.width - 1, b.height - 1);
    QLinearGradient surface(body.topLeft(), body.bottomRight());
    surface.setColorAt(0, QColor(0x2a, 0x2f, 0x38));
    surface.setColorAt(1, QColor(0x15, 0x18, 0x1d));
    painter.setPen(QPen(QColor(0x3a, 0x42, 0x50), 1));
    painter.setBrush(surface);
    painter.drawRoundedRect(body, m_layout.bodyRadius, m_layout.bodyRadius);
    if (const auto& spot = m_layout.charger) {
        const QRectF circle(spot->x + 1, spot->y + 1, spot->width - 2, spot->height - 2);
        QRadialGradient glow(circle.center(), circle.width() / 2);
        glow.setColorAt(0, QColor(0x1f, 0x35, 0x40));
        glow.setColorAt(0.8, QColor(0x16, 0x26, 0x2e));
        glow.setColorAt(1, QColor(0x00, 0xa8, 0xd6));
        painter.setPen(QPen(QColor(0x00, 0xa8, 0xd6), 2));
        painter.setBrush(glow);
        painter.drawEllipse(circle);
    }
    // A dark socket under each LED, seen while the LED is off.
    painter.setPen(QPen(QColor(0x3a, 0x42, 0x50), 1));
    painter.setBrush(QColor(0x0b, 0x0d, 0x10));
    const qreal socket = m_layout.ledSize / 2.0 + 1;
    for (const MousePadLedLayout::Point& led : m_layout.leds)
        painter.drawEllipse(QPointF(led.x, led.y), socket, socket);
}

QPainterPath CPadSurfaceUI::LitShape(const CLampButtonUI& lamp) const
{
    QPainterPath shape;
    shape.addEllipse(Disc(lamp));
    return shape;
}

void CPadSurfaceUI::DrawOverLight(QPainter& painter, const CLampButtonUI& lamp)
{
    if (!lamp.ShowsSelected())
        return;
    painter.setPen(QPen(kPicked, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(Disc(lamp));
}

} // namespace nq::pages
