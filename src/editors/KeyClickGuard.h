#pragma once
// A mouse must keep one key that clicks left: selecting the only such key for reassignment is
// refused with a message.
#include <vector>

#include "editors/KeyAssignment.h"

namespace nq {

class KeyClickGuard {
public:
    static constexpr const char* kMessageKey = "message_text_6";

    // The left mouse button assignment (code 0x10, parameter 1 = 1, parameter 2 = 0).
    static KeyAssignment LeftClick();
    // True when selecting key `position` must be refused: the device is a mouse (type 2), the key
    // clicks left and no other key of the list does. Keyboards are never guarded.
    static bool Refuses(int deviceType, const std::vector<KeyEntry>& keys, int position);
};

} // namespace nq
