#include "devices/SyncLighting.h"

#include "common/DebugLog.h"
#include "devices/CKelvaskUSBDevice.h"
#include "devices/EffectTables.h"

#include <algorithm>

namespace nq {

namespace {
std::mutex g_settingLock;
LightSetting g_setting;
} // namespace

void SyncLighting::SetSharedSetting(const LightSetting& setting)
{
    std::lock_guard<std::mutex> guard(g_settingLock);
    g_setting = setting;
}

LightSetting SyncLighting::SharedSetting()
{
    std::lock_guard<std::mutex> guard(g_settingLock);
    return g_setting;
}

std::optional<uint32_t> SyncLighting::Step(const LightSetting& s, uint32_t nowMs)
{
    const uint8_t level = BrightnessLevel(s.Brightness());
    const Rgb own{s.Red(), s.Green(), s.Blue()};
    switch (s.Effect()) {
    case 0: { // breathing
        m_phase = NextCounter(s.Direction(), 128, m_phase);
        Rgb colour = own;
        if (s.MultiColour()) {
            if (m_phase < 2)
                m_breathIndex = NextCounter(1, 192, m_breathIndex, 16);
            colour = WheelColour(m_breathIndex);
        }
        return MakeLedWord(colour, ScaleLevel(level, BreathValue(m_phase)));
    }
    case 1: // static
        return MakeLedWord(own, level);
    case 2: // flash
        if (nowMs - m_flashTime >= FlashPeriodMs(s.Speed())) {
            m_flashOn = !m_flashOn;
            m_flashTime = nowMs;
            m_flashIndex = static_cast<uint8_t>(m_flashIndex + 14 >= 192 ? 0 : m_flashIndex + 14);
        }
        if (!m_flashOn)
            return MakeLedWord(0, 0, 0, 0);
        return MakeLedWord(s.MultiColour() ? WheelColour(m_flashIndex) : own, level);
    case 3: // spectrum
        m_spectrumIndex = NextCounter(1, 192, m_spectrumIndex);
        return MakeLedWord(WheelColour(m_spectrumIndex), level);
    case 4: // off
        return MakeLedWord(0, 0, 0, 0);
    default:
        return std::nullopt;
    }
}

void SyncLighting::Apply(const std::vector<CKelvaskUSBDevice*>& devices, uint32_t word)
{
    for (CKelvaskUSBDevice* device : devices) {
        if (!device || !device->Channel().LightingSynced())
            continue;
        for (int i = 0; i < device->LedCount(); ++i)
            device->SetLedColour(i, word);
    }
}

bool SyncLighting::AnyActive(const std::vector<CKelvaskUSBDevice*>& devices)
{
    return std::any_of(devices.begin(), devices.end(), [](CKelvaskUSBDevice* d) {
        return d && d->Channel().IsOpen() && d->Channel().LightingSynced();
    });
}

int SyncLighting::Run(StopEvent& stop, const DeviceList& devices)
{
    // A step runs every SPEED_TICKS[speed] ticks of 2 ms. Instead of waking every tick the thread
    // waits for the next step on its stop event; the steps keep the same pace.
    for (;;) {
        if (!AnyActive(devices())) {
            if (stop.Wait(kIdleMs))
                break;
            continue;
        }
        const LightSetting setting = SharedSetting();
        const int ticks = std::max(1, SpeedTicks(setting.Speed()));
        if (stop.Wait(static_cast<uint32_t>(ticks) * kTickMs))
            break;
        if (auto word = Step(setting, LightingClockMs()))
            Apply(devices(), *word);
    }
    DebugOut("同步灯光线程设定退出");
    return 0;
}

} // namespace nq
