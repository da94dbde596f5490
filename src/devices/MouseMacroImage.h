#pragma once
// The memory image of macros (and of recoil tables) as the mouse takes it. Multi-byte values are
// little-endian.
//
//   0      magic 0x55AA
//   2      total image length in bytes
//   4      block count M
//   6      10 reserved bytes
//   16     M offsets (2 bytes each) of the blocks from the image start
//   16+2M  the blocks in order: event count E (2 bytes), 2 reserved bytes, E events of 4 bytes
//
// An event: delay in milliseconds (2 bytes), type with bit 7 set for "down", button.
// Total length = 16 + 6 * M + 4 * (sum of E).
#include "macros/MacroEvent.h"

#include <json/value.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace nq {

struct MouseMacroEvent {
    uint16_t delay = 0;
    uint8_t type = 0;   // bit 7: "down"
    uint8_t button = 0;

    bool operator==(const MouseMacroEvent&) const = default;
};

class MouseMacroImage {
public:
    using Events = std::vector<MouseMacroEvent>;

    static constexpr uint16_t kMagic = 0x55AA;
    static constexpr size_t kHeaderSize = 16;
    static constexpr size_t kOffsetSize = 2;
    static constexpr size_t kBlockHeaderSize = 4;
    static constexpr size_t kEventSize = 4;
    // Largest image the 16-bit length field (and the device's address space) can describe.
    static constexpr size_t kMaxLength = 0xFFFF;

    // 16 + 6 * blocks + 4 * events, for blocks of the given event counts.
    static size_t Length(const std::vector<size_t>& eventCounts);
    static size_t Length(const std::vector<Events>& blocks);
    // The image; empty when it would be longer than kMaxLength.
    static std::vector<uint8_t> Build(const std::vector<Events>& blocks);

    // What a macro write returns when an image of `total` bytes does not fit `capacity` bytes:
    // the number of 4-byte events too many, plus one. 0 when it fits.
    static int Overflow(size_t total, size_t capacity);

    // The four bytes of an event of a macro or recoil file (type and button cut to 8 bits).
    static MouseMacroEvent EventFrom(const MacroEvent& event);
    // One event from a macro or recoil file's event object: "Delay" (decimal text or integer,
    // limited to 0-65535), "Type", "Action" ("down" sets bit 7 of the type), "Button".
    static MouseMacroEvent EventFromJson(const Json::Value& event);
    // The "Events" array of a macro or recoil document (empty when missing).
    static Events EventsFromDocument(const Json::Value& document);
    // The events of the macro or recoil file at `path` (empty when missing or unreadable).
    static Events ReadEventFile(const std::string& path);
};

} // namespace nq
