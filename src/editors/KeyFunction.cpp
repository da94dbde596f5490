#include "editors/KeyFunction.h"

namespace nq {

namespace {

KeyAssignment Make(uint8_t code, int p1, int p2)
{
    return KeyAssignment::Function(code, uint8_t(p1 & 0xFF), uint8_t(p2 & 0xFF));
}

int DelaySpeed(const KeyMotion& m) { return (m.delay & 0x0F) * 16 + (m.speed & 0x0F); }

} // namespace

KeyAssignment KeyFunction::Choice(uint8_t code, const KeyChoice& choice)
{
    return Make(code, choice.param1, choice.param2);
}

KeyAssignment KeyFunction::Swing(const KeyMotion& m)
{
    return Make(keycode::kSwing, DelaySpeed(m), (m.count & 0x7F) + (m.direction == 1 ? 0x80 : 0));
}

KeyAssignment KeyFunction::Wheel(const KeyMotion& m)
{
    const int p2 = m.direction == 1 ? ((128 - m.count) | 0x80) : (m.count & 0x7F);
    return Make(keycode::kWheel, DelaySpeed(m), p2);
}

KeyAssignment KeyFunction::Fire(int interval, int count) { return Make(keycode::kFire, interval, count); }

KeyAssignment KeyFunction::KeyboardKey(int modifierOption, uint8_t usage)
{
    return Make(keycode::kKeyboard, ModifierBit(modifierOption), usage);
}

KeyAssignment KeyFunction::Macro(int number, int mode, int repeat)
{
    if (mode == 4)
        return Make(keycode::kMacroRepeat, number, repeat);
    return Make(keycode::kMacro, number, mode < 0 ? 0 : mode);
}

KeyAssignment KeyFunction::RecoilSwitch(int table) { return Make(keycode::kRecoilSwitch, table, 0); }

KeyMotion KeyFunction::ParseSwing(const KeyAssignment& a)
{
    return {(a.param2 & 0x80) ? 1 : 0, a.param1 / 16, a.param1 & 0x0F, a.param2 & 0x7F};
}

KeyMotion KeyFunction::ParseWheel(const KeyAssignment& a)
{
    if (a.param2 & 0x80)
        return {1, a.param1 / 16, a.param1 & 0x0F, 128 - (a.param2 & 0x7F)};
    return {0, a.param1 / 16, a.param1 & 0x0F, a.param2};
}

int KeyFunction::FindChoice(std::span<const KeyChoice> choices, uint8_t param1, uint8_t param2)
{
    for (size_t i = 0; i < choices.size(); ++i) {
        if (choices[i].param1 == param1 && choices[i].param2 == param2)
            return int(i);
    }
    return -1;
}

uint8_t KeyFunction::ModifierBit(int option)
{
    return option >= 1 && option <= 4 ? uint8_t(1u << (option - 1)) : 0;
}

uint32_t KeyFunction::ParseEditNumber(const std::string& text)
{
    uint32_t value = 0;
    for (char ch : text) {
        if (ch < '0' || ch > '9')
            break;
        value = value * 10u + uint32_t(ch - '0');
    }
    return value;
}

} // namespace nq
