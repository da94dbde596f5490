#include "devices/KeyboardEffectTables.h"

namespace nq::kbfx {

TickRow RowOfKeyEffect(int effect)
{
    return effect >= 0 && effect < int(KEY_EFFECT_ROWS.size()) ? KEY_EFFECT_ROWS[size_t(effect)] : TickRow::Frames;
}

int TickThreshold(TickRow row, int speed)
{
    if (speed < 0 || speed > 4)
        return 0;
    return KEY_TICK_ROWS[size_t(row)][size_t(speed)];
}

uint32_t ZoneFlashPeriodMs(int speed)
{
    return speed >= 0 && speed <= 4 ? uint32_t(ZONE_FLASH_TENTHS[size_t(speed)]) * 100u : 0u;
}

uint8_t LogoWaveValue(int index)
{
    index = ((index % 128) + 128) % 128;
    return index < int(WAVE_CURVE.size()) ? WAVE_CURVE[size_t(index)] : WAVE_CURVE.back();
}

} // namespace nq::kbfx
