// The synchronised-lighting step and where its words go.
#include "DebugCapture.h"
#include "common/WorkerThread.h"
#include "devices/CKelvaskMouseDevice.h"
#include "devices/EffectTables.h"
#include "devices/SyncLighting.h"

#include "support/SimFixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace nq;

namespace {

LightSetting Setting(uint8_t effect, uint8_t brightness, uint8_t speed, uint8_t direction, uint8_t multi,
                     uint8_t r = 10, uint8_t g = 20, uint8_t b = 30)
{
    LightSetting s;
    s[0] = effect;
    s[1] = brightness;
    s[2] = speed;
    s[3] = direction;
    s[4] = multi;
    s[5] = r;
    s[6] = g;
    s[7] = b;
    return s;
}

} // namespace

TEST(SyncLighting, StaticSpectrumOffAndUnknownEffects)
{
    SyncLighting sync;
    EXPECT_EQ(sync.Step(Setting(1, 2, 0, 1, 0), 0), MakeLedWord(10, 20, 30, 126));
    EXPECT_EQ(sync.Step(Setting(3, 4, 0, 1, 0), 0), MakeLedWord(COLOUR_WHEEL[1], 255));
    EXPECT_EQ(sync.Step(Setting(3, 4, 0, 1, 0), 0), MakeLedWord(COLOUR_WHEEL[2], 255));
    EXPECT_EQ(sync.Step(Setting(4, 4, 0, 1, 0), 0), 0u);
    EXPECT_FALSE(sync.Step(Setting(5, 4, 0, 1, 0), 0).has_value());
}

TEST(SyncLighting, BreathingFollowsTheCurveAndChangesColourPerBreath)
{
    SyncLighting sync;
    const LightSetting plain = Setting(0, 4, 0, 1, 0);
    for (int i = 1; i <= 64; ++i) {
        uint32_t word = *sync.Step(plain, 0);
        EXPECT_EQ(LedLevel(word), (255 * BREATH_CURVE[i]) >> 8);
        EXPECT_EQ(LedRed(word), 10);
    }
    SyncLighting multi;
    const LightSetting wheel = Setting(0, 4, 0, 1, 1);
    // Phase 1: below 2, so the colour moves 16 wheel entries.
    EXPECT_EQ(LedColour(*multi.Step(wheel, 0)), COLOUR_WHEEL[16]);
    for (int i = 2; i < 128; ++i)
        EXPECT_EQ(LedColour(*multi.Step(wheel, 0)), COLOUR_WHEEL[16]);
    EXPECT_EQ(multi.Phase(), 127);
    EXPECT_EQ(LedColour(*multi.Step(wheel, 0)), COLOUR_WHEEL[32]); // phase 0 again
}

TEST(SyncLighting, FlashTogglesAfterItsPeriod)
{
    SyncLighting sync;
    const LightSetting flash = Setting(2, 4, 4, 1, 0); // speed 4: 7 * 200 ms
    EXPECT_EQ(sync.Step(flash, 1400), MakeLedWord(10, 20, 30, 255));
    EXPECT_EQ(sync.Step(flash, 2000), MakeLedWord(10, 20, 30, 255));
    EXPECT_EQ(sync.Step(flash, 2800), 0u);
    EXPECT_EQ(sync.Step(flash, 4200), MakeLedWord(10, 20, 30, 255));
}

TEST(SyncLighting, OnlySynchronisedDevicesTakeTheWord)
{
    CKelvaskMouseDevice synced, own;
    synced.SetLedCount(6);
    own.SetLedCount(6);
    synced.Channel().SetLightingSynced(true);
    own.SetLedColour(0, 0x01020304);
    SyncLighting::Apply({&synced, &own, nullptr}, 0xFF112233);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(synced.GetLedColour(i), 0xFF112233u);
    EXPECT_EQ(own.GetLedColour(0), 0x01020304u);
    EXPECT_FALSE(SyncLighting::AnyActive({&synced, &own})); // channel closed
}

TEST(SyncLighting, ThreadPaintsSynchronisedDevicesAndStopsAtOnce)
{
    nqtest::SimEnvironment sim({"keyboard"});
    CKelvaskMouseDevice device;
    device.SetLedCount(6);
    ASSERT_TRUE(device.Channel().Open(sim.PathOf("keyboard", 1, 4)));
    device.Channel().SetLightingSynced(true);
    SyncLighting::SetSharedSetting(Setting(1, 4, 4, 1, 0, 1, 2, 3)); // static
    SyncLighting sync;
    nqtest::DebugCapture log;
    WorkerThread thread;
    thread.Start([&](StopEvent& stop) { return sync.Run(stop, [&] { return std::vector<CKelvaskUSBDevice*>{&device}; }); });
    const auto start = std::chrono::steady_clock::now();
    while (device.GetLedColour(5) != MakeLedWord(1, 2, 3, 255) &&
           std::chrono::steady_clock::now() - start < std::chrono::seconds(2))
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(device.GetLedColour(5), MakeLedWord(1, 2, 3, 255));
    const auto stopAt = std::chrono::steady_clock::now();
    EXPECT_EQ(thread.Stop(1000), WaitOutcome::Signalled);
    EXPECT_LT(std::chrono::steady_clock::now() - stopAt, std::chrono::milliseconds(100));
    EXPECT_EQ(log.Count("同步灯光线程设定退出"), 1);
    SyncLighting::SetSharedSetting(LightSetting{});
}
