#include "devices/LightingFramePlayer.h"

#include <algorithm>

#include "devices/EffectTables.h"

namespace nq {

namespace {

constexpr uint8_t kNoFrame = 0xFF;

enum FrameEffect : uint8_t { kBreathing = 0, kStatic = 1, kFlash = 2, kWave = 4, kSpectrum = 5 };

int SpectrumTicks(int speed)
{
    return speed >= 0 && speed <= 4 ? FRAME_SPECTRUM_TICKS[size_t(speed)] : 0;
}

Rgb FrameColour(const LightSetting& s) { return {s.Red(), s.Green(), s.Blue()}; }

} // namespace

void LightingFramePlayer::SetFrames(std::vector<EffectFrame> frames)
{
    std::lock_guard<std::mutex> guard(m_frameLock);
    m_frames = std::move(frames);
    m_frameIndex = 0;
}

std::vector<EffectFrame> LightingFramePlayer::Frames() const
{
    std::lock_guard<std::mutex> guard(m_frameLock);
    return m_frames;
}

int LightingFramePlayer::FrameCount() const
{
    std::lock_guard<std::mutex> guard(m_frameLock);
    return int(m_frames.size());
}

int LightingFramePlayer::FrameIndex() const
{
    std::lock_guard<std::mutex> guard(m_frameLock);
    return m_frameIndex;
}

void LightingFramePlayer::ResetState()
{
    m_started = false;
    m_frameStart = 0;
    m_phase = 0;
    m_counter = 0;
    m_flashOn = false;
    m_flashTime = 0;
    m_colourIndex = 0;
    m_currentEffect = kNoFrame;
}

void LightingFramePlayer::Play(LightingColourBuffer& leds, uint8_t mainSpeed, uint32_t nowMs)
{
    if (!m_started) {
        m_started = true;
        m_frameStart = nowMs;
    }
    EffectFrame frame;
    {
        std::lock_guard<std::mutex> guard(m_frameLock);
        if (m_frameIndex >= int(m_frames.size()))
            m_frameIndex = 0;
        if (m_frames.empty()) {
            m_currentEffect = kNoFrame;
            leds.Fill(0);
            return;
        }
        frame = m_frames[size_t(m_frameIndex)];
    }
    m_currentEffect = frame.setting.Effect();
    m_currentSpeed = frame.setting.Speed();
    m_currentTime = frame.time;

    ++m_counter;
    Render(leds, frame, mainSpeed, nowMs);

    if (int64_t(uint32_t(nowMs - m_frameStart)) >= int64_t(frame.time)) {
        {
            std::lock_guard<std::mutex> guard(m_frameLock);
            ++m_frameIndex;
            if (m_frameIndex >= int(m_frames.size()))
                m_frameIndex = 0;
        }
        m_frameStart = nowMs;
    }
}

void LightingFramePlayer::Render(LightingColourBuffer& leds, const EffectFrame& frame,
                                 uint8_t mainSpeed, uint32_t nowMs)
{
    const LightSetting& s = frame.setting;
    const uint8_t level = BrightnessLevel(s.Brightness());
    const int ticks = SpeedTicks(s.Speed());
    const int count = leds.Size();

    switch (s.Effect()) {
    case kBreathing:
        if (m_counter >= ticks) {
            m_phase = (m_phase + 1) % 128;
            m_counter = 0;
            const Rgb colour = s.MultiColour() ? COLOUR_WHEEL[0] : FrameColour(s);
            leds.Fill(MakeLedWord(colour, ScaleLevel(BREATH_CURVE[size_t(m_phase)], level)));
        }
        break;
    case kStatic:
        if (m_counter >= ticks) {
            m_phase = (m_phase + 1) % 9;
            m_counter = 0;
            leds.Fill(MakeLedWord(FrameColour(s), level));
        }
        break;
    case kFlash:
        m_phase = (m_phase + 1) % 128;
        if (m_counter >= ticks)
            m_counter = 0;
        if (uint32_t(nowMs - m_flashTime) >= FlashPeriodMs(mainSpeed)) {
            m_flashOn = !m_flashOn;
            m_flashTime = nowMs;
            const int next = m_phase + 14;
            m_colourIndex = next >= kWheelSize ? 0 : next;
        }
        if (m_flashOn) {
            const Rgb colour = s.MultiColour() ? WheelColour(m_colourIndex) : FrameColour(s);
            leds.Fill(MakeLedWord(colour, level));
        } else {
            leds.Fill(0);
        }
        break;
    case kWave:
        if (m_counter >= ticks) {
            m_phase = (m_phase + 1) % kWheelSize;
            m_counter = 0;
            int start;
            if (s.Direction() == 0)
                start = m_phase + 1 >= kWheelSize ? 0 : m_phase + 1;
            else
                start = kWheelSize - m_phase >= kWheelSize ? kWheelSize - 1 : kWheelSize - m_phase;
            if (s.MultiColour()) {
                for (int i = 0; i < count; ++i) {
                    leds.Set(i, MakeLedWord(COLOUR_WHEEL[size_t(start)], level));
                    start = (start + 12) % kWheelSize;
                }
            } else {
                int index = start % 96;
                for (int i = 0; i < count; ++i) {
                    leds.Set(i, MakeLedWord(FrameColour(s), ScaleLevel(level, WAVE_CURVE[size_t(index)])));
                    index = (index + 12) % 96;
                }
            }
        }
        break;
    case kSpectrum:
        if (m_counter >= SpectrumTicks(s.Speed())) {
            m_phase = (m_phase + 1) % kWheelSize;
            m_counter = 0;
            leds.Fill(MakeLedWord(COLOUR_WHEEL[size_t(m_phase)], level));
        }
        break;
    default:
        break; // the LEDs keep their colours
    }
}

int LightingFramePlayer::PassesUntilChange(uint8_t mainSpeed, uint32_t nowMs, uint32_t passMs) const
{
    if (m_currentEffect == kNoFrame || !m_started)
        return -1;
    auto passesFor = [passMs](int64_t remainingMs) {
        return remainingMs <= 0 ? 1 : int((remainingMs + passMs - 1) / passMs);
    };
    int best = passesFor(int64_t(m_currentTime) - int64_t(uint32_t(nowMs - m_frameStart)));
    const int ticks = SpeedTicks(m_currentSpeed);
    switch (m_currentEffect) {
    case kBreathing:
    case kStatic:
    case kWave:
        best = std::min(best, std::max(1, ticks - m_counter));
        break;
    case kSpectrum:
        best = std::min(best, std::max(1, SpectrumTicks(m_currentSpeed) - m_counter));
        break;
    case kFlash:
        best = std::min(best, passesFor(int64_t(FlashPeriodMs(mainSpeed)) -
                                        int64_t(uint32_t(nowMs - m_flashTime))));
        break;
    default:
        break;
    }
    return std::max(best, 1);
}

} // namespace nq
