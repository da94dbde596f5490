#pragma once
// The keyboard's profile object: adds the system settings ("SystemStages") and the custom
// per-key colours ("CustomLightMode").
#include "profiles/CBasicProfiledata.h"
#include "profiles/KeyboardSystemWords.h"
#include "profiles/RgbaColor.h"

#include <vector>

namespace nq {

class CKeyboardProfiledata : public CBasicProfiledata {
public:
    // Custom colour groups are numbered 0..kMaxCustomGroups-1 (a group is one byte on the device).
    static constexpr int kMaxCustomGroups = 256;

    // All four words 0 when the node or "SystemStages" is missing.
    KeyboardSystemWords GetSystemWords();
    // Caches the words and writes the seven keys (the 16-bit halves).
    void SetSystemWords(uint32_t w0, uint32_t w1, uint32_t w2, uint32_t w3);
    void SetSystemWords(const KeyboardSystemWords& words);
    const KeyboardSystemWords& SystemWords() const { return m_systemWords; }

    // `count` colours of custom group `group`; missing entries are written into the node as zero
    // colours and read as zero. A group outside 0..kMaxCustomGroups-1 reads as zeros and is not
    // written.
    std::vector<RgbaColor> GetCustomColors(int group, int count);
    // Caches the colours and writes "CustomLightMode"."LightColorInfo"[group][i] for every i.
    void SetCustomColors(const std::vector<RgbaColor>& colors, int group);
    const std::vector<RgbaColor>& CustomColors() const { return m_customColors; }

    // "CustomLightMode"."CustomLightModeGroupIndex" cut to a byte; 0 when missing.
    int GetCustomGroupIndex();
    void SetCustomGroupIndex(int index);

private:
    KeyboardSystemWords m_systemWords;
    std::vector<RgbaColor> m_customColors;
    int m_customGroupIndex = 0;
};

} // namespace nq
