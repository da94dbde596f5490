// The keyboard's preview engine in the keyboard object, against the simulated keyboard: key
// notices from the keyboard drive the reactive effects, the engine's threads compute only while
// the previews can be seen, and the custom colour tools of effect 20.
#include "KeyboardTestRig.h"

#include "profiles/JsonFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

using namespace nq;
using Thread = KeyboardLightingEngine::Thread;
using Clock = std::chrono::steady_clock;

namespace {

constexpr Thread kThreads[] = {Thread::Keys, Thread::Logo, Thread::Side};

// Waits (without a fixed delay) until `done` holds, at most five seconds.
bool Eventually(const std::function<bool()>& done)
{
    const auto limit = Clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (Clock::now() > limit)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

std::string FileText(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

class KeyboardEngineSim : public nqtest::KeyboardSimTest {
protected:
    void Connect()
    {
        ConnectKeyboard();
        keyboard->OnConnected();
    }
    void SetKeyEffect(int effect, bool multi)
    {
        LightSetting main = keyboard->Profile().GetLightInfo();
        main[LightSetting::kEffect] = uint8_t(effect);
        main[LightSetting::kSpeed] = 4;
        main[LightSetting::kBrightness] = 4;
        main[LightSetting::kMultiColour] = multi;
        keyboard->Profile().SetLightInfo(main);
        keyboard->LoadLighting();
    }
    bool AllAsleep()
    {
        for (Thread t : kThreads)
            if (!keyboard->EngineAsleep(t))
                return false;
        return true;
    }
    uint64_t Wakeups(Thread t) { return keyboard->EngineWakeups(t); }
};

TEST_F(KeyboardEngineSim, KeyNoticeFromTheKeyboardLightsTheKeyUnderReactiveFade)
{
    Connect();
    SetKeyEffect(7, false);
    const uint8_t slot = keyboard->KeyMaps().positionToSlot[64];
    ASSERT_NE(slot, 255);
    ASSERT_TRUE(keyboard->OpenNotificationInterface(SimPath("keyboard", 1, 3)));
    std::this_thread::sleep_for(std::chrono::milliseconds(100)); // the reader's connection is taken

    ASSERT_TRUE(Sim().SendNotice("keyboard", uint16_t(1536 + slot))); // released: lights it too
    ASSERT_TRUE(Eventually([&] { return keyboard->PreviewEngine().KeyLevel(64) == 255; }));
    keyboard->CloseNotificationInterface();

    // Fading by 5 a step from full level (threads asleep: the page is not shown).
    keyboard->PreviewEngine().Advance(Thread::Keys, 4, LightingClockMs());
    EXPECT_EQ(keyboard->PreviewEngine().KeyLevel(64), 245);
    EXPECT_EQ(keyboard->PreviewEngine().KeyLevel(65), 0);
}

TEST_F(KeyboardEngineSim, ThreadsComputeOnlyWhileThePreviewsCanBeSeen)
{
    Connect();
    SetKeyEffect(1, true);
    // Not shown: all three sleep, and the preview timer does not wake them.
    ASSERT_TRUE(Eventually([&] { return AllAsleep(); }));
    const uint64_t before = Wakeups(Thread::Keys);
    const uint32_t word = keyboard->KeyColour(0);
    keyboard->OutputLightFrame();
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_EQ(Wakeups(Thread::Keys), before);
    EXPECT_EQ(keyboard->KeyColour(0), word);

    // Shown: the column wave moves, and each thread wakes at most once per 50 ms frame.
    const uint64_t logoBefore = Wakeups(Thread::Logo);
    const auto start = Clock::now();
    keyboard->SetPreviewShown(true);
    ASSERT_TRUE(Eventually([&] { return keyboard->KeyColour(0) != word; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    EXPECT_GT(Wakeups(Thread::Keys), before);
    EXPECT_LE(Wakeups(Thread::Keys) - before, uint64_t(ms / 50 + 2));
    EXPECT_LE(Wakeups(Thread::Logo) - logoBefore, uint64_t(ms / 50 + 2));

    // Synchronised from elsewhere: asleep again; released, the preview timer wakes them.
    keyboard->Channel().SetLightingSynced(true);
    ASSERT_TRUE(Eventually([&] { return AllAsleep(); }));
    const uint32_t held = keyboard->KeyColour(0);
    const uint64_t asleep = Wakeups(Thread::Keys);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_EQ(Wakeups(Thread::Keys), asleep);
    keyboard->Channel().SetLightingSynced(false);
    keyboard->OutputLightFrame();
    ASSERT_TRUE(Eventually([&] { return keyboard->KeyColour(0) != held; }));

    keyboard->SetPreviewShown(false);
    ASSERT_TRUE(Eventually([&] { return AllAsleep(); }));
}

TEST_F(KeyboardEngineSim, FillWithoutAGroupDarkensTheKeysAndSavesNothing)
{
    Connect();
    SetKeyEffect(20, false);
    keyboard->SaveProfile();
    keyboard->SetCustomGroup(CKelvaskKeyboardDevice::kNoGroup);
    for (int p = 0; p < 126; ++p)
        keyboard->SetKeyColour(p, MakeLedWord(1, 2, 3, 190));
    const std::string profilePath = keyboard->CurrentProfilePath();
    keyboard->SaveProfile();
    const std::string saved = FileText(profilePath);
    ClearSent();

    keyboard->FillCustomColours(false);
    for (int p : {0, 64, 125})
        EXPECT_EQ(keyboard->KeyColour(p), MakeLedWord(0, 0, 0, 190)) << p; // levels kept
    EXPECT_EQ(FileText(profilePath), saved);
    // A group of -1 has no place in the keyboard's colour memory: the channel refuses it.
    EXPECT_TRUE(Sent().empty());
}

TEST_F(KeyboardEngineSim, PaintKeysOutsideTheCustomEffectChangesNothing)
{
    Connect();
    SetKeyEffect(12, true);
    keyboard->SetCustomGroup(1);
    for (int p : {0, 1, 2})
        keyboard->SetKeyColour(p, MakeLedWord(9, 9, 9, 9));
    ClearSent();
    EXPECT_EQ(keyboard->PaintKeys({0, 1, 2}), kNotOpen);
    for (int p : {0, 1, 2})
        EXPECT_EQ(keyboard->KeyColour(p), MakeLedWord(9, 9, 9, 9)) << p;
    EXPECT_TRUE(Sent().empty());
}
