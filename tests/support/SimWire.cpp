#include "support/SimWire.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

namespace nqtest {

std::vector<WireReport> SentVendorReports(const std::vector<std::string>& wireLines, const std::string& path)
{
    std::vector<WireReport> sent;
    const std::string prefix = "> " + path + " ";
    for (const std::string& line : wireLines) {
        if (line.rfind(prefix, 0) != 0)
            continue;
        std::istringstream hex(line.substr(prefix.size()));
        WireReport report;
        unsigned value = 0;
        while (hex >> std::hex >> value)
            report.bytes.push_back(static_cast<uint8_t>(value));
        if (report.bytes.size() < 8 || report.bytes[0] != 4)
            continue;
        report.command = report.bytes[3];
        report.length = report.bytes[4];
        report.offset = static_cast<uint16_t>(report.bytes[5] | (report.bytes[6] << 8));
        sent.push_back(std::move(report));
    }
    return sent;
}

std::vector<uint8_t> SimMemoryArea(nqsim::Simulator& sim, const std::string& device, const std::string& area,
                                   const std::string& scratchFile)
{
    // The saved memory image: 8-byte magic, version, then per area its name length, name, size
    // (32 bit, LE) and bytes.
    EXPECT_TRUE(sim.SaveMemory(device, scratchFile));
    std::ifstream in(scratchFile, std::ios::binary);
    const std::vector<uint8_t> image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t at = 9;
    while (at < image.size()) {
        const size_t nameLength = image[at++];
        const std::string name(image.begin() + at, image.begin() + at + nameLength);
        at += nameLength;
        uint32_t size = 0;
        for (int i = 0; i < 4; ++i)
            size |= static_cast<uint32_t>(image[at + i]) << (8 * i);
        at += 4;
        if (name == area)
            return std::vector<uint8_t>(image.begin() + at, image.begin() + at + size);
        at += size;
    }
    ADD_FAILURE() << "no memory area " << area;
    return {};
}

} // namespace nqtest
