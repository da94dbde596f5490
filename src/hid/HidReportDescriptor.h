#pragma once
// Report descriptor parsing: turns a HID report descriptor into top-level collections with
// Windows-style capabilities (button and value capabilities per report type, report byte lengths
// that count the report ID byte).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace nq {

enum class HidReportType { Input = 0, Output = 1, Feature = 2 };

struct HidButtonCaps {
    uint16_t usagePage = 0;
    uint8_t reportId = 0;
    uint16_t bitField = 0;          // main item flags
    uint16_t linkCollection = 0;
    uint16_t linkUsage = 0;
    uint16_t linkUsagePage = 0;
    bool isRange = false;
    bool isAbsolute = true;
    uint16_t usageMin = 0;          // single usage: min == max
    uint16_t usageMax = 0;
    uint16_t dataIndexMin = 0;
    uint16_t dataIndexMax = 0;
    uint32_t reportCount = 0;       // for arrays: how many usages can be set at once
    uint32_t bitSize = 1;
    uint32_t bitOffset = 0;         // bit position in the report after the report ID byte
    int32_t logicalMin = 0;
    int32_t logicalMax = 0;
    bool isArray = false;
};

struct HidValueCaps {
    uint16_t usagePage = 0;
    uint8_t reportId = 0;
    uint16_t bitField = 0;
    uint16_t linkCollection = 0;
    uint16_t linkUsage = 0;
    uint16_t linkUsagePage = 0;
    bool isRange = false;
    bool isAbsolute = true;
    bool hasNull = false;
    uint16_t usageMin = 0;
    uint16_t usageMax = 0;
    uint16_t dataIndexMin = 0;
    uint16_t dataIndexMax = 0;
    uint32_t bitSize = 0;
    uint32_t reportCount = 0;
    uint32_t bitOffset = 0;
    uint32_t units = 0;
    uint32_t unitsExp = 0;
    int32_t logicalMin = 0;
    int32_t logicalMax = 0;
    int32_t physicalMin = 0;
    int32_t physicalMax = 0;
};

// Capabilities of one top-level collection (the Windows HIDP_CAPS record).
struct HidCaps {
    uint16_t usage = 0;
    uint16_t usagePage = 0;
    uint16_t inputReportByteLength = 0;
    uint16_t outputReportByteLength = 0;
    uint16_t featureReportByteLength = 0;
    uint16_t numberInputButtonCaps = 0;
    uint16_t numberInputValueCaps = 0;
    uint16_t numberOutputButtonCaps = 0;
    uint16_t numberOutputValueCaps = 0;
    uint16_t numberFeatureButtonCaps = 0;
    uint16_t numberFeatureValueCaps = 0;
};

} // namespace nq
