#include "devices/CKelvaskKeyboardDevice.h"

namespace nq {

CKelvaskKeyboardDevice::CKelvaskKeyboardDevice()
{
    deviceType = 1;
}

CKelvaskKeyboardDevice::~CKelvaskKeyboardDevice()
{
    StopWorkers();
}

void CKelvaskKeyboardDevice::OutputLightFrame()
{
    if (lightingEnabled)
        RefreshLightPreviews();
}

} // namespace nq
