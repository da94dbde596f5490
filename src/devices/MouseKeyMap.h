#pragma once
// The mouse's key table on the device: 3 bytes per key slot (function code, parameter 1,
// parameter 2), as many slots as the device information block announces (byte 5).
//
// The page shows ten buttons. The firmware does not keep them in page order, so each page button
// is found on the device by its factory assignment; keyIndexMap[button] is the slot holding it, or
// kNoSlot when no slot holds that assignment.
#include "editors/KeyAssignment.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace nq {

class MouseKeyMap {
public:
    static constexpr int kButtons = 10;
    static constexpr int kNoSlot = 126;
    static constexpr size_t kSlotBytes = 3;
    static constexpr size_t kTableBytes = 512;

    struct FactoryButton {
        uint8_t code;
        uint8_t param1;
        uint8_t param2;
    };
    // Page button -> its factory assignment.
    static const std::array<FactoryButton, kButtons>& FactoryButtons();

    // The map from page button to device slot for a key table of `slotCount` slots: slots
    // 0 .. slotCount - 1 start at kNoSlot, then each of the ten buttons takes the first slot whose
    // three bytes equal its factory assignment. The map has max(slotCount, 10) entries.
    static std::vector<int> BuildKeyIndexMap(const uint8_t* table, size_t slotCount);

    // Buttons given another function on the device are not found by their factory assignment.
    // Each unmapped button of `keys` takes the first slot no button claims that holds the
    // button's current assignment; when then exactly one button and one slot of the ten remain,
    // they belong together.
    static void CompleteKeyIndexMap(const uint8_t* table, size_t slotCount, std::vector<int>& keyIndexMap,
                                    const std::vector<KeyEntry>& keys);

    // The key table to write: the first slotCount * 3 bytes of `table`, with every mapped slot
    // replaced by the current assignment of the key-list entry of that button. Entries without a
    // key-list entry, and slots outside the table, are left as read.
    static std::vector<uint8_t> BuildKeymap(const uint8_t* table, size_t slotCount, const std::vector<int>& keyIndexMap,
                                            const std::vector<KeyEntry>& keys);
};

} // namespace nq
