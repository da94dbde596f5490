#include "devices/qt/CPadLedButtonUI.h"

#include <QPainter>

namespace nq::pages {

CPadLedButtonUI::CPadLedButtonUI(QWidget* parent) : CDeviceKeyButtonUI(parent)
{
    setAttribute(Qt::WA_NoSystemBackground);
    setFlat(true);
}

void CPadLedButtonUI::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF disc = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    if (ShowsLight()) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(LightColour());
        painter.drawEllipse(disc);
    }
    if (IsKeySelected()) {
        painter.setPen(QPen(QColor(0xFF, 0x99, 0x00), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(disc);
    }
}

} // namespace nq::pages
