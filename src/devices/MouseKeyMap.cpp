#include "devices/MouseKeyMap.h"

#include <algorithm>

namespace nq {

const std::array<MouseKeyMap::FactoryButton, MouseKeyMap::kButtons>& MouseKeyMap::FactoryButtons()
{
    static const std::array<FactoryButton, kButtons> buttons = {{
        {0x10, 0x01, 0x00}, // left
        {0x10, 0x02, 0x00}, // right
        {0x10, 0x04, 0x00}, // middle
        {0x10, 0x10, 0x00}, // forward
        {0x10, 0x08, 0x00}, // back
        {0x13, 0x01, 0x00}, // DPI up
        {0x13, 0x02, 0x00}, // DPI down
        {0x13, 0x03, 0x00}, // DPI cycle
        {0xA0, 0x1B, 0x00}, // lighting
        {0x16, 0x90, 0x01}, // DPI shift
    }};
    return buttons;
}

std::vector<int> MouseKeyMap::BuildKeyIndexMap(const uint8_t* table, size_t slotCount)
{
    slotCount = std::min(slotCount, kTableBytes / kSlotBytes);
    std::vector<int> map(std::max<size_t>(slotCount, kButtons), kNoSlot);
    if (!table)
        return map;
    for (int button = 0; button < kButtons; ++button) {
        const FactoryButton& factory = FactoryButtons()[button];
        for (size_t slot = 0; slot < slotCount; ++slot) {
            const uint8_t* bytes = table + kSlotBytes * slot;
            if (bytes[0] == factory.code && bytes[1] == factory.param1 && bytes[2] == factory.param2) {
                map[button] = static_cast<int>(slot);
                break;
            }
        }
    }
    return map;
}

void MouseKeyMap::CompleteKeyIndexMap(const uint8_t* table, size_t slotCount, std::vector<int>& keyIndexMap,
                                      const std::vector<KeyEntry>& keys)
{
    slotCount = std::min(slotCount, kTableBytes / kSlotBytes);
    if (!table || slotCount == 0)
        return;
    std::vector<bool> claimed(slotCount, false);
    for (int slot : keyIndexMap) {
        if (slot >= 0 && static_cast<size_t>(slot) < slotCount)
            claimed[static_cast<size_t>(slot)] = true;
    }
    const size_t buttons = std::min<size_t>({static_cast<size_t>(kButtons), keyIndexMap.size(), keys.size()});
    for (size_t button = 0; button < buttons; ++button) {
        if (keyIndexMap[button] != kNoSlot)
            continue;
        const KeyAssignment& current = keys[button].current;
        for (size_t slot = 0; slot < slotCount; ++slot) {
            const uint8_t* bytes = table + kSlotBytes * slot;
            if (!claimed[slot] && bytes[0] == current.code && bytes[1] == current.param1 && bytes[2] == current.param2) {
                keyIndexMap[button] = static_cast<int>(slot);
                claimed[slot] = true;
                break;
            }
        }
    }
    std::vector<size_t> freeButtons, freeSlots;
    for (size_t button = 0; button < buttons; ++button) {
        if (keyIndexMap[button] == kNoSlot)
            freeButtons.push_back(button);
    }
    for (size_t slot = 0; slot < std::min<size_t>(slotCount, kButtons); ++slot) {
        if (!claimed[slot])
            freeSlots.push_back(slot);
    }
    if (freeButtons.size() == 1 && freeSlots.size() == 1 && slotCount <= kButtons)
        keyIndexMap[freeButtons[0]] = static_cast<int>(freeSlots[0]);
}

std::vector<uint8_t> MouseKeyMap::BuildKeymap(const uint8_t* table, size_t slotCount, const std::vector<int>& keyIndexMap,
                                              const std::vector<KeyEntry>& keys)
{
    slotCount = std::min(slotCount, kTableBytes / kSlotBytes);
    std::vector<uint8_t> out(slotCount * kSlotBytes, 0);
    if (table)
        std::copy(table, table + out.size(), out.begin());
    for (size_t entry = 0; entry < keyIndexMap.size(); ++entry) {
        const int slot = keyIndexMap[entry];
        if (slot == kNoSlot || slot < 0 || static_cast<size_t>(slot) >= slotCount || entry >= keys.size())
            continue;
        const KeyAssignment& current = keys[entry].current;
        out[kSlotBytes * slot + 0] = current.code;
        out[kSlotBytes * slot + 1] = current.param1;
        out[kSlotBytes * slot + 2] = current.param2;
    }
    return out;
}

} // namespace nq
