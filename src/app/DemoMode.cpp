#include "app/DemoMode.h"

#include "common/DebugLog.h"

bool StartDemoSimulator()
{
    nq::DebugOut("demo mode: the device simulator is not available in this build");
    return false;
}
