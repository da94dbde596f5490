#include "hid/HidDescriptorReport.h"

#include "hid/HidDevice.h"

#include <cctype>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

namespace nq {

namespace {

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

Json::Value PerType(const uint32_t (&n)[3])
{
    Json::Value v(Json::objectValue);
    v["input"] = n[0];
    v["output"] = n[1];
    v["feature"] = n[2];
    return v;
}

} // namespace

bool HidDescriptorReport::DecodeHexText(const std::string& text, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    int high = -1;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (std::isspace(static_cast<unsigned char>(c)) || c == ',' || c == ';') {
            if (high >= 0) { // a lone digit is a byte of its own ("5 1" = 05 01)
                bytes.push_back(static_cast<uint8_t>(high));
                high = -1;
            }
            continue;
        }
        if (c == '0' && i + 1 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X') && high < 0) {
            ++i;
            continue;
        }
        int d = HexDigit(c);
        if (d < 0)
            return false;
        if (high < 0) {
            high = d;
        } else {
            bytes.push_back(static_cast<uint8_t>(high * 16 + d));
            high = -1;
        }
        if (bytes.size() > HidReportDescriptor::kMaxDescriptorSize)
            return true; // the parser refuses it as too large
    }
    if (high >= 0)
        bytes.push_back(static_cast<uint8_t>(high));
    return true;
}

bool HidDescriptorReport::ReadDescriptorFile(const std::string& file, std::vector<uint8_t>& bytes, std::string* error)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        if (error)
            *error = "cannot read " + file;
        return false;
    }
    std::string data;
    char buf[4096];
    while (in && data.size() <= 4 * HidReportDescriptor::kMaxDescriptorSize + 4096) {
        in.read(buf, sizeof(buf));
        data.append(buf, static_cast<size_t>(in.gcount()));
    }
    bool text = !data.empty();
    for (unsigned char c : data)
        if (!(std::isxdigit(c) || std::isspace(c) || c == ',' || c == ';' || c == 'x' || c == 'X')) {
            text = false;
            break;
        }
    if (text) {
        if (!DecodeHexText(data, bytes)) {
            if (error)
                *error = "not a hex descriptor: " + file;
            return false;
        }
        return true;
    }
    bytes.assign(data.begin(), data.end());
    return true;
}

Json::Value HidDescriptorReport::Describe(const HidReportDescriptor& descriptor)
{
    Json::Value root(Json::objectValue);
    Json::Value cols(Json::arrayValue);
    int index = 1;
    for (const auto& c : descriptor.Collections()) {
        Json::Value v(Json::objectValue);
        v["index"] = index++;
        v["usagePage"] = c.usagePage;
        v["usage"] = c.usage;
        std::set<unsigned> ids;
        if (descriptor.UsesReportIds())
            for (const auto& list : c.reportIds)
                ids.insert(list.begin(), list.end());
        Json::Value idList(Json::arrayValue);
        for (unsigned id : ids)
            idList.append(id);
        v["reportIds"] = idList;
        v["inputLength"] = c.caps.inputReportByteLength;
        v["outputLength"] = c.caps.outputReportByteLength;
        v["featureLength"] = c.caps.featureReportByteLength;
        uint32_t buttons[3], values[3], items[3];
        for (int t = 0; t < 3; ++t) {
            buttons[t] = static_cast<uint32_t>(c.buttonCaps[t].size());
            values[t] = static_cast<uint32_t>(c.valueCaps[t].size());
            items[t] = buttons[t];
            for (const auto& vc : c.valueCaps[t])
                items[t] += vc.usageMax - vc.usageMin + 1u;
        }
        v["buttonCaps"] = PerType(buttons);
        v["valueCaps"] = PerType(values);
        v["dataItems"] = PerType(items);
        cols.append(v);
    }
    root["collections"] = cols;
    return root;
}

std::vector<HidInterfaceRow> HidDescriptorReport::ListInterfaces()
{
    std::vector<HidInterfaceRow> rows;
    std::vector<HidNodeInfo> nodes;
    if (!HidEnumerator::ListNodes(nodes))
        return rows;
    for (const auto& node : nodes) {
        HidReportDescriptor descriptor;
        if (!descriptor.Parse(node.descriptor)) {
            HidInterfaceRow r;
            r.path = HidEnumerator::NodePath(node);
            r.vendorId = node.vendorId;
            r.productId = node.productId;
            r.version = node.version;
            r.interfaceNumber = static_cast<uint16_t>(node.interfaceNumber < 0 ? 0 : node.interfaceNumber);
            r.error = "invalid report descriptor: " + descriptor.Error();
            rows.push_back(r);
            continue;
        }
        auto paths = HidEnumerator::PathsOf(node);
        for (size_t i = 0; i < paths.size() && i < descriptor.Collections().size(); ++i) {
            const auto& c = descriptor.Collections()[i];
            HidInterfaceRow r;
            r.path = paths[i];
            r.vendorId = node.vendorId;
            r.productId = node.productId;
            r.version = node.version;
            r.interfaceNumber = HidDevice::ParseInterfaceNumber(paths[i]);
            r.collectionNumber = HidDevice::ParseCollectionNumber(paths[i]);
            r.usagePage = c.usagePage;
            r.usage = c.usage;
            r.inputLength = c.caps.inputReportByteLength;
            r.outputLength = c.caps.outputReportByteLength;
            r.featureLength = c.caps.featureReportByteLength;
            rows.push_back(r);
        }
    }
    return rows;
}

std::string HidDescriptorReport::FormatTable(const std::vector<HidInterfaceRow>& rows)
{
    std::ostringstream out;
    char line[160];
    std::snprintf(line, sizeof(line), "%-4s %-4s %-7s %-3s %-3s %-6s %-6s %5s %5s %5s  %s\n", "VID", "PID", "VERSION",
                  "IF", "COL", "PAGE", "USAGE", "IN", "OUT", "FEAT", "PATH");
    out << line;
    for (const auto& r : rows) {
        if (!r.error.empty()) {
            std::snprintf(line, sizeof(line), "%04x %04x %04x    %-3u ", r.vendorId, r.productId, r.version, r.interfaceNumber);
            out << line << r.path << "  (" << r.error << ")\n";
            continue;
        }
        std::snprintf(line, sizeof(line), "%04x %04x %04x    %-3u %-3u 0x%04x 0x%04x %5u %5u %5u  ", r.vendorId,
                      r.productId, r.version, r.interfaceNumber, r.collectionNumber, r.usagePage, r.usage,
                      r.inputLength, r.outputLength, r.featureLength);
        out << line << r.path << "\n";
    }
    return out.str();
}

Json::Value HidDescriptorReport::ToJson(const std::vector<HidInterfaceRow>& rows)
{
    Json::Value list(Json::arrayValue);
    for (const auto& r : rows) {
        Json::Value v(Json::objectValue);
        v["path"] = r.path;
        v["vendorId"] = r.vendorId;
        v["productId"] = r.productId;
        v["version"] = r.version;
        v["interface"] = r.interfaceNumber;
        v["collection"] = r.collectionNumber;
        v["usagePage"] = r.usagePage;
        v["usage"] = r.usage;
        v["inputLength"] = r.inputLength;
        v["outputLength"] = r.outputLength;
        v["featureLength"] = r.featureLength;
        if (!r.error.empty())
            v["error"] = r.error;
        list.append(v);
    }
    return list;
}

} // namespace nq
