#include "devices/EffectTables.h"

#include <chrono>

namespace nq {

uint8_t NextCounter(int direction, int limit, int value, int step)
{
    if (direction != 0) {
        int next = value + step;
        return uint8_t(next >= limit ? 0 : next);
    }
    return uint8_t(value < step ? limit - step : value - step);
}

uint8_t BrightnessLevel(int level)
{
    if (level < 0)
        return BRIGHTNESS_TABLE[0];
    return BRIGHTNESS_TABLE[level > 4 ? 4 : level];
}

int SpeedTicks(int speed) { return speed >= 0 && speed <= 4 ? SPEED_TICKS[speed] : 0; }

uint32_t FlashPeriodMs(int speed) { return uint32_t(SpeedTicks(speed)) * 200u; }

Rgb WheelColour(int index)
{
    if (index < 0 || index > kWheelSize)
        index = ((index % kWheelSize) + kWheelSize) % kWheelSize;
    return COLOUR_WHEEL[index];
}

uint8_t BreathValue(int index) { return BREATH_CURVE[((index % 128) + 128) % 128]; }

uint8_t WaveValue(int index) { return WAVE_CURVE[((index % 96) + 96) % 96]; }

Rgb FourColour(int index) { return FOUR_COLOURS[((index % 4) + 4) % 4]; }

uint32_t LightingClockMs()
{
    using namespace std::chrono;
    return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

} // namespace nq
