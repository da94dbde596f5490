#pragma once
// The keyboard picture as data (skin file "XML/DeviceXml/keyboard_layout.json"): where each key
// cap of the UI key positions sits, in key units from the top left of the key area, with its
// legend, and where the 15 logo LEDs and 6 side LEDs sit. Positions the file does not list have no
// key on this keyboard and are not drawn. A missing or malformed file, or entries out of range,
// give no caps (the page then shows no picture rather than a wrong one).
#include <string>
#include <vector>

namespace nq {

class KeyboardPictureLayout {
public:
    static constexpr const char* kFile = "XML/DeviceXml/keyboard_layout.json";

    struct Cap {
        int index = 0; // key position, or LED number of the logo or side sequence
        double x = 0, y = 0, w = 1, h = 1;
        std::string legend;
    };
    struct Rect {
        double x = 0, y = 0, w = 0, h = 0;
    };

    static KeyboardPictureLayout Load(const std::string& path);

    int unit = 34;     // pixels per key unit
    int gap = 3;       // pixels between caps
    int marginX = 0, marginY = 0;
    Rect outline;      // the case, in key units
    std::vector<Cap> keys, logo, side;

    // Pixel rectangle (x, y, w, h) of a cap or of the case on the picture.
    Rect Pixels(const Cap& cap) const;
    Rect CasePixels() const;
    bool Empty() const { return keys.empty(); }
};

} // namespace nq
