// Cost of the software lighting effects for a mouse, by hand:
//   effects_bench [iterations]
// Prints, per effect, the mean time of one effect step, the time of one 50 ms frame (the engine
// passes of 50 ms plus packing the streamed frame bytes from the colour words) and how often the
// lighting thread wakes per second for that effect.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "devices/LightingEffectEngine.h"
#include "devices/LightingThread.h"

using namespace nq;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kMouseLeds = 19;

LightSetting Setting(uint8_t effect, uint8_t multi)
{
    LightSetting s;
    s[LightSetting::kEffect] = effect;
    s[LightSetting::kBrightness] = 4;
    s[LightSetting::kSpeed] = 2;
    s[LightSetting::kDirection] = 1;
    s[LightSetting::kMultiColour] = multi;
    s[LightSetting::kRed] = 200;
    s[LightSetting::kGreen] = 40;
    s[LightSetting::kBlue] = 90;
    return s;
}

// The streamed frame: three bytes per LED, each colour scaled by the level.
void PackFrame(const LightingColourBuffer& leds, std::vector<uint8_t>& frame)
{
    const int count = leds.Size();
    frame.resize(size_t(count) * 3);
    for (int i = 0; i < count; ++i) {
        const LedWord w = leds.Get(i);
        frame[size_t(3 * i)] = uint8_t((LedRed(w) * LedLevel(w)) >> 8);
        frame[size_t(3 * i + 1)] = uint8_t((LedGreen(w) * LedLevel(w)) >> 8);
        frame[size_t(3 * i + 2)] = uint8_t((LedBlue(w) * LedLevel(w)) >> 8);
    }
}

double Micros(Clock::duration d, int n)
{
    return std::chrono::duration<double, std::micro>(d).count() / n;
}

} // namespace

int main(int argc, char** argv)
{
    const int iterations = argc > 1 ? std::atoi(argv[1]) : 100000;
    std::vector<EffectFrame> frames(3);
    for (size_t i = 0; i < frames.size(); ++i) {
        frames[i].setting = Setting(uint8_t(i == 2 ? 4 : i), 1);
        frames[i].time = 300;
    }

    std::printf("effect  multi  step us   frame us  thread wakeups/s\n");
    for (int effect = 0; effect <= 9; ++effect) {
        for (uint8_t multi : {0, 1}) {
            LightingColourBuffer leds;
            leds.Resize(kMouseLeds);
            LightingEffectEngine engine(leds, LightingFamily::Mouse);
            engine.SetEffectFrames(frames);
            engine.LoadMainSetting(Setting(uint8_t(effect), multi));

            uint32_t now = 1000;
            auto start = Clock::now();
            for (int i = 0; i < iterations; ++i)
                engine.RunStep(now += 2);
            const double step = Micros(Clock::now() - start, iterations);

            std::vector<uint8_t> frame;
            const int frameIterations = iterations / 10 + 1;
            start = Clock::now();
            for (int i = 0; i < frameIterations; ++i) {
                engine.Advance(25, now += 50);
                PackFrame(leds, frame);
            }
            const double frameCost = Micros(Clock::now() - start, frameIterations);

            LightingThread thread("effects_bench");
            thread.Start([&engine](int passes) { return engine.Advance(passes, LightingClockMs()); });
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            const uint64_t wakeups = thread.Wakeups();
            thread.Stop();

            std::printf("%6d  %5d  %8.3f  %9.3f  %16.0f\n", effect, multi, step, frameCost,
                        double(wakeups) * 2.0);
        }
    }
    return 0;
}
