#include "devices/qt/CPadLedButtonUI.h"

namespace nq::pages {

CPadLedButtonUI::CPadLedButtonUI(QWidget* parent) : CLampButtonUI(parent)
{
    setAttribute(Qt::WA_NoSystemBackground);
}

} // namespace nq::pages
