#include "devices/CKelvaskMousePadDevice.h"

namespace nq {

CKelvaskMousePadDevice::CKelvaskMousePadDevice()
{
    deviceType = 3;
    engine.SetFamily(LightingFamily::Pad);
}

CKelvaskMousePadDevice::~CKelvaskMousePadDevice()
{
    StopWorkers();
}

} // namespace nq
