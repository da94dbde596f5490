#pragma once
// The memory image of a simulated device: named areas of fixed size (device information,
// configuration memory, key map, ...). It can be saved to and loaded from a byte image and dumped
// as text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace nqsim {

class FirmwareMemory {
public:
    // Adds an area of `size` zero bytes (an existing area of that name is resized and cleared).
    std::vector<uint8_t>& Add(const std::string& name, size_t size);
    // The area of that name; an empty static area when there is none.
    std::vector<uint8_t>& Area(const std::string& name);
    const std::vector<uint8_t>& Area(const std::string& name) const;
    bool Has(const std::string& name) const;

    // Image: "NQSIMMEM" 1, then per area: name length (1 byte), name, size (4 bytes LE), bytes.
    std::vector<uint8_t> Save() const;
    // Accepts only an image with the same areas and sizes; the memory is untouched otherwise.
    bool Load(const std::vector<uint8_t>& image);
    // One block per area: its name and size, then 16 bytes a line in hex; runs of zero lines are
    // folded into one "*" line.
    std::string Dump() const;

private:
    struct Named {
        std::string name;
        std::vector<uint8_t> bytes;
    };
    std::vector<Named> m_areas;
};

} // namespace nqsim
