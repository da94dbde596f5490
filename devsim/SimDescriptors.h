#pragma once
// Report descriptors of the simulated interfaces.
#include <cstdint>
#include <vector>

namespace nqsim {

// Report IDs used on the multi-collection interface 1 of keyboards, mice and mousepads
// (collections 1 to 4 in this order).
constexpr uint8_t kKeyboardReportId = 1;
constexpr uint8_t kSystemReportId = 2;
constexpr uint8_t kConsumerReportId = 3;
constexpr uint8_t kVendorReportId = 4;
// The headset's single consumer-control collection carries notices with this ID, the 64-byte
// vendor reports with ID 4 and the LED output report with ID 0xFF.
constexpr uint8_t kHeadsetConsumerReportId = 1;
constexpr uint8_t kHeadsetLedReportId = 0xFF;

// Boot keyboard: modifiers, reserved byte, 6 key array in, 5 LEDs out. No report IDs.
const std::vector<uint8_t>& BootKeyboardDescriptor();
// Boot mouse: 3 buttons, X and Y. No report IDs.
const std::vector<uint8_t>& BootMouseDescriptor();
// Interface 1 of keyboards, mice and mousepads: 1 keyboard bitmap, 2 system control,
// 3 consumer control (usage array 0..0x0FFF), 4 vendor page 0xFF1C usage 0x92 (63 data bytes in and out).
const std::vector<uint8_t>& MultiCollectionDescriptor();
// Interface 3 of the headset: one consumer-control collection.
const std::vector<uint8_t>& HeadsetDescriptor();

} // namespace nqsim
