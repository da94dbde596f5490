#pragma once
// The key zone of the keyboard's preview engine: the 27 key effects over the 126 key colour words,
// their effect state (hues, phases, press states, the four diagonal sweep maps) and the reactive
// input from key notices.
//
// The key zone shares the device base's engine (LightingEffectEngine): its colour words are the
// key colours, its effect step and colour index are the key zone's, its reactive levels are the
// keys' levels, its steps run effects 4, 22, 23, 24 and 26 unchanged, its custom frame player runs
// effects 0, 19, 25 and above 27, and its per-LED records are the per-key light records.
//
// Not thread-safe: KeyboardLightingEngine serialises every call under its key lock.
#include <array>
#include <cstdint>
#include <random>

#include "devices/KeyboardEffectTables.h"
#include "devices/LightingEffectEngine.h"
#include "profiles/LightSetting.h"

namespace nq {

class KeyboardKeyEffects {
public:
    static constexpr int kPositions = 126;
    static constexpr int kMaps = 4; // sweep maps A, B, C, D
    enum Map { kA = 0, kB = 1, kC = 2, kD = 3 };
    // The effects whose step is the base engine's.
    static constexpr int kSpectrum = 4, kBreathFour = 22, kFlashFour = 23, kOff = 24, kFlash = 26;
    static constexpr int kCustom = 20;

    explicit KeyboardKeyEffects(LightingEffectEngine& base);

    // The key zone's settings: the main record (brightness, direction, multicolour, colour, LED
    // mode) and the effect number and speed level the keyboard holds.
    void SetSettings(const LightSetting& main, uint8_t effect, uint8_t speed);
    uint8_t Effect() const { return m_effect; }
    uint8_t Speed() const { return m_speed; }

    // Effect state after an effect change: steps, sweep counter, levels, press states and maps 0.
    void ResetEffectState();
    // The seeding hook of a new effect (after ResetEffectState): 13, 15, 16, 21 seed their own
    // state; 20's hook is the device's custom group load, followed by SeedHues; others SeedHues.
    void RunEffectHook(int effect);
    void SeedHues();

    // `passes` passes of the key thread (the last at nowMs, each kPassMs after the one before):
    // the step counter and, on reaching the threshold, the effect step (or the frame player on
    // every pass), then the per-key records. Returns the passes until a colour can next change.
    int Advance(int passes, uint32_t nowMs);
    // One step of the current effect.
    void RunStep(uint32_t nowMs);

    // ---- reactive input ----
    // A key notice for device key slot `slot`: the first position with that slot gets
    // ReactiveTrigger(p, 1) and then (p, 2).
    void KeyEvent(int slot, int kind);
    void ReactiveTrigger(int position, int kind);
    void PressKey(int position, int kind);
    void SeedSweepAtKey(int position, int kind);
    void SetPositionToSlot(const std::array<uint8_t, kPositions>& map) { m_positionToSlot = map; }

    // ---- sweep maps ----
    void LightSweepKeys();
    void MoveSweepMaps();
    void ShiftSweepMaps();

    // ---- state (tests) ----
    struct State {
        std::array<uint8_t, kPositions> keyHues{};
        std::array<uint8_t, kPositions> keyPhases{};
        std::array<uint8_t, kPositions> pressState{};
        std::array<std::array<uint8_t, kbfx::kColumns>, kMaps> sweepMaps{};
        uint8_t sweepCounter = 0;
        int passCounter = 0;
    };
    State& GetState() { return m_state; }
    uint8_t& Level(int position) { return m_base.Reactive().levels[size_t(position)]; }
    uint8_t EffectStep() const { return m_base.GetState().effectStep; }
    void SetEffectStep(uint8_t step);
    // The random source of raindrops, twinkle, per-key breathing and the sweeps' hues: a
    // per-engine minimal-standard generator, seeded from the clock at construction.
    void SeedRandom(uint32_t seed) { m_random.seed(seed); }

private:
    using Column = std::array<uint8_t, 6>;
    int Random(int below);
    uint8_t LevelB() const;
    Rgb RecordColour() const { return {m_main.Red(), m_main.Green(), m_main.Blue()}; }
    bool Multi() const { return m_main.MultiColour() != 0; }
    void Set(int position, Rgb colour, uint8_t level);
    void SetColumn(const Column& column, Rgb colour, uint8_t level);
    // The colour of a reactive key: its hue (multicolour) or the record colour, scaled by its level.
    void ShowReactive(int position);
    void DecayAndShow(int position);
    uint8_t MapOr(int column) const;
    void SetMapBit(int column, int bit);

    void StepColumnWave(uint8_t& step);     // 1
    void StepSlowColumnWave(uint8_t& step); // 2
    void StepKeyOrderWave(uint8_t& step);   // 3
    void StepColumnBreathing(uint8_t& step); // 5
    void StepStatic();                      // 6
    void StepReactiveFade();                // 7
    void StepReactiveSweep(bool shift);     // 8, 9
    void StepRaindrops();                   // 10
    void StepHueCycle();                    // 11
    void StepRowWave(uint8_t& step);        // 12
    void StepSelfSeeding(bool column9);     // 13, 16
    void StepSequence(uint8_t& step);       // 14
    void StepTwinkle();                     // 15
    void StepModeColour(uint8_t& step);     // 17
    void StepRings(uint8_t& step);          // 18
    void StepCustomColours();               // 20
    void StepPerKeyBreathing();             // 21
    void StepRadar(uint8_t& step);          // 27

    LightingEffectEngine& m_base;
    LightingColourBuffer& m_keys;
    LightSetting m_main;
    uint8_t m_effect = 0;
    uint8_t m_speed = 0;
    State m_state;
    std::array<uint8_t, kPositions> m_positionToSlot;
    std::minstd_rand m_random;
};

} // namespace nq
