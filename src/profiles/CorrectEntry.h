#pragma once
// One sensor correction preset of a mouse profile ("CorrectInfo"[i]); read only.
#include <cstdint>
#include <string>

namespace nq {

struct CorrectEntry {
    uint8_t pixThresh = 0;  // "CorrectPixThresh"
    uint8_t minSq = 0;      // "CorrectMinSq"
    uint8_t select = 0;     // "CorrectSelect"
    std::string name;       // "CorrectName", UTF-8

    bool operator==(const CorrectEntry&) const = default;
};

} // namespace nq
