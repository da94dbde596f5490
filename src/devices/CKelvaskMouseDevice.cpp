#include "devices/CKelvaskMouseDevice.h"

namespace nq {

CKelvaskMouseDevice::CKelvaskMouseDevice()
{
    deviceType = 2;
}

CKelvaskMouseDevice::~CKelvaskMouseDevice()
{
    StopWorkers();
}

} // namespace nq
