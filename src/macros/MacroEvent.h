#pragma once
// One event of a macro file: {"Type", "Button", "Action", "Delay"}.
//
//   Type 10 keyboard key   Button = the key's usage (rows 8-112 of the key code table)
//   Type 9  modifier key   Button = the modifier bit (rows 0-7)
//   Type 1  mouse button   Button = 0x01 left, 0x02 right, 0x04 middle, 0x10 forward, 0x08 back
//   Type 4  horizontal move, Button = counts 0-255, "down" = to the left, "up" = to the right
//   Type 5  vertical move,   Button = counts 0-255, "down" = upwards,     "up" = downwards
//
// "Action" is "down" or "up" (anything else counts as "up"); "Delay" is the time to wait after
// the event in milliseconds, 0-65535, stored as decimal text (recording writes the integer 0 for
// a first event).
#include <json/value.h>

#include <cstdint>
#include <string>

namespace nq {

struct MacroEvent {
    static constexpr int kKeyType = 10;
    static constexpr int kModifierType = 9;
    static constexpr int kMouseButtonType = 1;
    static constexpr int kHorizontalMoveType = 4;
    static constexpr int kVerticalMoveType = 5;
    static constexpr uint32_t kMaxDelay = 65535;

    int type = 0;
    int button = 0;
    bool down = false;
    uint32_t delay = 0; // 0-65535

    bool operator==(const MacroEvent&) const = default;

    // The listed members of an event object; missing or wrong-typed members read as 0 / "up".
    static MacroEvent FromJson(const Json::Value& object);
    // The event object as a save writes it ("Delay" as decimal text).
    Json::Value ToJson() const;

    // A delay as a file or an edit holds it: the leading decimal digits of a text (an empty or
    // non-numeric text reads 0) or an integer; values above 65535 read as 65535, negative ones 0.
    static uint32_t DelayFromText(const std::string& text);
    static uint32_t DelayFromJson(const Json::Value& value);

    bool IsMove() const { return type == kHorizontalMoveType || type == kVerticalMoveType; }
    bool IsKey() const { return type == kKeyType || type == kModifierType; }
    // The display name's language key (key code table for keys, mouse event table for mouse
    // events); empty when no row matches or the type has no name.
    std::string NameKey() const;
};

} // namespace nq
