#include "hid/HidReportDescriptor.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>

namespace nq {

bool HidTopCollection::OwnsReport(HidReportType type, uint8_t reportId) const
{
    const auto& ids = reportIds[static_cast<int>(type)];
    return std::binary_search(ids.begin(), ids.end(), reportId);
}

int HidReportDescriptor::FindCollection(HidReportType type, uint8_t reportId) const
{
    for (size_t i = 0; i < m_collections.size(); ++i)
        if (m_collections[i].OwnsReport(type, reportId))
            return static_cast<int>(i);
    return -1;
}

namespace {

enum ItemType { kMain = 0, kGlobal = 1, kLocal = 2, kReserved = 3 };

struct Globals {
    uint32_t usagePage = 0;
    int64_t logicalMin = 0;
    uint32_t logicalMaxRaw = 0;
    int logicalMaxSize = 0;
    int64_t physicalMin = 0;
    uint32_t physicalMaxRaw = 0;
    int physicalMaxSize = 0;
    uint32_t unitExponent = 0;
    uint32_t unit = 0;
    uint32_t reportSize = 0;
    bool reportSizeSet = false; // a Report Size item was seen; zero is a valid size
    uint32_t reportId = 0;
    uint32_t reportCount = 0;
};

struct UsageEntry {
    uint32_t min = 0, max = 0; // with the page in the high half when extended
    bool extended = false;
};

struct PendingUsage {
    uint32_t value = 0;
    bool extended = false;
};

int64_t SignExtend(uint32_t raw, int size)
{
    switch (size) {
    case 1: return static_cast<int8_t>(raw);
    case 2: return static_cast<int16_t>(raw);
    case 4: return static_cast<int32_t>(raw);
    default: return 0;
    }
}

// A maximum is read unsigned when the minimum is not negative (a one-byte 0xFF then means 255).
int64_t ResolveMax(int64_t min, uint32_t raw, int size)
{
    if (min < 0 || size == 4)
        return SignExtend(raw, size);
    return raw;
}

class Parser {
public:
    Parser(std::vector<HidTopCollection>& out, bool& usesIds, std::string& error)
        : m_out(out), m_usesIds(usesIds), m_error(error) {}

    bool Run(const uint8_t* data, size_t length);

private:
    bool Fail(const char* what, size_t offset)
    {
        char buf[160];
        std::snprintf(buf, sizeof(buf), "%s at byte %zu", what, offset);
        m_error = buf;
        return false;
    }
    bool Global(uint8_t tag, uint32_t u, int size, size_t offset);
    bool Local(uint8_t tag, uint32_t u, int size, size_t offset);
    bool Main(uint8_t tag, uint32_t u, size_t offset);
    bool Field(HidReportType type, uint32_t flags, size_t offset);
    bool AddUsage(uint32_t min, uint32_t max, bool extended, size_t offset);
    void ClearLocals()
    {
        m_usages.clear();
        m_pendingMin.reset();
        m_pendingMax.reset();
        m_delimiterUsed = false;
    }
    // Full 32-bit usage: the page from the item when extended, else the current page.
    uint32_t Full(uint32_t value, bool extended) const
    {
        return extended ? value : ((m_globals.usagePage & 0xFFFF) << 16) | (value & 0xFFFF);
    }

    std::vector<HidTopCollection>& m_out;
    bool& m_usesIds;
    std::string& m_error;

