#include "hid/DeviceSlot.h"

namespace nq {

bool IsSameSlot(const DeviceSlot& a, const DeviceSlot& b)
{
    return a.vendorId == b.vendorId && a.productId == b.productId && a.interfaceNumber == b.interfaceNumber &&
           a.collectionNumber == b.collectionNumber && a.kind == b.kind && a.role == b.role &&
           a.usagePage == b.usagePage && a.usage == b.usage;
}

} // namespace nq
