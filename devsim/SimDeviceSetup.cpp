#include "devsim/SimDeviceSetup.h"

#include "devsim/SimDescriptors.h"

#include <algorithm>
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
    return SimKindNames();
}

const std::vector<SimKindIdentity>& SimKindIdentities()
{
    static const std::vector<SimKindIdentity> identities = {
        {"keyboard", 0x320F, 0x5041, 0},  {"mouse", 0x320F, 0x5F10, 0},     {"rxmouse", 0x320F, 0x5F11, 0x5F12},
        {"mousepad", 0x320F, 0x5F13, 0},  {"chargepad", 0x320F, 0x5F14, 0}, {"headset", 0x320F, 0x5F15, 0},
    };
    return identities;
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
    const SimKindIdentity* own = nullptr;
    for (const SimKindIdentity& identity : SimKindIdentities())
        if (kind == identity.kindName)
            own = &identity;
    if (!own)
        return fail("unknown device kind: " + kind);
    const uint16_t vid = own->vendorId, pid = own->productId;
    if (kind == "keyboard") {
        setup.identity.kind = 1;
        setup.links.push_back(MakeLink("", vid, pid, &BootKeyboardDescriptor()));
    } else if (kind == "mouse") {
        setup.identity.kind = 2;
        setup.links.push_back(MakeLink("", vid, pid, &BootMouseDescriptor()));
    } else if (kind == "rxmouse") {
        setup.identity.kind = 6;
        setup.links.push_back(MakeLink("wired", vid, pid, &BootMouseDescriptor()));
        setup.links.push_back(MakeLink("receiver", vid, own->receiverProductId, &BootMouseDescriptor()));
    } else if (kind == "mousepad" || kind == "chargepad") {
        setup.identity.kind = 3;
        setup.links.push_back(MakeLink("", vid, pid, nullptr));
    } else {
        setup.identity.kind = 7;
        SimLinkSpec link;
        link.vendorId = vid;
        link.productId = pid;
        link.interfaces.push_back({3, HeadsetDescriptor(), true, true, kHeadsetConsumerReportId});
        setup.links.push_back(link);
    }

    if (!ids.empty()) {
        // VID:PID for every link, or VID:PID,VID:PID for the wired and the receiver link.
        std::vector<std::pair<uint16_t, uint16_t>> pairs;
        size_t start = 0;
        while (start <= ids.size()) {
            const size_t comma = std::min(ids.find(',', start), ids.size());
            const std::string one = ids.substr(start, comma - start);
            const size_t colon = one.find(':');
            uint16_t v = 0, p = 0;
            if (colon == std::string::npos || !ParseHex16(one.substr(0, colon), v) || !ParseHex16(one.substr(colon + 1), p))
                return fail("bad vendor:product: " + ids);
            pairs.emplace_back(v, p);
            start = comma + 1;
        }
        if (pairs.size() > setup.links.size())
            return fail("more vendor:product pairs than links: " + ids);
        for (size_t i = 0; i < setup.links.size(); ++i) {
            setup.links[i].vendorId = pairs[std::min(i, pairs.size() - 1)].first;
            setup.links[i].productId = pairs[std::min(i, pairs.size() - 1)].second;
        }
    }
    setup.identity.vendorId = setup.links.front().vendorId;
    setup.identity.productId = setup.links.front().productId;
    return setup;
}

} // namespace nqsim
