#include "devices/KeyColourFrame.h"

namespace nq {

KeyColourFrame::Frame KeyColourFrame::Build(const std::function<uint32_t(int)>& wordOf,
                                            const std::array<uint8_t, KeyboardKeyPositions::kPositions>& positionToLed,
                                            bool scaled)
{
    Frame frame{};
    for (int i = 0; i < KeyboardKeyPositions::kPositions; ++i) {
        const uint8_t led = positionToLed[size_t(i)];
        if (led == KeyboardKeyPositions::kNone || led > kLastLed)
            continue;
        const uint32_t word = wordOf(i);
        const uint32_t level = word >> 24;
        for (size_t c = 0; c < 3; ++c) {
            const size_t at = 3 * size_t(led) + c;
            if (at >= kSize)
                break;
            const uint32_t byte = (word >> (8 * c)) & 0xFF;
            frame[at] = uint8_t(scaled ? (byte * level) >> 8 : byte);
        }
    }
    return frame;
}

} // namespace nq
