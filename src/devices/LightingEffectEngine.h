#pragma once
// The software lighting effect engine of the mouse, the mousepad and the headset.
//
// How a device uses it (the device owns these three members):
//
//   LightingColourBuffer ledColours;                        // the LED colour words
//   LightingEffectEngine engine{ledColours, LightingFamily::Mouse};   // Pad / Headset likewise
//   LightingThread lightingThread{"MS灯光线程设定退出"};      // the text written when it ends
//
// - LED count: ledColours.Resize(n) (clears the words). SetLedColour / GetLedColour are
//   ledColours.Set / Get; OutputLightFrame reads ledColours.Get(i) and splits the word with
//   LedRed / LedGreen / LedBlue / LedLevel. The engine paints exactly ledColours.Size() LEDs.
// - LoadLighting: engine.LoadMainSetting(main record) (mouse: clears the reactive buffers when the
//   effect number changed); engine.SetKeyLightRecords(light list) under the engine's own
//   key-light lock (the mouse then calls engine.EvaluateRecordsOnce()); engine.SetEffectFrames(
//   frames) under the engine's own frame lock. The engine keeps the records and frames; the
//   device needs no copies of its own (Records() / Player().Frames() read them back).
// - SetLightSetting: engine.SetMainSetting(record). A device notice that reads new on-board
//   values: engine.SetMainSetting(record) and engine.SetEffect(effect, speed).
// - The virtual effect steps (StepBreathing ... StepOff, StepWave, StepColumnSweep, StepPairSweep,
//   StepRingSweep) and the reactive buffer operations (DecayKeyLevel, TriggerRingColumns,
//   RotateRing, ClearReactiveBuffers) forward to the engine's operations of the same name.
// - StartLightingThread:
//     lightingThread.Start([this](int passes) {
//         if (!commandChannel.isOpen) return LightingThread::kClosedPasses;    // 100 ms
//         if (commandChannel.lightingSynced) return LightingThread::kIdlePasses;
//         return std::max(engine.Advance(passes, LightingClockMs()), LightingThread::kFramePasses);
//     });
//   StopLightingThread: lightingThread.Stop() (waits at most 1000 ms) returns the outcome for the
//   worker-exit diagnostics.
//
// Threads: Advance and the steps run on the lighting thread; the setters run on the UI thread.
// The main record is copied under a small lock at the start of each step; Advance, RunStep and
// LoadMainSetting's reset of the reactive buffers share a step lock; records and frames sit
// behind the key-light lock and the frame lock; the colour words are atomic.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "devices/EffectTables.h"
#include "devices/LightingColourBuffer.h"
#include "devices/LightingFramePlayer.h"
#include "devices/LightingReactiveBuffers.h"
#include "devices/LightingRecordEffects.h"
#include "profiles/EffectFrame.h"
#include "profiles/LightSetting.h"

namespace nq {

// Which step table and which thread pass a device runs.
enum class LightingFamily : uint8_t {
    Mouse,   // effects 0-8 on the step counter, 9 and above play custom frames
    Pad,     // 5 and 9+ play frames, 6 ring sweep, 7 pair sweep; per-LED records every pass
    Headset, // as the pad, with the headset's wave
};

class LightingEffectEngine {
public:
    // Length of one pass of the lighting thread in milliseconds. The step pace counts passes.
    static constexpr uint32_t kPassMs = 2;
    // Advance() catches up at most this many missed passes (one second).
    static constexpr int kMaxCatchUpPasses = 500;
    // Longest sleep Advance() asks for, and how often record or frame effects that change on every
    // pass are brought up to date.
    static constexpr int kMaxWaitPasses = 250;
    static constexpr int kBatchPasses = 5;

    LightingEffectEngine(LightingColourBuffer& leds, LightingFamily family);
    LightingEffectEngine(const LightingEffectEngine&) = delete;
    LightingEffectEngine& operator=(const LightingEffectEngine&) = delete;

    void SetFamily(LightingFamily family) { m_family = family; }
    LightingFamily Family() const { return m_family; }
    LightingColourBuffer& Leds() { return m_leds; }

