#include "devsim/firmware/FirmwareMemory.h"

#include <cstdio>
#include <cstring>

namespace nqsim {
namespace {

const char kMagic[] = "NQSIMMEM";
constexpr uint8_t kImageVersion = 1;

} // namespace

std::vector<uint8_t>& FirmwareMemory::Add(const std::string& name, size_t size)
{
    for (Named& area : m_areas) {
        if (area.name == name) {
            area.bytes.assign(size, 0);
            return area.bytes;
        }
    }
    m_areas.push_back({name, std::vector<uint8_t>(size, 0)});
    return m_areas.back().bytes;
}

std::vector<uint8_t>& FirmwareMemory::Area(const std::string& name)
{
    for (Named& area : m_areas)
        if (area.name == name)
            return area.bytes;
    static std::vector<uint8_t> none;
    none.clear();
    return none;
}

const std::vector<uint8_t>& FirmwareMemory::Area(const std::string& name) const
{
    for (const Named& area : m_areas)
        if (area.name == name)
            return area.bytes;
    static const std::vector<uint8_t> none;
    return none;
}

bool FirmwareMemory::Has(const std::string& name) const
{
    for (const Named& area : m_areas)
        if (area.name == name)
            return true;
    return false;
}

std::vector<uint8_t> FirmwareMemory::Save() const
{
    std::vector<uint8_t> image(kMagic, kMagic + 8);
    image.push_back(kImageVersion);
    for (const Named& area : m_areas) {
        image.push_back(static_cast<uint8_t>(area.name.size()));
        image.insert(image.end(), area.name.begin(), area.name.end());
        const uint32_t size = static_cast<uint32_t>(area.bytes.size());
        for (int i = 0; i < 4; ++i)
            image.push_back(static_cast<uint8_t>(size >> (8 * i)));
        image.insert(image.end(), area.bytes.begin(), area.bytes.end());
    }
    return image;
}

bool FirmwareMemory::Load(const std::vector<uint8_t>& image)
{
    if (image.size() < 9 || std::memcmp(image.data(), kMagic, 8) != 0 || image[8] != kImageVersion)
        return false;
    // Check the whole image first so that a damaged one changes nothing.
    std::vector<std::pair<size_t, size_t>> spans; // (start, size) per area in order
    size_t at = 9;
    for (const Named& area : m_areas) {
        if (at >= image.size())
            return false;
        const size_t nameLength = image[at++];
        if (at + nameLength + 4 > image.size())
            return false;
        if (std::string(image.begin() + at, image.begin() + at + nameLength) != area.name)
            return false;
        at += nameLength;
        uint32_t size = 0;
        for (int i = 0; i < 4; ++i)
            size |= static_cast<uint32_t>(image[at + i]) << (8 * i);
        at += 4;
        if (size != area.bytes.size() || at + size > image.size())
            return false;
        spans.emplace_back(at, size);
        at += size;
    }
    if (at != image.size())
        return false;
    for (size_t i = 0; i < m_areas.size(); ++i) {
        if (spans[i].second) // an empty area has no storage to copy into
            std::memcpy(m_areas[i].bytes.data(), image.data() + spans[i].first, spans[i].second);
    }
    return true;
}

std::string FirmwareMemory::Dump() const
{
    std::string out;
    char line[128];
    for (const Named& area : m_areas) {
        std::snprintf(line, sizeof line, "%s (%zu bytes)\n", area.name.c_str(), area.bytes.size());
        out += line;
        bool folded = false;
        for (size_t row = 0; row < area.bytes.size(); row += 16) {
            const size_t n = std::min<size_t>(16, area.bytes.size() - row);
            bool zero = true;
            for (size_t i = 0; i < n; ++i)
                zero = zero && area.bytes[row + i] == 0;
            if (zero && row > 0 && row + 16 < area.bytes.size()) {
                if (!folded)
                    out += "  *\n";
                folded = true;
                continue;
            }
            folded = false;
            int used = std::snprintf(line, sizeof line, "  %04zx:", row);
            for (size_t i = 0; i < n; ++i)
                used += std::snprintf(line + used, sizeof line - used, " %02x", area.bytes[row + i]);
            out += line;
            out += '\n';
        }
    }
    return out;
}

} // namespace nqsim
