#pragma once
// The macro memory of a simulated mouse or keyboard. An image is written in chunks from offset 0:
//
//   0 magic AA 55, 2 total length L, 4 macro count M, 6 ten zero bytes, 16 M block offsets,
//   then the blocks: event count E, two zero bytes, E events (delay LE, type | 0x80 for "down",
//   button)
//
// The first chunk must carry a header whose image fits the memory (L <= memory size, the offset
// table inside L); later chunks must lie inside the announced image. Anything else is refused and
// leaves the memory as it was.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace nqsim {

class MacroMemory {
public:
    static constexpr size_t kHeaderSize = 16;

    // Checks one chunk of command 21 against the memory and the image announced so far
    // (`announced`, 0 before a header was taken); a taken header sets `announced`.
    static bool AcceptChunk(size_t memorySize, size_t offset, size_t length, const uint8_t* data, size_t& announced);
    // The stored image decoded, one line per macro and per event; "no macros" for a memory that
    // holds no image.
    static std::string Decode(const std::vector<uint8_t>& memory);
};

} // namespace nqsim