    // --- settings (UI thread) ---
    // The main lighting record; the steps read its brightness, speed, direction, multicolour flag
    // and colour. Does not change the engine's copy of effect and speed.
    void SetMainSetting(const LightSetting& setting);
    LightSetting MainSetting() const;
    // The engine's copy of effect number and speed level: which step runs, and how often.
    void SetEffect(uint8_t effect, uint8_t speed);
    uint8_t Effect() const { return m_effect.load(std::memory_order_relaxed); }
    uint8_t Speed() const { return m_speed.load(std::memory_order_relaxed); }
    // The main record as a profile load gives it: SetMainSetting, and the engine's copy of effect
    // and speed from the record. On the mouse a new effect number also resets the reactive
    // buffers (one marked ring entry).
    void LoadMainSetting(const LightSetting& setting);

    // Per-LED records (key-light lock inside); resets their effect state.
    void SetKeyLightRecords(std::vector<LightSetting> records);
    std::vector<LightSetting> KeyLightRecords() const { return m_records.Records(); }
    // The mouse's single evaluation after loading: breathing, flash and colour cycle, once.
    void EvaluateRecordsOnce(uint32_t nowMs = LightingClockMs());
    // Custom effect frames (frame lock inside); playing restarts at the first frame.
    void SetEffectFrames(std::vector<EffectFrame> frames) { m_player.SetFrames(std::move(frames)); }
    LightingFramePlayer& Player() { return m_player; }
    LightingRecordEffects& Records() { return m_records; }

    // --- the lighting thread ---
    // Runs `passes` passes of the device's lighting thread (at least 1, at most
    // kMaxCatchUpPasses; the last one at nowMs, the others kPassMs apart before it) and returns
    // the number of passes after which it must be called again (1 .. kMaxWaitPasses).
    int Advance(int passes, uint32_t nowMs);
    // The step of the current effect number by the family's table (frames for the player's
    // effects), once.
    void RunStep(uint32_t nowMs);

    // --- effect steps ---
    void StepStatic();                                            // 3
    void StepSpectrum();                                          // 1
    void StepBreathing();                                         // 2
    void StepBreathingFourColours();                              // 6, mouse
    void StepFlash(uint32_t nowMs = LightingClockMs());           // 4
    void StepFlashFourColours(uint32_t nowMs = LightingClockMs()); // 7, mouse
    void StepOff();                                               // 8
    void StepWave();                                              // 0 (headset variant by family)
    void StepColumnSweep();                                       // 5, mouse
    void StepRingSweep();                                         // 6, pad and headset
    void StepPairSweep();                                         // 7, pad and headset
    void PlayEffectFrames(uint32_t nowMs = LightingClockMs());

    // --- reactive buffers ---
    void DecayKeyLevel(int index, bool fast) { m_reactive.DecayKeyLevel(index, fast); }
    void TriggerRingColumns();
    void RotateRing(int direction) { m_reactive.RotateRing(direction); }
    void RotateRingPrefix(int length, int direction) { m_reactive.RotateRingPrefix(length, direction); }
    void ClearReactiveBuffers() { m_reactive.Clear(); }
    LightingReactiveBuffers& Reactive() { return m_reactive; }

    // --- effect state (lighting thread; exposed for the device and for tests) ---
    struct State {
        uint8_t effectStep = 0;
        uint8_t colourIndex = 0;
        uint8_t flashOn = 0;
        uint32_t flashTime = 0;
        uint8_t sweepCounter = 0;
        int passCounter = 0;
    };
    const State& GetState() const { return m_state; }
    void SetState(const State& state) { m_state = state; }

private:
    void RunStepLocked(uint32_t nowMs);
    void PaintAll(LedWord word);
    void StepSweep(bool pairs);
    bool PlaysFrames(uint8_t effect) const;

    LightingColourBuffer& m_leds;
    LightingFamily m_family;

    std::mutex m_stepLock; // effect state and reactive buffers between Advance and the UI thread

    mutable std::mutex m_settingLock; // the main record
    LightSetting m_main;
    std::atomic<uint8_t> m_effect{0};
    std::atomic<uint8_t> m_speed{0};

    State m_state;
    LightingReactiveBuffers m_reactive;
    LightingRecordEffects m_records;
    LightingFramePlayer m_player;
};

} // namespace nq
