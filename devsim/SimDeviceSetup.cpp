#include "devsim/SimDeviceSetup.h"

#include "devsim/SimDescriptors.h"

#include <cstdlib>

namespace nqsim {
namespace {

SimLinkSpec MakeLink(const std::string& name, uint16_t vid, uint16_t pid, const std::vector<uint8_t>* interface0)
{
    SimLinkSpec link;
    link.name = name;
    link.vendorId = vid;
    link.productId = pid;
    if (interface0)
        link.interfaces.push_back({0, *interface0, false, false, 0});
    link.interfaces.push_back({1, MultiCollectionDescriptor(), true, true, kConsumerReportId});
    return link;
}

bool ParseHex16(const std::string& text, uint16_t& value)
{
    if (text.empty() || text.size() > 6)
        return false;
    char* end = nullptr;
    unsigned long v = std::strtoul(text.c_str(), &end, 16);
    if (*end != '\0' || v > 0xFFFF)
        return false;
    value = static_cast<uint16_t>(v);
    return true;
}

} // namespace

const std::vector<std::string>& SimKindNames()
{
    static const std::vector<std::string> names = {"keyboard", "mouse", "rxmouse", "mousepad", "chargepad", "headset"};
    return names;
}

const std::vector<std::string>& DemoKindNames()
{
    static const std::vector<std::string> names = {"keyboard", "mouse", "mousepad", "headset"};
    return names;
}

std::optional<SimDeviceSetup> MakeSimDeviceSetup(const std::string& text, std::string* error)
{
    auto fail = [&](const std::string& message) -> std::optional<SimDeviceSetup> {
        if (error)
            *error = message;
        return std::nullopt;
    };
    std::string kind = text, name, ids;
    if (auto at = kind.find('@'); at != std::string::npos) {
        ids = kind.substr(at + 1);
        kind.resize(at);
    }
    if (auto colon = kind.find(':'); colon != std::string::npos) {
        name = kind.substr(colon + 1);
        kind.resize(colon);
    }
    if (name.empty())
        name = kind;
    for (char c : name) {
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '.';
        if (!ok || name.size() > 40 || name[0] == '.')
            return fail("bad device name: " + name);
    }

    SimDeviceSetup setup;
    setup.name = name;
    setup.kindName = kind;
    setup.identity.name = kind;
    if (kind == "keyboard") {
        setup.identity.kind = 1;
        setup.links.push_back(MakeLink("", 0x320F, 0x5041, &BootKeyboardDescriptor()));
    } else if (kind == "mouse") {
        setup.identity.kind = 2;
        setup.links.push_back(MakeLink("", 0, 0, &BootMouseDescriptor()));
    } else if (kind == "rxmouse") {
        setup.identity.kind = 6;
        setup.links.push_back(MakeLink("wired", 0, 0, &BootMouseDescriptor()));
        setup.links.push_back(MakeLink("receiver", 0, 0, &BootMouseDescriptor()));
    } else if (kind == "mousepad" || kind == "chargepad") {
        setup.identity.kind = 3;
        setup.links.push_back(MakeLink("", 0, 0, nullptr));
    } else if (kind == "headset") {
        setup.identity.kind = 7;
        SimLinkSpec link;
        link.interfaces.push_back({3, HeadsetDescriptor(), true, true, kHeadsetConsumerReportId});
        setup.links.push_back(link);
    } else {
        return fail("unknown device kind: " + kind);
    }

    if (!ids.empty()) {
        auto colon = ids.find(':');
        uint16_t vid = 0, pid = 0;
        if (colon == std::string::npos || !ParseHex16(ids.substr(0, colon), vid) || !ParseHex16(ids.substr(colon + 1), pid))
            return fail("bad vendor:product: " + ids);
        for (auto& link : setup.links) {
            link.vendorId = vid;
            link.productId = pid;
        }
    }
    setup.identity.vendorId = setup.links.front().vendorId;
    setup.identity.productId = setup.links.front().productId;
    return setup;
}

} // namespace nqsim
