#include "devices/CKelvaskMousePadDevice.h"

namespace nq {

CKelvaskMousePadDevice::CKelvaskMousePadDevice()
{
    deviceType = 3;
}

CKelvaskMousePadDevice::~CKelvaskMousePadDevice()
{
    StopWorkers();
}

} // namespace nq
