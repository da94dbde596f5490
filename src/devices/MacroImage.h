#pragma once
// The keyboard's macro memory image, built from the macro files of its user folder: the same
// layout as the mouse's (MouseMacroImage), macros in list order, events in file order. A missing
// event file counts as a macro without events.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace nq {

class MacroImage {
public:
    struct Built {
        int overflow = 0;           // > 0: the image does not fit (4-byte events too many, + 1)
        size_t length = 0;          // 16 + 6 * macros + 4 * events; 0 without macros
        std::vector<uint8_t> bytes; // the image when it fits (empty without macros)
    };

    // The image of folder + "macro.config" for a memory of `capacity` bytes.
    static Built FromFolder(const std::string& folder, size_t capacity);
};

} // namespace nq
