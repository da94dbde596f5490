#pragma once
// Where a pad's LEDs sit on its picture, from a layout data file in the skin (JSON):
//
//   {"width": 392, "height": 220,                       the picture
//    "body": {"x": 16, "y": 16, "width": 360, "height": 188, "radius": 18},   the pad's surface
//    "charger": {"x": 300, "y": 40, "diameter": 70},    optional: the phone-charging spot
//    "ledSize": 14,                                     diameter of one LED on the picture
//    "leds": [[16, 110], [61, 16], ...]}                centre of LED n, in LED order
//
// Every number is a whole number from 0 to 4000 (sizes from 1); anything else, or an LED outside
// the picture, makes the whole file unusable: the page then shows no picture rather than a wrong one.
#include <optional>
#include <string>
#include <vector>

namespace nq {

struct MousePadLedLayout {
    struct Rect {
        int x = 0, y = 0, width = 0, height = 0;
        bool operator==(const Rect&) const = default;
    };
    struct Point {
        int x = 0, y = 0;
        bool operator==(const Point&) const = default;
    };

    static constexpr int kMaxCoordinate = 4000;
    static constexpr size_t kMaxLeds = 170;

    int width = 0;
    int height = 0;
    Rect body;
    int bodyRadius = 0;
    std::optional<Rect> charger; // a square whose inscribed circle is the charging spot
    int ledSize = 0;
    std::vector<Point> leds;

    // The layout in `path`, or nothing when the file is missing or not a valid layout.
    static std::optional<MousePadLedLayout> Load(const std::string& path);
};

} // namespace nq
