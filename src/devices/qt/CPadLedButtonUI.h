#pragma once
// One LED on a pad's picture: a key button (the device binds it as a light button and the
// selection panel picks it) that draws only the LED: a disc in its light colour, whose level is
// the opacity over the socket of the picture below, and a ring while it is picked. It skips the
// push button's own styled frame: every LED of a shown pad is repainted with each 50 ms frame.
#include "editors/qt/CDeviceKeyButtonUI.h"

namespace nq::pages {

class CPadLedButtonUI : public CDeviceKeyButtonUI {
    Q_OBJECT
public:
    explicit CPadLedButtonUI(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace nq::pages
