#include "editors/KeyClickGuard.h"

#include "editors/KeyFunction.h"

namespace nq {

KeyAssignment KeyClickGuard::LeftClick() { return KeyAssignment::Function(keycode::kMouseButton, 0x01, 0); }

bool KeyClickGuard::Refuses(int deviceType, const std::vector<KeyEntry>& keys, int position)
{
    if (deviceType != 2 || position < 0 || size_t(position) >= keys.size())
        return false;
    const KeyAssignment left = LeftClick();
    if (!(keys[size_t(position)].current == left))
        return false;
    for (size_t i = 0; i < keys.size(); ++i) {
        if (int(i) != position && keys[i].current == left)
            return false;
    }
    return true;
}

} // namespace nq
