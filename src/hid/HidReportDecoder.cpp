#include "hid/HidReportDecoder.h"

namespace nq {

bool HidReportDecoder::ReadBits(const uint8_t* report, size_t length, uint32_t bitOffset, uint32_t bitSize, uint32_t& value)
{
    value = 0;
    if (!report || bitSize == 0 || bitSize > 32 || length == 0)
        return false;
    uint64_t end = static_cast<uint64_t>(bitOffset) + bitSize;
    if ((end + 7) / 8 > length - 1)
        return false;
    for (uint32_t b = 0; b < bitSize; ++b) {
        uint32_t bit = bitOffset + b;
        if (report[1 + bit / 8] & (1u << (bit % 8)))
            value |= 1u << b;
    }
    return true;
}

uint32_t HidReportDecoder::MaxUsageListLength(const HidTopCollection& col, HidReportType type, uint16_t usagePage)
{
    uint32_t n = 0;
    for (const auto& c : col.buttonCaps[static_cast<int>(type)])
        if (c.usagePage == usagePage)
            n += c.reportCount;
    return n;
}

uint32_t HidReportDecoder::GetUsages(const HidTopCollection& col, HidReportType type, uint16_t usagePage,
                                     const uint8_t* report, size_t length, std::vector<uint16_t>& usages)
{
    usages.clear();
    if (!report || length == 0)
        return kHidStatusInvalidReportLength;
    const uint32_t limit = MaxUsageListLength(col, type, usagePage);
    const auto& caps = col.buttonCaps[static_cast<int>(type)];
    const uint8_t id = report[0];
    for (size_t i = 0; i < caps.size(); ++i) {
        const HidButtonCaps& c = caps[i];
        if (c.reportId != id)
            continue;
        if (!c.isArray) {
            if (c.usagePage != usagePage)
                continue;
            for (uint32_t f = 0; f < c.reportCount && usages.size() < limit; ++f) {
                uint32_t bit = 0;
                if (!ReadBits(report, length, c.bitOffset + f * c.bitSize, c.bitSize, bit) || !bit)
                    continue;
                uint32_t u = c.usageMin + f;
                usages.push_back(static_cast<uint16_t>(u > c.usageMax ? c.usageMax : u));
            }
            continue;
        }
        // An array: the caps that share its offset list its usages one after another; only
        // the first of them reads the fields.
        bool first = true;
        for (size_t k = 0; k < i; ++k)
            if (caps[k].isArray && caps[k].reportId == id && caps[k].bitOffset == c.bitOffset)
                first = false;
        if (!first)
            continue;
        for (uint32_t f = 0; f < c.reportCount && usages.size() < limit; ++f) {
            uint32_t raw = 0;
            if (!ReadBits(report, length, c.bitOffset + f * c.bitSize, c.bitSize, raw))
                continue;
            int64_t v = raw;
            if (c.logicalMin < 0 && c.bitSize < 32 && (raw & (1u << (c.bitSize - 1))))
                v = static_cast<int64_t>(raw) - (int64_t{1} << c.bitSize);
            if (v < c.logicalMin || v > c.logicalMax)
                continue; // nothing pressed in this field
            int64_t index = v - c.logicalMin;
            for (size_t k = i; k < caps.size(); ++k) {
                const HidButtonCaps& a = caps[k];
                if (!a.isArray || a.reportId != id || a.bitOffset != c.bitOffset)
                    continue;
                int64_t span = static_cast<int64_t>(a.usageMax) - a.usageMin + 1;
                if (index < span) {
                    uint16_t u = static_cast<uint16_t>(a.usageMin + index);
                    if (a.usagePage == usagePage && u != 0)
                        usages.push_back(u);
                    break;
                }
                index -= span;
            }
        }
    }
    return kHidStatusSuccess;
}

namespace {

const HidValueCaps* FindValue(const HidTopCollection& col, HidReportType type, uint16_t usagePage, uint16_t usage,
                              uint8_t reportId)
{
    for (const auto& c : col.valueCaps[static_cast<int>(type)])
        if (c.reportId == reportId && c.usagePage == usagePage && usage >= c.usageMin && usage <= c.usageMax)
            return &c;
    return nullptr;
}

} // namespace

uint32_t HidReportDecoder::GetUsageValue(const HidTopCollection& col, HidReportType type, uint16_t usagePage,
                                         uint16_t usage, const uint8_t* report, size_t length, uint32_t& value)
{
    value = 0;
    if (!report || length == 0)
        return kHidStatusInvalidReportLength;
    const HidValueCaps* c = FindValue(col, type, usagePage, usage, report[0]);
    if (!c)
        return kHidStatusUsageNotFound;
    uint32_t field = c->isRange ? static_cast<uint32_t>(usage - c->usageMin) : 0;
    if (!ReadBits(report, length, c->bitOffset + field * c->bitSize, c->bitSize, value))
        return kHidStatusInvalidReportLength;
    return kHidStatusSuccess;
}

uint32_t HidReportDecoder::GetScaledUsageValue(const HidTopCollection& col, HidReportType type, uint16_t usagePage,
                                               uint16_t usage, const uint8_t* report, size_t length, int32_t& value)
{
    value = 0;
    uint32_t raw = 0;
    uint32_t status = GetUsageValue(col, type, usagePage, usage, report, length, raw);
    if (status != kHidStatusSuccess)
        return status;
    const HidValueCaps* c = FindValue(col, type, usagePage, usage, report[0]);
    int64_t lmin = c->logicalMin, lmax = c->logicalMax;
    int64_t pmin = c->physicalMin, pmax = c->physicalMax;
    if (pmin == 0 && pmax == 0) {
        pmin = lmin;
        pmax = lmax;
    }
    if (lmin >= lmax || pmin > pmax)
        return kHidStatusBadLogPhyValues;
    int64_t v = raw;
    if (lmin < 0 && c->bitSize < 32 && (raw & (1u << (c->bitSize - 1))))
        v = static_cast<int64_t>(raw) - (int64_t{1} << c->bitSize);
    else if (lmin < 0 && c->bitSize == 32)
        v = static_cast<int32_t>(raw);
    if (v < lmin || v > lmax)
        return c->hasNull ? kHidStatusNull : kHidStatusValueOutOfRange;
    value = static_cast<int32_t>(pmin + (v - lmin) * (pmax - pmin) / (lmax - lmin));
    return kHidStatusSuccess;
}

} // namespace nq
