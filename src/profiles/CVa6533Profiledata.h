#pragma once
// The headset's profile object: adds the system settings ("SystemSetStages"), the equaliser
// curves of the presets ("EQHzValueInfo") and the user's own curves and their names
// ("CustomEQHzValueInfo", "CustomEQNameInfo"). A curve is ten {"value": int} points.
#include "profiles/CBasicProfiledata.h"
#include "profiles/HeadsetSystemSettings.h"

#include <string>
#include <vector>

namespace nq {

class CVa6533Profiledata : public CBasicProfiledata {
public:
    static constexpr int kEqPoints = 10;
    // The equaliser type of the user's own curve; it has no preset curve.
    static constexpr int kCustomEqType = 13;
    // Custom curves are numbered 0..kMaxCustomCurves-1.
    static constexpr int kMaxCustomCurves = 256;

    // All 0 when the node or "SystemSetStages" is missing.
    HeadsetSystemSettings GetSystemSettings();
    // Caches and writes the eight keys.
    void SetSystemSettings(const HeadsetSystemSettings& settings);
    const HeadsetSystemSettings& SystemSettings() const { return m_settings; }

    // Position of an equaliser type in "EQHzValueInfo": 1..12 their own, 0 and above 13 position
    // 1, 13 (custom) -1.
    static int EqPresetPosition(int eqType);

    // The ten points of the preset curve of `eqType` (empty for the custom type). Points that are
    // missing are written into the node as 0 and read as 0.
    std::vector<int> GetEqValues(int eqType);
    // Writes ten points (missing values as 0); does nothing for the custom type.
    void SetEqValues(int eqType, const std::vector<int>& values);

    // One name per "CustomEQNameInfo" element ("Name").
    std::vector<std::string> GetCustomEqNames();
    // Replaces "CustomEQNameInfo" by [{"Name": name}, ...].
    void SetCustomEqNames(const std::vector<std::string>& names);

    // Ten points of custom curve `index`, created as zeros when missing. An index outside
    // 0..kMaxCustomCurves-1 reads as zeros and is not written.
    std::vector<int> GetCustomEqValues(int index);
    void SetCustomEqValues(int index, const std::vector<int>& values);

private:
    std::vector<int> ReadCurve(const char* section, int position);
    void WriteCurve(const char* section, int position, const std::vector<int>& values);

    HeadsetSystemSettings m_settings;
};

} // namespace nq
