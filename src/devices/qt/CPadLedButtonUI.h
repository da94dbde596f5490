#pragma once
// One LED on a pad's picture: a key button (the device binds it as a light button and the
// selection panel picks it) that the pad's picture (CPadSurfaceUI) draws: a disc in its light
// colour, whose level is the opacity over the socket of the picture below, and a ring while it
// is picked.
#include "devices/qt/CLampButtonUI.h"

namespace nq::pages {

class CPadLedButtonUI : public CLampButtonUI {
    Q_OBJECT
public:
    explicit CPadLedButtonUI(QWidget* parent = nullptr);
};

} // namespace nq::pages
