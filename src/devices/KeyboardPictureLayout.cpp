#include "devices/KeyboardPictureLayout.h"

#include "devices/KeyboardKeyPositions.h"
#include "profiles/JsonFile.h"

#include <set>

namespace nq {

namespace {

constexpr double kLargestExtent = 64; // key units; a picture is never larger

bool Number(const Json::Value& v, double& out)
{
    if (!v.isNumeric())
        return false;
    out = v.asDouble();
    return out > -kLargestExtent && out < kLargestExtent;
}

// The caps of one array; false when any entry is malformed, out of range or repeated.
bool ReadCaps(const Json::Value& list, const char* indexKey, int count, std::vector<KeyboardPictureLayout::Cap>& out)
{
    if (!list.isArray())
        return false;
    std::set<int> seen;
    for (const Json::Value& entry : list) {
        if (!entry.isObject() || !entry[indexKey].isInt())
            return false;
        KeyboardPictureLayout::Cap cap;
        cap.index = entry[indexKey].asInt();
        if (cap.index < 0 || cap.index >= count || !seen.insert(cap.index).second)
            return false;
        if (!Number(entry["x"], cap.x) || !Number(entry["y"], cap.y) || !Number(entry["w"], cap.w) ||
            !Number(entry["h"], cap.h) || cap.w <= 0 || cap.h <= 0)
            return false;
        if (entry["legend"].isString())
            cap.legend = entry["legend"].asString();
        out.push_back(cap);
    }
    return true;
}

} // namespace

KeyboardPictureLayout KeyboardPictureLayout::Load(const std::string& path)
{
    KeyboardPictureLayout layout;
    const Json::Value doc = ReadJsonFile(path);
    if (!doc.isObject())
        return layout;
    if (doc["unit"].isInt() && doc["unit"].asInt() >= 8 && doc["unit"].asInt() <= 128)
        layout.unit = doc["unit"].asInt();
    if (doc["gap"].isInt() && doc["gap"].asInt() >= 0 && doc["gap"].asInt() < layout.unit / 2)
        layout.gap = doc["gap"].asInt();
    const Json::Value& margin = doc["margin"];
    if (margin.isArray() && margin.size() == 2 && margin[0].isInt() && margin[1].isInt()) {
        layout.marginX = margin[0].asInt();
        layout.marginY = margin[1].asInt();
    }
    const Json::Value& outline = doc["case"];
    if (outline.isArray() && outline.size() == 4) {
        Number(outline[0], layout.outline.x);
        Number(outline[1], layout.outline.y);
        Number(outline[2], layout.outline.w);
        Number(outline[3], layout.outline.h);
    }
    KeyboardPictureLayout read = layout;
    if (!ReadCaps(doc["keys"], "position", KeyboardKeyPositions::kPositions, read.keys) ||
        !ReadCaps(doc["logo"], "index", 15, read.logo) || !ReadCaps(doc["side"], "index", 6, read.side))
        return layout;
    return read;
}

KeyboardPictureLayout::Rect KeyboardPictureLayout::Pixels(const Cap& cap) const
{
    const double half = gap / 2.0;
    return {marginX + (cap.x - outline.x) * unit + half, marginY + (cap.y - outline.y) * unit + half,
            cap.w * unit - gap, cap.h * unit - gap};
}

KeyboardPictureLayout::Rect KeyboardPictureLayout::CasePixels() const
{
    return {double(marginX), double(marginY), outline.w * unit, outline.h * unit};
}

} // namespace nq
