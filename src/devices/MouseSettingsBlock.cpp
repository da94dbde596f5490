#include "devices/MouseSettingsBlock.h"

namespace nq {

namespace {

void PutWord(uint8_t* at, uint16_t value)
{
    at[0] = static_cast<uint8_t>(value & 0xFF);
    at[1] = static_cast<uint8_t>(value >> 8);
}

uint16_t GetWord(const uint8_t* at) { return static_cast<uint16_t>(at[0] | (at[1] << 8)); }

} // namespace

MouseSettingsBlock::Block MouseSettingsBlock::Build(const Inputs& in)
{
    Block b{};
    const LightSetting& light = in.light;
    b[0] = in.byte0;
    b[1] = light.Effect() > kMaxEffect ? 0 : light.Effect();
    b[2] = light.Brightness();
    b[3] = static_cast<uint8_t>(4 - light.Speed());
    b[4] = light.Direction();
    b[5] = light.MultiColour();
    b[6] = light.Red();
    b[7] = light.Green();
    b[8] = light.Blue();
    b[11] = static_cast<uint8_t>(in.words.ReportRateStage() & 0xFF);
    b[12] = static_cast<uint8_t>(in.activeStage);
    for (int i = 0; i < kStages && i < static_cast<int>(in.stages.size()); ++i) {
        const DpiStage& stage = in.stages[static_cast<size_t>(i)];
        uint8_t* s = &b[kFirstStage + kStageBytes * static_cast<size_t>(i)];
        s[0] = stage.active;
        s[1] = stage.xy;
        PutWord(s + 2, stage.dpiX);
        PutWord(s + 4, stage.dpiY);
        s[6] = stage.red;
        s[7] = stage.green;
        s[8] = stage.blue;
    }
    b[59] = in.flag;
    PutWord(&b[kScreenWidthByte], in.screenWidth);
    PutWord(&b[kScreenHeightByte], in.screenHeight);
    for (const CorrectEntry& entry : in.corrections) {
        if (entry.select != 0) {
            b[64] = entry.minSq;
            b[65] = entry.pixThresh;
            break;
        }
    }
    return b;
}

MouseSettingsBlock::Onboard MouseSettingsBlock::Parse(const Block& block)
{
    Onboard o;
    o.effect = block[1];
    o.brightness = block[2];
    o.speed = static_cast<uint8_t>(4 - block[3]);
    o.multicolour = block[5];
    o.red = block[6];
    o.green = block[7];
    o.blue = block[8];
    o.activeStage = block[12];
    o.reportRate = block[11];
    for (size_t i = 0; i < o.stages.size(); ++i) {
        const uint8_t* s = &block[kFirstStage + kStageBytes * i];
        o.stages[i] = DpiStage{s[0], s[1], GetWord(s + 2), GetWord(s + 4), s[6], s[7], s[8]};
    }
    return o;
}

LightSetting MouseSettingsBlock::ApplyTo(const Onboard& onboard, LightSetting light)
{
    light[LightSetting::kEffect] = onboard.effect;
    light[LightSetting::kBrightness] = onboard.brightness;
    light[LightSetting::kSpeed] = onboard.speed;
    light[LightSetting::kMultiColour] = onboard.multicolour;
    light[LightSetting::kRed] = onboard.red;
    light[LightSetting::kGreen] = onboard.green;
    light[LightSetting::kBlue] = onboard.blue;
    return light;
}

std::pair<int, int> MouseSettingsBlock::ScreenSizeOf(const Block& block)
{
    return {GetWord(&block[kScreenWidthByte]), GetWord(&block[kScreenHeightByte])};
}

DpiStage MouseSettingsBlock::StageOf(const Block& block, int i)
{
    const uint8_t* s = &block[StageStart(i)];
    DpiStage stage;
    stage.active = s[0];
    stage.xy = s[1];
    stage.dpiX = static_cast<uint16_t>(s[2] | (s[3] << 8));
    stage.dpiY = static_cast<uint16_t>(s[4] | (s[5] << 8));
    stage.red = s[6];
    stage.green = s[7];
    stage.blue = s[8];
    return stage;
}

bool MouseSettingsBlock::SameBytes(const Block& a, const Block& b, size_t first, size_t last)
{
    for (size_t i = first; i <= last && i < a.size(); ++i) {
        if (a[i] != b[i])
            return false;
    }
    return true;
}

} // namespace nq