    Globals m_globals;
    std::vector<Globals> m_stack;
    std::vector<UsageEntry> m_usages;
    std::optional<PendingUsage> m_pendingMin, m_pendingMax;
    int m_delimiter = 0;         // 1 inside an open delimiter set
    bool m_delimiterUsed = false; // the set already gave its usage
    struct Node {
        uint16_t index;
        uint16_t usagePage, usage;
    };
    std::vector<Node> m_collections; // open collections, outermost first
    std::array<std::array<uint32_t, 256>, 3> m_bits{}; // report bits after the ID byte, per type and ID
    bool m_fieldWithoutId = false;
    uint32_t m_dataItems = 0;
    std::array<uint16_t, 3> m_dataIndex{};
};

bool Parser::AddUsage(uint32_t min, uint32_t max, bool extended, size_t offset)
{
    if (m_delimiter) {
        if (m_delimiterUsed)
            return true; // alternatives of a delimiter set are not used
        m_delimiterUsed = true;
    }
    if (m_usages.size() >= HidReportDescriptor::kMaxUsagesPerItem)
        return Fail("too many usages", offset);
    m_usages.push_back({min, max, extended});
    return true;
}

bool Parser::Global(uint8_t tag, uint32_t u, int size, size_t offset)
{
    switch (tag) {
    case 0: m_globals.usagePage = u; break;
    case 1: m_globals.logicalMin = SignExtend(u, size); break;
    case 2: m_globals.logicalMaxRaw = u; m_globals.logicalMaxSize = size; break;
    case 3: m_globals.physicalMin = SignExtend(u, size); break;
    case 4: m_globals.physicalMaxRaw = u; m_globals.physicalMaxSize = size; break;
    case 5: m_globals.unitExponent = u; break;
    case 6: m_globals.unit = u; break;
    case 7:
        if (u > HidReportDescriptor::kMaxReportSize)
            return Fail("unsupported report size", offset);
        m_globals.reportSize = u;
        m_globals.reportSizeSet = true;
        break;
    case 8:
        if (u == 0 || u > 255)
            return Fail("invalid report ID", offset);
        if (m_fieldWithoutId)
            return Fail("report ID after fields without one", offset);
        m_globals.reportId = u;
        m_usesIds = true;
        break;
    case 9:
        if (u > HidReportDescriptor::kMaxReportBits)
            return Fail("report count too large", offset);
        m_globals.reportCount = u;
        break;
    case 10:
        if (m_stack.size() >= 16)
            return Fail("push stack overflow", offset);
        m_stack.push_back(m_globals);
        break;
    case 11:
        if (m_stack.empty())
            return Fail("pop without push", offset);
        m_globals = m_stack.back();
        m_stack.pop_back();
        break;
    default:
        return Fail("unknown global item", offset);
    }
    return true;
}

bool Parser::Local(uint8_t tag, uint32_t u, int size, size_t offset)
{
    bool extended = size == 4;
    switch (tag) {
    case 0: return AddUsage(u, u, extended, offset);
    case 1:
        m_pendingMin = PendingUsage{u, extended};
        break;
    case 2:
        m_pendingMax = PendingUsage{u, extended};
        break;
    case 10:
        if (u == 1) {
            if (m_delimiter)
                return Fail("nested delimiter", offset);
            m_delimiter = 1;
            m_delimiterUsed = false;
        } else if (u == 0) {
            if (!m_delimiter)
                return Fail("delimiter close without open", offset);
            m_delimiter = 0;
        } else {
            return Fail("invalid delimiter", offset);
        }
        return true;
    default:
        return true; // designators and strings are not used
    }
    if (m_pendingMin && m_pendingMax) {
        PendingUsage lo = *m_pendingMin, hi = *m_pendingMax;
        m_pendingMin.reset();
        m_pendingMax.reset();
        if (lo.extended != hi.extended && lo.extended && hi.extended)
            return Fail("usage range spans pages", offset);
        // Both ends resolve against the same page; an extended end carries its page along.
        uint32_t loFull = lo.extended ? lo.value : (hi.extended ? (hi.value & 0xFFFF0000u) | (lo.value & 0xFFFF) : lo.value);
        uint32_t hiFull = hi.extended ? hi.value : (lo.extended ? (lo.value & 0xFFFF0000u) | (hi.value & 0xFFFF) : hi.value);
        bool ext = lo.extended || hi.extended;
        if (ext && (loFull >> 16) != (hiFull >> 16))
            return Fail("usage range spans pages", offset);
        if ((loFull & 0xFFFF) > (hiFull & 0xFFFF) || (!ext && loFull > 0xFFFF) || (!ext && hiFull > 0xFFFF))
            return Fail("invalid usage range", offset);
        return AddUsage(loFull, hiFull, ext, offset);
    }
    return true;
}

bool Parser::Field(HidReportType type, uint32_t flags, size_t offset)
{
    if (m_collections.empty())
        return Fail("main item outside a collection", offset);
    // A lone usage minimum or maximum counts as a single usage.
    if (m_pendingMin)
        AddUsage(m_pendingMin->value, m_pendingMin->value, m_pendingMin->extended, offset);
    if (m_pendingMax)
        AddUsage(m_pendingMax->value, m_pendingMax->value, m_pendingMax->extended, offset);
    m_pendingMin.reset();
    m_pendingMax.reset();
    if (!m_error.empty())
        return false;

    const Globals& g = m_globals;
    if (g.reportCount == 0)
        return true;
    if (!g.reportSizeSet)
        return Fail("report size missing", offset);
    // A zero-bit field (the kernel accepts it; some game pads pad with one) adds no bits and
    // no capability.
    if (g.reportSize == 0)
        return true;
    if (g.reportId == 0) {
        if (m_usesIds)
            return Fail("field without report ID", offset);
        m_fieldWithoutId = true;
    }
    const int t = static_cast<int>(type);
    uint64_t bits = static_cast<uint64_t>(g.reportSize) * g.reportCount;
    uint32_t& counter = m_bits[t][g.reportId];
    if (counter + bits > HidReportDescriptor::kMaxReportBits)
        return Fail("report too long", offset);
    const uint32_t base = counter;
    counter += static_cast<uint32_t>(bits);

    HidTopCollection& top = m_out.back();
    auto& ids = top.reportIds[t];
    if (!std::binary_search(ids.begin(), ids.end(), static_cast<uint8_t>(g.reportId)))
        ids.insert(std::upper_bound(ids.begin(), ids.end(), static_cast<uint8_t>(g.reportId)), static_cast<uint8_t>(g.reportId));

    const bool constant = flags & 0x01;
    const bool isArray = !(flags & 0x02);
    if (m_usages.empty()) {
        if (constant)
            return true; // padding
        m_usages.push_back({0, 0, false});
    }

    int64_t logicalMax = ResolveMax(g.logicalMin, g.logicalMaxRaw, g.logicalMaxSize);
    int64_t physicalMax = ResolveMax(g.physicalMin, g.physicalMaxRaw, g.physicalMaxSize);
    if (logicalMax < g.logicalMin && (isArray || g.reportSize > 1))
        return Fail("logical range invalid", offset);

    const Node& link = m_collections.back();
    const bool isButton = isArray || g.reportSize == 1;
    uint32_t remaining = g.reportCount;
    uint32_t field = 0;
    for (size_t i = 0; i < m_usages.size(); ++i) {
        const UsageEntry& e = m_usages[i];
        uint32_t lo = Full(e.min, e.extended), hi = Full(e.max, e.extended);
        uint32_t span = (hi & 0xFFFF) - (lo & 0xFFFF) + 1;
        uint32_t fields = 0;
        if (!isArray) {
            if (remaining == 0)
                break; // more usages than fields
            if (span > remaining) {
                span = remaining;
                hi = lo + span - 1;
            }
            fields = span;
            remaining -= span;
            if (i + 1 == m_usages.size()) {
                fields += remaining; // the last usage covers the fields left over
                remaining = 0;
            }
        } else {
            fields = g.reportCount;
        }
        uint32_t items = isButton ? 1 : span;
        if (m_dataItems + items > HidReportDescriptor::kMaxDataItems)
            return Fail("too many data items", offset);
        m_dataItems += items;
        uint16_t dataIndex = m_dataIndex[t];
        m_dataIndex[t] = static_cast<uint16_t>(m_dataIndex[t] + span);

        auto fill = [&](auto& c) {
            c.usagePage = static_cast<uint16_t>(lo >> 16);
            c.reportId = static_cast<uint8_t>(g.reportId);
            c.bitField = static_cast<uint16_t>(flags & 0x1FF);
            c.linkCollection = link.index;
            c.linkUsage = link.usage;
            c.linkUsagePage = link.usagePage;
            c.isRange = lo != hi || e.min != e.max;
            c.isAbsolute = !(flags & 0x04);
            c.usageMin = static_cast<uint16_t>(lo);
            c.usageMax = static_cast<uint16_t>(hi);
            c.dataIndexMin = dataIndex;
            c.dataIndexMax = static_cast<uint16_t>(dataIndex + span - 1);
            c.reportCount = fields;
            c.bitSize = g.reportSize;
            c.bitOffset = base + (isArray ? 0 : field * g.reportSize);
            c.logicalMin = static_cast<int32_t>(g.logicalMin);
            c.logicalMax = static_cast<int32_t>(logicalMax);
        };
        if (isButton) {
            HidButtonCaps c;
            fill(c);
            c.isArray = isArray;
            top.buttonCaps[t].push_back(c);
        } else {
            HidValueCaps c;
            fill(c);
            c.hasNull = flags & 0x40;
            c.units = g.unit;
            c.unitsExp = g.unitExponent;
            c.physicalMin = static_cast<int32_t>(g.physicalMin);
            c.physicalMax = static_cast<int32_t>(physicalMax);
            top.valueCaps[t].push_back(c);
        }
        if (!isArray)
            field += fields;
    }
    return true;
}

bool Parser::Main(uint8_t tag, uint32_t u, size_t offset)
{
    bool ok = true;
    switch (tag) {
    case 8: ok = Field(HidReportType::Input, u, offset); break;
    case 9: ok = Field(HidReportType::Output, u, offset); break;
    case 11: ok = Field(HidReportType::Feature, u, offset); break;
    case 10: {
        if (static_cast<int>(m_collections.size()) >= HidReportDescriptor::kMaxDepth)
            return Fail("collections nested too deep", offset);
        uint32_t full = 0;
        if (!m_usages.empty())
            full = Full(m_usages.front().min, m_usages.front().extended);
        else if (m_pendingMin)
            full = Full(m_pendingMin->value, m_pendingMin->extended);
        Node node{0, static_cast<uint16_t>(full >> 16), static_cast<uint16_t>(full)};
        if (m_collections.empty()) {
            if (m_out.size() >= 255)
                return Fail("too many top-level collections", offset);
            m_out.emplace_back();
            m_out.back().usagePage = node.usagePage;
            m_out.back().usage = node.usage;
            m_dataIndex = {};
        } else {
            HidTopCollection& top = m_out.back();
            if (top.linkCollections == 0xFFFF)
                return Fail("too many collections", offset);
            node.index = top.linkCollections++;
        }
        m_collections.push_back(node);
        break;
    }
    case 12:
        if (m_collections.empty())
            return Fail("end collection without collection", offset);
        m_collections.pop_back();
        break;
    default:
        return Fail("unknown main item", offset);
    }
    ClearLocals();
    return ok;
}

bool Parser::Run(const uint8_t* data, size_t length)
{
    if (!data || length == 0)
        return Fail("empty descriptor", 0);
    if (length > HidReportDescriptor::kMaxDescriptorSize)
        return Fail("descriptor too large", 0);
    size_t i = 0;
    while (i < length) {
        const size_t at = i;
        uint8_t prefix = data[i++];
        if (prefix == 0xFE) { // long item: size, tag, data; skipped
            if (length - i < 2)
                return Fail("truncated long item", at);
            size_t size = data[i];
            i += 2;
            if (length - i < size)
                return Fail("long item runs past the end", at);
            i += size;
            continue;
        }
        int size = prefix & 3;
        if (size == 3)
            size = 4;
        if (length - i < static_cast<size_t>(size))
            return Fail("item runs past the end", at);
        uint32_t u = 0;
        for (int k = 0; k < size; ++k)
            u |= static_cast<uint32_t>(data[i + k]) << (8 * k);
        i += size;
        uint8_t type = (prefix >> 2) & 3, tag = prefix >> 4;
        bool ok = true;
        switch (type) {
        case kMain: ok = Main(tag, u, at); break;
        case kGlobal: ok = Global(tag, u, size, at); break;
        case kLocal: ok = Local(tag, u, size, at); break;
        default: break; // reserved item types are skipped
        }
        if (!ok)
            return false;
    }
    if (!m_collections.empty())
        return Fail("collection not closed", length);
    if (m_delimiter)
        return Fail("delimiter not closed", length);
    if (m_out.empty())
        return Fail("no top-level collection", length);

    for (auto& top : m_out) {
        uint16_t* lengths[3] = {&top.caps.inputReportByteLength, &top.caps.outputReportByteLength,
                                &top.caps.featureReportByteLength};
        for (int t = 0; t < 3; ++t) {
            uint32_t bytes = 0;
            for (uint8_t id : top.reportIds[t])
                bytes = std::max(bytes, (m_bits[t][id] + 7) / 8 + 1);
            *lengths[t] = static_cast<uint16_t>(std::min<uint32_t>(bytes, 0xFFFF));
        }
        top.caps.usagePage = top.usagePage;
        top.caps.usage = top.usage;
        top.caps.numberInputButtonCaps = static_cast<uint16_t>(top.buttonCaps[0].size());
        top.caps.numberInputValueCaps = static_cast<uint16_t>(top.valueCaps[0].size());
        top.caps.numberOutputButtonCaps = static_cast<uint16_t>(top.buttonCaps[1].size());
        top.caps.numberOutputValueCaps = static_cast<uint16_t>(top.valueCaps[1].size());
        top.caps.numberFeatureButtonCaps = static_cast<uint16_t>(top.buttonCaps[2].size());
        top.caps.numberFeatureValueCaps = static_cast<uint16_t>(top.valueCaps[2].size());
    }
    return true;
}

} // namespace

bool HidReportDescriptor::Parse(const uint8_t* data, size_t length)
{
    m_error.clear();
    m_collections.clear();
    m_usesReportIds = false;
    Parser parser(m_collections, m_usesReportIds, m_error);
    if (!parser.Run(data, length)) {
        m_collections.clear();
        m_usesReportIds = false;
        return false;
    }
    return true;
}

} // namespace nq
