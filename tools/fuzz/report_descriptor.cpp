// libFuzzer entry point: the report descriptor parser, and decoding of a report with whatever
// it accepted. Build with clang, instrumenting the libraries too:
//   CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DNQ501_BUILD_FUZZERS=ON -DNQ501_BUILD_TESTS=OFF \
//       -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address"
//   cmake --build build-fuzz --target fuzz_report_descriptor
// Run: build-fuzz/fuzz_report_descriptor -max_total_time=60 [corpus folder]
#include "hid/HidReportDecoder.h"
#include "hid/HidReportDescriptor.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    nq::HidReportDescriptor descriptor;
    if (!descriptor.Parse(data, size))
        return 0;
    // Decode the descriptor bytes themselves as a report of every collection and type.
    std::vector<uint16_t> usages;
    for (const auto& c : descriptor.Collections())
        for (int t = 0; t < 3; ++t) {
            auto type = static_cast<nq::HidReportType>(t);
            for (const auto& b : c.buttonCaps[t])
                nq::HidReportDecoder::GetUsages(c, type, b.usagePage, data, size, usages);
            for (const auto& v : c.valueCaps[t]) {
                uint32_t raw = 0;
                int32_t scaled = 0;
                nq::HidReportDecoder::GetUsageValue(c, type, v.usagePage, v.usageMax, data, size, raw);
                nq::HidReportDecoder::GetScaledUsageValue(c, type, v.usagePage, v.usageMin, data, size, scaled);
            }
        }
    return 0;
}
