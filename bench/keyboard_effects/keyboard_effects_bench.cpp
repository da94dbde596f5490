// Cost of the keyboard's preview engine, by hand:
//   keyboard_effects_bench [frames]
// For every key effect (speed level 4, multicolour) and every logo and side effect: the mean time
// of one pass of the thread (a 2 ms tick, with the effect step whenever the tick reaches the
// threshold) and of one 50 ms preview frame (the 25 passes a thread catches up when it wakes).
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "devices/KeyboardLightingEngine.h"

using namespace nq;
using Clock = std::chrono::steady_clock;
using Thread = KeyboardLightingEngine::Thread;

namespace {

constexpr int kFramePasses = 25;

double Micros(Clock::duration d, double n) { return std::chrono::duration<double, std::micro>(d).count() / n; }

} // namespace

int main(int argc, char** argv)
{
    const int frames = argc > 1 ? std::atoi(argv[1]) : 4000;
    LightingColourBuffer keys;
    keys.Resize(126);
    LightingEffectEngine base(keys, LightingFamily::Mouse);
    std::array<std::atomic<uint32_t>, 15> logo{};
    std::array<std::atomic<uint32_t>, 6> side{};
    KeyboardLightingEngine engine(base, logo.data(), side.data());

    auto measure = [&](Thread thread, const char* label, int effect) {
        uint32_t now = 1000000;
        const auto start = Clock::now();
        for (int f = 0; f < frames; ++f) {
            now += 50;
            engine.Advance(thread, kFramePasses, now);
        }
        const auto spent = Clock::now() - start;
        std::printf("%-5s effect %2d: %7.3f us a pass, %7.2f us a 50 ms frame\n", label, effect,
                    Micros(spent, double(frames) * kFramePasses), Micros(spent, frames));
    };

    for (int effect = 1; effect <= 27; ++effect) {
        LightSetting main;
        main[LightSetting::kEffect] = uint8_t(effect);
        main[LightSetting::kBrightness] = 4;
        main[LightSetting::kSpeed] = 4;
        main[LightSetting::kDirection] = 1;
        main[LightSetting::kMultiColour] = 1;
        KeyboardSettingsBlock::Live live{};
        live[1] = uint8_t(effect);
        live[3] = 4;
        engine.SetLighting(main, live);
        engine.ChangeKeyEffect(effect);
        measure(Thread::Keys, "keys", effect);
    }
    for (int effect = 0; effect <= 5; ++effect) {
        LightSetting main;
        for (int zone : {LightSetting::kLogo, LightSetting::kSt}) {
            main[zone + LightSetting::kEffect] = uint8_t(effect);
            main[zone + LightSetting::kBrightness] = 4;
            main[zone + LightSetting::kSpeed] = 4;
            main[zone + LightSetting::kMultiColour] = 1;
        }
        KeyboardSettingsBlock::Live live{};
        live[22] = live[31] = uint8_t(effect);
        live[24] = live[33] = 4;
        engine.SetLighting(main, live);
        engine.ResetEffectState();
        measure(Thread::Logo, "logo", effect);
        measure(Thread::Side, "side", effect);
    }
    return 0;
}
