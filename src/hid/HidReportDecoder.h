#pragma once
// Reading fields out of a report with the capabilities of its top-level collection: the set
// usages of button fields (arrays and bitmaps) and raw and scaled values. A report's byte 0 is
// its report ID (0 when the descriptor has none); the fields follow from byte 1.
#include "hid/HidReportDescriptor.h"

#include <cstdint>
#include <vector>

namespace nq {

// Status codes of the decode calls (the values of the usual HID parser status codes).
constexpr uint32_t kHidStatusSuccess = 0x00110000;
constexpr uint32_t kHidStatusNull = 0x80110001;
constexpr uint32_t kHidStatusInvalidReportLength = 0xC0110003;
constexpr uint32_t kHidStatusUsageNotFound = 0xC0110004;
constexpr uint32_t kHidStatusValueOutOfRange = 0xC0110005;
constexpr uint32_t kHidStatusBadLogPhyValues = 0xC0110006;

class HidReportDecoder {
public:
    // How many usages of a page can be set at once in reports of that type.
    static uint32_t MaxUsageListLength(const HidTopCollection& col, HidReportType type, uint16_t usagePage);
    // The usages of a page that are set in the report, in field order, at most MaxUsageListLength.
    static uint32_t GetUsages(const HidTopCollection& col, HidReportType type, uint16_t usagePage,
                              const uint8_t* report, size_t length, std::vector<uint16_t>& usages);
    static uint32_t GetUsageValue(const HidTopCollection& col, HidReportType type, uint16_t usagePage, uint16_t usage,
                                  const uint8_t* report, size_t length, uint32_t& value);
    // The value mapped from the logical to the physical range (the logical range when the
    // physical one is 0..0).
    static uint32_t GetScaledUsageValue(const HidTopCollection& col, HidReportType type, uint16_t usagePage,
                                        uint16_t usage, const uint8_t* report, size_t length, int32_t& value);
    // bitSize bits from bitOffset after byte 0; false when they lie beyond length.
    static bool ReadBits(const uint8_t* report, size_t length, uint32_t bitOffset, uint32_t bitSize, uint32_t& value);
};

} // namespace nq
