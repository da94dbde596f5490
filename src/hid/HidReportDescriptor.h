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

namespace nq {

// One top-level collection of a descriptor with everything the HID layer reports for it.
struct HidTopCollection {
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    HidCaps caps;
    std::vector<HidButtonCaps> buttonCaps[3];
    std::vector<HidValueCaps> valueCaps[3];
    std::vector<uint8_t> reportIds[3]; // per report type, ascending; {0} when the descriptor has no IDs
    uint16_t linkCollections = 1;      // collection nodes inside it, itself included

    bool OwnsReport(HidReportType type, uint8_t reportId) const;
};

// The parser. Malformed input (truncated items, unbalanced collections, absurd sizes or counts)
// makes Parse fail with a message in Error(); nothing is read outside the given bytes and every
// allocation is bounded by the limits below.
class HidReportDescriptor {
public:
    static constexpr size_t kMaxDescriptorSize = 4096;
    static constexpr uint32_t kMaxReportBits = 8192 * 8; // one report
    static constexpr uint32_t kMaxReportSize = 32;        // bits per field
    static constexpr uint32_t kMaxUsagesPerItem = 4096;
    static constexpr uint32_t kMaxDataItems = 65536;      // buttons caps + expanded value usages
    static constexpr int kMaxDepth = 32;

    bool Parse(const uint8_t* data, size_t length);
    bool Parse(const std::vector<uint8_t>& data) { return Parse(data.data(), data.size()); }

    const std::string& Error() const { return m_error; }
    const std::vector<HidTopCollection>& Collections() const { return m_collections; }
    bool UsesReportIds() const { return m_usesReportIds; }
    // Index of the top-level collection that owns a report, -1 when none does.
    int FindCollection(HidReportType type, uint8_t reportId) const;

private:
    std::string m_error;
    std::vector<HidTopCollection> m_collections;
    bool m_usesReportIds = false;
};

} // namespace nq
