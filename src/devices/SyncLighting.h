#pragma once
// Synchronised lighting: while devices take part in it (their channel's lightingSynced flag), one
// process-wide lighting record animates them all alike. The main window runs Run() on its thread
// entry 8; the devices' own 50 ms frames send the colour words it writes.
#include "common/StopEvent.h"
#include "profiles/LightSetting.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

namespace nq {

class CKelvaskUSBDevice;

class SyncLighting {
public:
    // One tick of the step counter lasts this long; a step runs every SPEED_TICKS[speed] ticks.
    static constexpr uint32_t kTickMs = 2;
    // With no device taking part the thread looks again after this long.
    static constexpr uint32_t kIdleMs = 1000;

    using DeviceList = std::function<std::vector<CKelvaskUSBDevice*>()>;

    // The shared record (effect, brightness, speed, direction, multicolour, red, green, blue),
    // written by the lighting editor.
    static void SetSharedSetting(const LightSetting& setting);
    static LightSetting SharedSetting();

    // One effect step for `setting` at clock nowMs: the colour word red | green << 8 |
    // blue << 16 | level << 24, or nothing for effect numbers above 4.
    std::optional<uint32_t> Step(const LightSetting& setting, uint32_t nowMs);

    // Writes the word to every LED of every device whose lightingSynced flag is set.
    static void Apply(const std::vector<CKelvaskUSBDevice*>& devices, uint32_t word);
    // True when some device has an open channel and its lightingSynced flag set.
    static bool AnyActive(const std::vector<CKelvaskUSBDevice*>& devices);

    // The thread body: steps at the pace of the shared record's speed until the stop event.
    int Run(StopEvent& stop, const DeviceList& devices);

    uint8_t Phase() const { return m_phase; }

private:
    uint8_t m_phase = 0;
    uint8_t m_breathIndex = 0;
    uint8_t m_flashIndex = 0;
    uint8_t m_spectrumIndex = 0;
    bool m_flashOn = false;
    uint32_t m_flashTime = 0;
};

} // namespace nq
