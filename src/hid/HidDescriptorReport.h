#pragma once
// What the nq501-hid diagnostics command prints: the capabilities of every top-level collection
// of a report descriptor as JSON, and the interface list of the machine (or the simulator).
#include "hid/HidEnumerator.h"
#include "hid/HidReportDescriptor.h"

#include <json/value.h>

#include <cstdint>
#include <string>
#include <vector>

namespace nq {

struct HidInterfaceRow {
    std::string path;
    uint16_t vendorId = 0, productId = 0, version = 0;
    uint16_t interfaceNumber = 0, collectionNumber = 0;
    uint16_t usagePage = 0, usage = 0;
    uint16_t inputLength = 0, outputLength = 0, featureLength = 0;
    std::string error; // a node whose descriptor does not parse: why (the program cannot use it)
};

class HidDescriptorReport {
public:
    // A descriptor file: binary, or hex text ("05 01 09 06", "0x05, 0x01", "050109" ...).
    // False when the text holds something that is not a hex byte.
    static bool ReadDescriptorFile(const std::string& file, std::vector<uint8_t>& bytes, std::string* error);
    static bool DecodeHexText(const std::string& text, std::vector<uint8_t>& bytes);

    // {"collections":[{"index":1,"usagePage":N,"usage":N,"reportIds":[...],"inputLength":N,
    //  "outputLength":N,"featureLength":N,"buttonCaps":{"input":N,"output":N,"feature":N},
    //  "valueCaps":{...},"dataItems":{...}}]}
    static Json::Value Describe(const HidReportDescriptor& descriptor);

    // One row per interface path present (hidraw, or the simulator when NQ501_SIM_DIR is set),
    // plus one row with the error for each node whose descriptor does not parse.
    static std::vector<HidInterfaceRow> ListInterfaces();
    static std::string FormatTable(const std::vector<HidInterfaceRow>& rows);
    static Json::Value ToJson(const std::vector<HidInterfaceRow>& rows);
};

} // namespace nq
