#include "devices/CKelvaskVA6533Device.h"

namespace nq {

CKelvaskVA6533Device::CKelvaskVA6533Device()
{
    deviceType = 7;
    engine.SetFamily(LightingFamily::Headset);
}

CKelvaskVA6533Device::~CKelvaskVA6533Device()
{
    StopWorkers();
}

} // namespace nq
