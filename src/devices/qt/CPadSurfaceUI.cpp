#include "devices/qt/CPadSurfaceUI.h"

#include "editors/qt/CSelectPanelUI.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace nq::pages {

namespace {

constexpr int kStripPixels = 16000;

QPixmap DrawPicture(const MousePadLedLayout& layout, const QColor& background)
{
    QPixmap picture(layout.width, layout.height);
    picture.fill(background);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const MousePadLedLayout::Rect& b = layout.body;
    const QRectF body(b.x + 0.5, b.y + 0.5, b.width - 1, b.height - 1);
    QLinearGradient surface(body.topLeft(), body.bottomRight());
    surface.setColorAt(0, QColor(0x2a, 0x2f, 0x38));
    surface.setColorAt(1, QColor(0x15, 0x18, 0x1d));
    painter.setPen(QPen(QColor(0x3a, 0x42, 0x50), 1));
    painter.setBrush(surface);
    painter.drawRoundedRect(body, layout.bodyRadius, layout.bodyRadius);
    if (const auto& spot = layout.charger) {
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
    const qreal socket = layout.ledSize / 2.0 + 1;
    for (const MousePadLedLayout::Point& led : layout.leds)
        painter.drawEllipse(QPointF(led.x, led.y), socket, socket);
    return picture;
}

} // namespace

CPadSurfaceUI::CPadSurfaceUI(const MousePadLedLayout& layout, const QColor& background, QWidget* panel)
    : QWidget(panel), m_picture(DrawPicture(layout, background))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_TransparentForMouseEvents); // a drag starts on the panel below
    setGeometry(0, 0, layout.width, layout.height);
    lower();
}

void CPadSurfaceUI::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    // In strips: the raster engine hands a copy of more than about 32,000 pixels to its thread
    // pool, and waking those threads twenty times a second costs more than the copy.
    // Only the parts asked for: with every frame only the LEDs' small squares are.
    for (const QRect& area : event->region()) {
        const int stripHeight = std::max(1, kStripPixels / std::max(1, area.width()));
        for (int y = area.top(); y <= area.bottom(); y += stripHeight) {
            const QRect strip(area.left(), y, area.width(), std::min(stripHeight, area.bottom() + 1 - y));
            painter.drawPixmap(strip, m_picture, strip);
        }
    }
    auto* panel = qobject_cast<CSelectPanelUI*>(parentWidget());
    if (!panel || !panel->IsDragging())
        return;
    painter.setBrush(QColor::fromRgba(CSelectPanelUI::kFillColour));
    painter.setPen(QPen(QColor::fromRgba(CSelectPanelUI::kOutlineColour), 2));
    painter.drawRect(panel->SelectionRect());
}

} // namespace nq::pages
