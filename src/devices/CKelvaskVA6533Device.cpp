#include "devices/CKelvaskVA6533Device.h"

namespace nq {

CKelvaskVA6533Device::CKelvaskVA6533Device()
{
    deviceType = 7;
}

CKelvaskVA6533Device::~CKelvaskVA6533Device()
{
    StopWorkers();
}

} // namespace nq
