#pragma once
// The mouse's profile object: adds the DPI stages ("DPIStages"), the system settings
// ("SystemStages" and "ReportStages") and the sensor correction presets ("CorrectInfo").
#include "profiles/CBasicProfiledata.h"
#include "profiles/CorrectEntry.h"
#include "profiles/DpiStage.h"
#include "profiles/MouseSystemWords.h"

#include <vector>

namespace nq {

class CMouseProfiledata : public CBasicProfiledata {
public:
    // Reads "DPIStages"."StageDPIs" into the cached stage list in place (stages read replace the
    // cached ones at their positions, further ones are appended, cached ones beyond the number
    // read stay) and "DPIStages"."StageActive" into the active stage. Returns the whole list.
    std::vector<DpiStage> GetDpiStages();
    // Caches the stages and writes "DPIStages"."StageDPIs"[i] for every i.
    void SetDpiStages(const std::vector<DpiStage>& stages);
    const std::vector<DpiStage>& DpiStages() const { return m_dpiStages; }

    // The cached active stage (no node access).
    int GetActiveStage() const { return m_activeStage; }
    // Caches and writes "DPIStages"."StageActive".
    void SetActiveStage(int index);

    // All 0 when the node or "SystemStages" is missing; the report-rate half stays 0 without
    // "ReportStages".
    MouseSystemWords GetSystemWords();
    // Caches the words and writes the five "SystemStages" keys and "ReportStages"."StageActive".
    void SetSystemWords(uint32_t w0, uint32_t w1, uint32_t w2);
    void SetSystemWords(const MouseSystemWords& words);
    const MouseSystemWords& SystemWords() const { return m_systemWords; }

    // One entry per "CorrectInfo" element (empty when missing); replaces the cached list.
    std::vector<CorrectEntry> GetCorrectList();
    const std::vector<CorrectEntry>& CorrectList() const { return m_correctList; }

private:
    std::vector<DpiStage> m_dpiStages;
    int m_activeStage = 0;
    MouseSystemWords m_systemWords;
    std::vector<CorrectEntry> m_correctList;
};

} // namespace nq
