#pragma once
// Reading what a simulated device saw: the vendor reports the host sent to one interface path
// (from the wire log lines) and one area of the device's memory (from its saved memory image).
#include "devsim/Simulator.h"

#include <cstdint>
#include <string>
#include <vector>

namespace nqtest {

// One vendor report the host sent: command, data length, offset and the whole report.
struct WireReport {
    uint8_t command = 0;
    uint8_t length = 0;
    uint16_t offset = 0;
    std::vector<uint8_t> bytes;
};

// The vendor reports (report ID 4) among the "> path ..." lines of the wire log, in order.
std::vector<WireReport> SentVendorReports(const std::vector<std::string>& wireLines, const std::string& path);

// A copy of memory area `area` of simulated device `device`; the image passes through `scratchFile`.
// Empty (and a test failure) when the device or the area is unknown.
std::vector<uint8_t> SimMemoryArea(nqsim::Simulator& sim, const std::string& device, const std::string& area,
                                   const std::string& scratchFile);

} // namespace nqtest
