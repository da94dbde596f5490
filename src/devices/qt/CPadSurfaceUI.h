#pragma once
// A pad's picture: the pad drawn once (body, charging spot, LED sockets) on the page's background
// colour, with its LED buttons drawn over it (see CLampPictureUI): each LED a disc in its light
// colour at its level over the socket, with a ring while it is picked. It covers the selection
// panel and the LEDs, so it also draws the panel's drag rectangle.
#include "devices/MousePadLedLayout.h"
#include "devices/qt/CLampPictureUI.h"

namespace nq::pages {

class CPadSurfaceUI : public CLampPictureUI {
    Q_OBJECT
public:
    // `background` is the colour around the pad (the page's).
    CPadSurfaceUI(const MousePadLedLayout& layout, const QColor& background, QWidget* panel);

protected:
    void DrawStatic(QPainter& painter) override;
    QPainterPath LitShape(const CLampButtonUI& lamp) const override;
    void DrawOverLight(QPainter& painter, const CLampButtonUI& lamp) override;

private:
    MousePadLedLayout m_layout;
    QColor m_background;
};

} // namespace nq::pages
