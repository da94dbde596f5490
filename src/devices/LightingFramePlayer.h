#pragma once
// Player of a custom light effect: a list of timed frames, each a small effect (breathing, static,
// flash, wave, spectrum) shown for its display time, then the next, round and round.
// The frame list is guarded by the frame lock: the UI thread replaces it (LoadLighting) while the
// lighting thread plays it.
#include <cstdint>
#include <mutex>
#include <vector>

#include "devices/LightingColourBuffer.h"
#include "profiles/EffectFrame.h"

namespace nq {

class LightingFramePlayer {
public:
    // Replaces the frames and starts again at the first one (frame lock).
    void SetFrames(std::vector<EffectFrame> frames);
    std::vector<EffectFrame> Frames() const;
    int FrameCount() const;
    int FrameIndex() const;

    // One pass of the player. mainSpeed is the speed level of the device's main lighting record
    // (it sets the flash period of flash frames); nowMs the engine clock.
    void Play(LightingColourBuffer& leds, uint8_t mainSpeed, uint32_t nowMs);

    // Passes until the LEDs can next change (at least 1), for a thread that sleeps between passes.
    int PassesUntilChange(uint8_t mainSpeed, uint32_t nowMs, uint32_t passMs) const;

    // Forgets the play state (phase, counters, clocks); the frames stay.
    void ResetState();

private:
    void Render(LightingColourBuffer& leds, const EffectFrame& frame, uint8_t mainSpeed,
                uint32_t nowMs);

    mutable std::mutex m_frameLock;
    std::vector<EffectFrame> m_frames;
    int m_frameIndex = 0;

    // Play state, touched only by the playing thread.
    bool m_started = false;
    uint32_t m_frameStart = 0;
    int m_phase = 0;
    int m_counter = 0;
    bool m_flashOn = false;
    uint32_t m_flashTime = 0;
    int m_colourIndex = 0;
    uint8_t m_currentEffect = 0xFF; // none played yet
    uint8_t m_currentSpeed = 0;
    int32_t m_currentTime = 0;
};

} // namespace nq
