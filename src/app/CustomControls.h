#pragma once
// Registers the program's custom control classes with the control factory, by class name and in
// their fixed order.
#include <QStringList>

namespace nq::app {

void RegisterCustomControls();
// The 23 class names in registration order.
const QStringList& CustomControlNames();

} // namespace nq::app
