#pragma once
// The logo (15 LEDs) and side (6 LEDs) zones of the keyboard's preview engine: six steps each
// (wave, breathing, bounce, flash, static, off) over the zone's colour words. Both zones share one
// flash toggle (on flag and time of the last toggle).
//
// Not thread-safe: KeyboardLightingEngine serialises both zones under its zone lock.
#include <array>
#include <atomic>
#include <cstdint>

#include "devices/KeyboardEffectTables.h"
#include "devices/LightingColourBuffer.h"
#include "profiles/LightSetting.h"

namespace nq {

class KeyboardZoneEffects {
public:
    enum class Zone { Logo, Side };
    static constexpr int kLogoLeds = 15;
    static constexpr int kSideLeds = 6;
    static constexpr int kEffects = 6; // 0 wave, 1 breathing, 2 bounce, 3 flash, 4 static, 5 off

    struct Flash {
        bool on = false;
        uint32_t time = 0;
    };

    KeyboardZoneEffects(Zone zone, std::atomic<uint32_t>* words, Flash& flash);

    // The main record (the zone's bytes: brightness, timing speed, direction, multicolour, colour)
    // and the zone's effect number and speed level from the live block.
    void SetSettings(const LightSetting& main, uint8_t effect, uint8_t speed);
    uint8_t Effect() const { return m_effect; }

    // Step 0, bounce flag set, levels 0.
    void Reset();
    // `passes` passes of the zone's thread; returns the passes until a colour can next change.
    int Advance(int passes, uint32_t nowMs);
    void RunStep(uint32_t nowMs);

    int Count() const { return m_count; }
    uint8_t Step() const { return m_step; }
    bool BounceFlag() const { return m_bounce; }
    uint8_t LedLevel(int i) const { return m_levels[size_t(i)]; }
    uint32_t Word(int i) const { return m_words[i].load(std::memory_order_relaxed); }

private:
    int Base() const { return m_zone == Zone::Logo ? LightSetting::kLogo : LightSetting::kSt; }
    uint8_t LevelB() const { return BrightnessLevel(m_main.Brightness(Base())); }
    Rgb ZoneRecordColour() const { return {m_main.Red(Base()), m_main.Green(Base()), m_main.Blue(Base())}; }
    bool Multi() const { return m_main.MultiColour(Base()) != 0; }
    Rgb FixedColour(int i) const { return kbfx::ZoneColour(8 * i + 5); }
    void Set(int i, Rgb colour, uint8_t level) { m_words[i].store(MakeLedWord(colour, level), std::memory_order_relaxed); }

    void StepWave();
    void StepBreathing();
    void StepBounce();
    void StepFlash(uint32_t nowMs);
    void StepStatic();
    void StepOff();

    Zone m_zone;
    std::atomic<uint32_t>* m_words;
    int m_count;
    Flash& m_flash;
    LightSetting m_main;
    uint8_t m_effect = 0;
    uint8_t m_speed = 0;
    uint8_t m_step = 0;
    bool m_bounce = false;
    int m_passCounter = 0;
    std::array<uint8_t, kLogoLeds> m_levels{};
};

} // namespace nq
