#pragma once
// The surface of a pad's picture: the pad drawn once into a pixmap (body, charging spot, LED
// sockets) on the page's background colour, painted opaque over the whole selection panel. The
// panel is repainted with every 50 ms lighting frame while the page is shown; an opaque copy
// spares repainting everything below it. Because it covers the panel, it also draws the panel's
// drag rectangle, in the panel's colours.
#include "devices/MousePadLedLayout.h"

#include <QPixmap>
#include <QWidget>

namespace nq::pages {

class CPadSurfaceUI : public QWidget {
    Q_OBJECT
public:
    // `background` is the colour around the pad (the page's).
    CPadSurfaceUI(const MousePadLedLayout& layout, const QColor& background, QWidget* panel);

    const QPixmap& Picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_picture;
};

} // namespace nq::pages
