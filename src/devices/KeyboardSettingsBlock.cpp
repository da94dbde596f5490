#include "devices/KeyboardSettingsBlock.h"

namespace nq {

namespace {

uint8_t StoredEffect(uint8_t effect) { return effect > KeyboardSettingsBlock::kLastEffect ? 0 : effect; }
uint8_t Inverted(uint8_t speed) { return uint8_t(4 - speed); }

// Zone bytes (effect, brightness, speed, direction, multicolour, red, green, blue) of a record at
// `zone` into the block at `at`.
void PutZone(KeyboardSettingsBlock::Block& block, size_t at, const LightSetting& record, int zone)
{
    block[at] = StoredEffect(record.Effect(zone));
    block[at + 1] = record.Brightness(zone);
    block[at + 2] = Inverted(record.Speed(zone));
    block[at + 3] = record.Direction(zone);
    block[at + 4] = record.MultiColour(zone);
    block[at + 5] = record.Red(zone);
    block[at + 6] = record.Green(zone);
    block[at + 7] = record.Blue(zone);
}

// Block zone at `at` into the live block at `live` (speed back to a level).
void TakeZone(KeyboardSettingsBlock::Live& live, size_t to, const KeyboardSettingsBlock::Block& block, size_t at)
{
    for (size_t i = 0; i < 8; ++i)
        live[to + i] = block[at + i];
    live[to + 2] = Inverted(block[at + 2]);
}

} // namespace

KeyboardSettingsBlock::Block KeyboardSettingsBlock::Build(const Inputs& in)
{
    Block block{};
    block[0] = in.byte0;
    PutZone(block, 1, in.main, LightSetting::kMain);
    block[18] = in.main[LightSetting::kLedMode];
    block[19] = uint8_t(in.words.WFlag());
    block[20] = uint8_t(in.words.Key6Flag());
    block[21] = uint8_t(in.words.WinFlag());
    block[22] = uint8_t(in.words.PollingRate());
    block[25] = uint8_t(in.words.ScanDelay());
    block[26] = in.customGroup;
    PutZone(block, 27, in.logo, LightSetting::kLogo);
    block[36] = in.logo[LightSetting::kLogoOnOff];
    PutZone(block, 37, in.st, LightSetting::kSt);
    return block;
}

KeyboardSettingsBlock::Read KeyboardSettingsBlock::Parse(const Block& block, const Live& previousLive,
                                                         LightSetting main, LightSetting logo, LightSetting st)
{
    Read out;
    out.live = previousLive;
    out.live[0] = block[0];
    TakeZone(out.live, 1, block, 1);
    TakeZone(out.live, 22, block, 27);
    out.live[30] = block[36];
    TakeZone(out.live, 31, block, 37);

    for (int i = 0; i < 8; ++i) {
        main[i] = out.live[size_t(1 + i)];
        logo[LightSetting::kLogo + i] = out.live[size_t(22 + i)];
        st[LightSetting::kSt + i] = out.live[size_t(31 + i)];
    }
    main[LightSetting::kCustomGroup] = block[26];
    logo[LightSetting::kLogoOnOff] = out.live[30];
    out.main = main;
    out.logo = logo;
    out.st = st;
    out.wFlag = block[19];
    out.key6Flag = block[20];
    out.winFlag = block[21];
    return out;
}

} // namespace nq
