#include "hid/Catalogue.h"

#include "common/DebugLog.h"
#include "common/InstallPaths.h"
#include "common/RegularFile.h"
#include "hid/HidEnumerator.h"

#include <json/json.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <sstream>

namespace nq {
namespace {

const char* const kSelectorFile = "XML/CustomControlXML/DeviceOption.xml";
const char* const kSelectorGroup = "tab_header_device";
const char* const kPowerTabLayout = "device_power_switch";
const char* const kLightingFolder = "drovo_light";

// The largest lighting frame is 512 bytes (170 LEDs); the key map is at most 512 bytes too.
constexpr int kMaxLeds = 170;
constexpr int kMaxKeyEntries = 170;

DeviceSlot Row(uint16_t vid, uint16_t pid, uint16_t mi, uint16_t col, uint16_t kind, uint16_t role, uint16_t page,
               uint16_t usage)
{
    DeviceSlot slot;
    slot.vendorId = vid;
    slot.productId = pid;
    slot.interfaceNumber = mi;
    slot.collectionNumber = col;
    slot.kind = kind;
    slot.role = role;
    slot.usagePage = page;
    slot.usage = usage;
    return slot;
}

DevicePage Page(const char* kindName, int u1, int u2, int u3, int ordinal, int vid, int pid, int kind, int role)
{
    return DevicePage{kSelectorFile, kSelectorGroup, kPowerTabLayout, kindName, u1, u2, u3, ordinal, vid, pid,
                      kind, role};
}

bool SameInterface(const DeviceSlot& row, const InterfaceCandidate& c)
{
    return row.vendorId == c.vendorId && row.productId == c.productId && row.interfaceNumber == c.interfaceNumber &&
           row.collectionNumber == c.collectionNumber;
}

// ---- the extra-rows file -------------------------------------------------------------------

class RowError {
public:
    std::string text;
};

bool ParseNumber(const Json::Value& value, long& out)
{
    if (value.isInt64()) {
        out = static_cast<long>(value.asInt64());
        return true;
    }
    if (!value.isString())
        return false;
    const std::string text = value.asString();
    if (text.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    out = std::strtol(text.c_str(), &end, 0);
    return errno == 0 && end && *end == '\0';
}

class RowReader {
public:
    RowReader(const Json::Value& row, std::string where) : m_row(row), m_where(std::move(where)) {}

    bool Shape(std::string& error) const
    {
        if (!m_row.isObject()) {
            error = m_where + " is not an object";
            return false;
        }
        return true;
    }

    long Number(const char* key, long low, long high, std::string& error, long fallback = 0, bool optional = false)
    {
        m_known.insert(key);
        if (!m_row.isMember(key)) {
            if (!optional && error.empty())
                error = m_where + ": \"" + key + "\" is missing";
            return fallback;
        }
        long value = 0;
        if (!ParseNumber(m_row[key], value) || value < low || value > high) {
            if (error.empty())
                error = m_where + ": \"" + key + "\" must be a number from " + std::to_string(low) + " to " +
                        std::to_string(high);
            return fallback;
        }
        return value;
    }

    // A relative path below the program's data folders: no leading "/", no "..", no backslash.
    std::string Text(const char* key, bool isPath, std::string& error, const char* fallback = nullptr)
    {
        m_known.insert(key);
        if (!m_row.isMember(key)) {
            if (!fallback && error.empty())
                error = m_where + ": \"" + key + "\" is missing";
            return fallback ? fallback : "";
        }
        const Json::Value& value = m_row[key];
        std::string text = value.isString() ? value.asString() : std::string();
        bool ok = !text.empty() && text.find('\\') == std::string::npos && text.find('\0') == std::string::npos &&
                  text.front() != '/';
        std::stringstream parts(text);
        std::string part;
        while (ok && std::getline(parts, part, '/'))
            ok = part != ".." && part != "." && !part.empty();
        if (ok && !isPath)
            ok = text.find('/') == std::string::npos;
        if (!ok && error.empty())
            error = m_where + ": \"" + key + "\" must be a " + (isPath ? "relative path" : "plain name");
        return text;
    }

    void UnknownKeys(std::string& error) const
    {
        for (const std::string& name : m_row.getMemberNames())
            if (!m_known.count(name) && error.empty())
                error = m_where + ": unknown key \"" + name + "\"";
    }

private:
    const Json::Value& m_row;
    std::string m_where;
    std::set<std::string> m_known;
};

// Index (in the combined table) of the first row that is the same slot as `slot`, -1 if none.
int FirstSameSlot(const std::vector<DeviceSlot>& rows, const std::vector<DeviceSlot>& added, const DeviceSlot& slot)
{
    for (size_t i = 0; i < rows.size() + added.size(); ++i)
        if (IsSameSlot(i < rows.size() ? rows[i] : added[i - rows.size()], slot))
            return static_cast<int>(i);
    return -1;
}

bool ValidKind(long kind)
{
    return kind == kKindKeyboard || kind == kKindMouse || kind == kKindMousePad || kind == kKindReceiverMouse ||
           kind == kKindHeadset;
}

} // namespace

Catalogue::Catalogue()
{
    m_interfaces = {
        Row(0x320F, 0x5041, 1, 4, kKindKeyboard, kRoleCommand, 0xFF1C, 0x92),
        Row(0x320F, 0x5041, 1, 3, kKindKeyboard, kRoleNotification, 0x000C, 0x01),
        Row(0, 0, 1, 4, kKindMouse, kRoleCommand, 0xFF1C, 0x92),
        Row(0, 0, 1, 3, kKindMouse, kRoleNotification, 0x000C, 0x01),
        Row(0, 0, 1, 4, kKindMousePad, kRoleCommand, 0xFF1C, 0x92),
        Row(0, 0, 1, 3, kKindMousePad, kRoleNotification, 0x000C, 0x01),
        Row(0, 0, 3, 0, kKindHeadset, kRoleCommand, 0x000C, 0x01),
    };
    m_pages = {
        Page("mouse", 0, 0, 0, 1, 0, 0, kKindMouse, kRoleCommand),
        Page("keyboard", 1, 1, -1, 0, 0x320F, 0x5041, kKindKeyboard, kRoleCommand),
        Page("MousePad", 2, 2, 1, 2, 0, 0, kKindMousePad, kRoleCommand),
        Page("HD", 3, 3, -1, 3, 0, 0, kKindHeadset, kRoleCommand),
    };
    m_layouts = {
        {7, 10, 0, -1, "XML/DeviceXml/mousedevice.xml", kLightingFolder}, // seven LEDs, ten buttons
        {126, 126, 0, -1, "XML/DeviceXml/keyboarddevice.xml", kLightingFolder},
        {15, 0, 0, -1, "XML/DeviceXml/mousepaddevice.xml", kLightingFolder},
        {13, 0, 0, -1, "XML/DeviceXml/va6533device.xml", kLightingFolder},
    };
    m_products = {
        {1, 1, 0, "DROVO", "TQ42M08C", "HX2", "HX2", ""},
        {1, 1, 0, "NQ510", "TQ42M07C", "U-504", "Silent Harbinger", ""},
        {2, 1, 0, "DROVO", "TQ42M01C_1", "R63", "R63", ""},
        {0, 1, 0, "NQ510", "ALL", "R63_HX2_HX1", "AP", "V0102"},
    };
}

const Catalogue& Catalogue::Default()
{
    static const std::unique_ptr<Catalogue> catalogue = [] {
        auto made = std::make_unique<Catalogue>();
        made->LoadExtraRows(ExtraRowsPath());
        // After the user's rows, so their "twin" indices stay what the user wrote. The user's
        // file is the one whose error the start reports.
        if (!HidEnumerator::SimulatorFolder().empty()) {
            const std::string userError = made->m_extraRowsError;
            made->LoadExtraRows(SimulatorRowsPath());
            if (!userError.empty())
                made->m_extraRowsError = userError;
        }
        return made;
    }();
    return *catalogue;
}

std::string Catalogue::ExtraRowsPath()
{
    std::string folder;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/') {
        folder = config;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !*home)
            return {};
        folder = std::string(home) + "/.config";
    }
    if (folder.back() != '/')
        folder += '/';
    return folder + "NQ501/devices.json";
}

std::string Catalogue::SimulatorRowsPath()
{
    return ProgramDataFolder() + "DefaultData/simdevices.json";
}

bool Catalogue::LoadExtraRows(const std::string& path)
{
    m_extraRowsError.clear();
    if (path.empty())
        return true;
    // Non-blocking and regular files only: a FIFO or device node there never stalls the start.
    const FileContent file = RegularFile::Read(path, kMaxExtraRowsFileSize);
    std::string why;
    switch (file.status) {
    case FileContent::Status::Read: return LoadExtraRowsText(file.bytes, path);
    case FileContent::Status::Missing: return true; // no extra rows
    case FileContent::Status::NotRegular: why = "not a regular file"; break;
    case FileContent::Status::TooLarge:
        why = "larger than " + std::to_string(kMaxExtraRowsFileSize) + " bytes";
        break;
    case FileContent::Status::Unreadable: why = std::string("cannot be read (") + strerror(file.error) + ")"; break;
    }
    m_extraRowsError = path + ": " + why + "; extra device rows ignored";
    DebugOut(m_extraRowsError);
    return false;
}

bool Catalogue::LoadExtraRowsText(const std::string& text, const std::string& source)
{
    m_extraRowsError.clear();
    auto reject = [&](const std::string& why) {
        m_extraRowsError = source + ": " + why + "; extra device rows ignored";
        DebugOut(m_extraRowsError);
        return false;
    };
    if (text.size() > kMaxExtraRowsFileSize)
        return reject("larger than " + std::to_string(kMaxExtraRowsFileSize) + " bytes");
    if (text.find('\0') != std::string::npos)
        return reject("not valid JSON (a zero byte)");

    Json::Value root;
    std::string parseErrors;
    Json::CharReaderBuilder builder;
    builder["collectComments"] = false;
    builder["rejectDupKeys"] = true;
    builder["failIfExtra"] = true;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    bool parsed = false;
    try {
        parsed = reader->parse(text.data(), text.data() + text.size(), &root, &parseErrors);
    } catch (const std::exception& e) {
        parseErrors = e.what();
    }
    if (!parsed) {
        std::string first = parseErrors.substr(0, parseErrors.find('\n'));
        return reject("not valid JSON (" + first + ")");
    }
    if (!root.isObject())
        return reject("the top level is not an object");
    for (const std::string& name : root.getMemberNames())
        if (name != "interfaces" && name != "pages")
            return reject("unknown key \"" + name + "\"");
    const Json::Value interfaces = root.get("interfaces", Json::Value(Json::arrayValue));
    const Json::Value pages = root.get("pages", Json::Value(Json::arrayValue));
    if (!interfaces.isArray())
        return reject("\"interfaces\" is not an array");
    if (!pages.isArray())
        return reject("\"pages\" is not an array");
    if (interfaces.size() > kMaxExtraInterfaces)
        return reject("more than " + std::to_string(kMaxExtraInterfaces) + " interface rows");
    if (pages.size() > kMaxExtraPages)
        return reject("more than " + std::to_string(kMaxExtraPages) + " page rows");

    const long slotCount = static_cast<long>(m_interfaces.size() + interfaces.size());
    std::vector<DeviceSlot> newSlots;
    for (Json::ArrayIndex i = 0; i < interfaces.size(); ++i) {
        std::string error;
        RowReader row(interfaces[i], "interfaces[" + std::to_string(i) + "]");
        if (!row.Shape(error))
            return reject(error);
        DeviceSlot slot;
        slot.vendorId = static_cast<uint16_t>(row.Number("vendorId", 0, 0xFFFF, error));
        slot.productId = static_cast<uint16_t>(row.Number("productId", 0, 0xFFFF, error));
        slot.interfaceNumber = static_cast<uint16_t>(row.Number("interface", 0, 0xFFFF, error));
        slot.collectionNumber = static_cast<uint16_t>(row.Number("collection", 0, 0xFFFF, error));
        long kind = row.Number("kind", 0, 0xFFFF, error);
        long role = row.Number("role", 0, 0xFFFF, error);
        slot.usagePage = static_cast<uint16_t>(row.Number("usagePage", 0, 0xFFFF, error));
        slot.usage = static_cast<uint16_t>(row.Number("usage", 0, 0xFFFF, error));
        long twin = row.Number("twin", 0, slotCount - 1, error, -1, true);
        const long fileRows = static_cast<long>(interfaces.size());
        const long twinRow = row.Number("twinRow", 0, fileRows - 1, error, -1, true);
        if (twinRow >= 0 && twin >= 0 && error.empty())
            error = "interfaces[" + std::to_string(i) + "]: \"twin\" and \"twinRow\" together";
        if (twinRow >= 0)
            twin = static_cast<long>(m_interfaces.size()) + twinRow;
        row.UnknownKeys(error);
        if (error.empty() && !ValidKind(kind))
            error = "interfaces[" + std::to_string(i) + "]: \"kind\" must be 1, 2, 3, 6 or 7";
        if (error.empty() && role != kRoleCommand && role != kRoleNotification)
            error = "interfaces[" + std::to_string(i) + "]: \"role\" must be 0 or 255";
        if (!error.empty())
            return reject(error);
        slot.kind = static_cast<uint16_t>(kind);
        slot.role = static_cast<uint16_t>(role);
        const long index = static_cast<long>(m_interfaces.size() + newSlots.size());
        if (twin == index)
            return reject("interfaces[" + std::to_string(i) + "]: \"twin\" is the row itself");
        const int same = FirstSameSlot(m_interfaces, newSlots, slot);
        if (same >= 0)
            return reject("interfaces[" + std::to_string(i) + "] repeats interface row " + std::to_string(same));
        if (twin >= 0) {
            slot.hasTwin = 1;
            slot.twinIndex = static_cast<uint16_t>(twin);
        }
        newSlots.push_back(slot);
    }

    std::vector<DevicePage> newPages;
    std::vector<DeviceLayout> newLayouts;
    for (Json::ArrayIndex i = 0; i < pages.size(); ++i) {
        std::string error;
        RowReader row(pages[i], "pages[" + std::to_string(i) + "]");
        if (!row.Shape(error))
            return reject(error);
        DevicePage page = Page("", 0, 0, 0, 0, 0, 0, 0, 0);
        DeviceLayout layout;
        page.kindName = row.Text("kindName", false, error);
        page.ordinal = static_cast<int>(row.Number("ordinal", 0, 0xFFFF, error));
        page.vendorId = static_cast<int>(row.Number("vendorId", 0, 0xFFFF, error));
        page.productId = static_cast<int>(row.Number("productId", 0, 0xFFFF, error));
        page.kind = static_cast<int>(row.Number("kind", 0, 0xFFFF, error));
        page.role = static_cast<int>(row.Number("role", 0, 0xFFFF, error));
        page.selectorFile = row.Text("selectorFile", true, error, kSelectorFile);
        page.group = row.Text("group", false, error, kSelectorGroup);
        page.powerTabLayout = row.Text("powerTabLayout", false, error, kPowerTabLayout);
        layout.lightingPoints = static_cast<int>(row.Number("lightingPoints", 0, kMaxLeds, error));
        layout.keyEntries = static_cast<int>(row.Number("keyEntries", 0, kMaxKeyEntries, error));
        layout.powerDisplayKind = static_cast<int>(row.Number("powerDisplayKind", 0, 1, error, 0, true));
        layout.mousePageValue = static_cast<int>(row.Number("mousePageValue", -1, 0xFFFF, error, -1, true));
        layout.pageLayoutFile = row.Text("layoutFile", true, error);
        layout.lightingFolder = row.Text("lightingFolder", false, error, kLightingFolder);
        row.UnknownKeys(error);
        if (error.empty() && !ValidKind(page.kind))
            error = "pages[" + std::to_string(i) + "]: \"kind\" must be 1, 2, 3, 6 or 7";
        if (error.empty() && page.role != kRoleCommand && page.role != kRoleNotification)
            error = "pages[" + std::to_string(i) + "]: \"role\" must be 0 or 255";
        if (!error.empty())
            return reject(error);
        for (size_t row = 0; row < m_pages.size() + newPages.size(); ++row) {
            const DevicePage& other = row < m_pages.size() ? m_pages[row] : newPages[row - m_pages.size()];
            if (other.vendorId == page.vendorId && other.productId == page.productId && other.kind == page.kind &&
                other.role == page.role)
                return reject("pages[" + std::to_string(i) + "] repeats page row " + std::to_string(row));
        }
        newPages.push_back(page);
        newLayouts.push_back(layout);
    }

    m_interfaces.insert(m_interfaces.end(), newSlots.begin(), newSlots.end());
    m_pages.insert(m_pages.end(), newPages.begin(), newPages.end());
    m_layouts.insert(m_layouts.end(), newLayouts.begin(), newLayouts.end());
    if (!newSlots.empty() || !newPages.empty())
        DebugOutF("%s: %zu extra interface rows, %zu extra page rows", source.c_str(), newSlots.size(),
                  newPages.size());
    return true;
}

int Catalogue::FindDevicePage(int vendorId, int productId, int kind, int role) const
{
    for (size_t i = 0; i < m_pages.size(); ++i) {
        const DevicePage& p = m_pages[i];
        if (p.vendorId == vendorId && p.productId == productId && p.kind == kind && p.role == role)
            return static_cast<int>(i);
    }
    return -1;
}

int Catalogue::FindSlot(int vendorId, int productId, int kind, int role) const
{
    for (size_t i = 0; i < m_interfaces.size(); ++i) {
        const DeviceSlot& s = m_interfaces[i];
        if (s.vendorId == vendorId && s.productId == productId && s.kind == kind && s.role == role)
            return static_cast<int>(i);
    }
    return -1;
}

PageChoice Catalogue::ChoosePage(int pageRow, const std::vector<DeviceSlot>& slots) const
{
    PageChoice choice;
    if (pageRow < 0 || static_cast<size_t>(pageRow) >= m_pages.size())
        return choice;
    const DevicePage& row = m_pages[pageRow];
    choice.pageRow = pageRow;
    choice.pageKind = row.kind;
    choice.slotIndex = FindSlot(row.vendorId, row.productId, row.kind, row.role);
    if (choice.slotIndex < 0)
        return choice;
    const std::vector<DeviceSlot>& list =
        static_cast<size_t>(choice.slotIndex) < slots.size() ? slots : m_interfaces;
    const DeviceSlot& slot = list[choice.slotIndex];
    int vendorId = slot.vendorId;
    int productId = slot.productId;
    choice.pageKind = slot.kind;
    if (slot.kind == kKindReceiverMouse) {
        // A receiver mouse shows the mouse page of its wired twin.
        choice.pageKind = kKindMouse;
        if (slot.hasTwin && slot.twinIndex < list.size()) {
            vendorId = list[slot.twinIndex].vendorId;
            productId = list[slot.twinIndex].productId;
        }
    }
    choice.layoutRow = FindDevicePage(vendorId, productId, choice.pageKind, slot.role);
    return choice;
}

bool Catalogue::IsCandidate(const InterfaceCandidate& candidate, const std::vector<DeviceSlot>& slots) const
{
    bool rowFits = false;
    for (const DeviceSlot& row : m_interfaces)
        rowFits = rowFits || SameInterface(row, candidate);
    if (!rowFits)
        return false;
    for (const DeviceSlot& slot : slots)
        if (SameInterface(slot, candidate) && slot.IsFree())
            return true;
    return false;
}

int Catalogue::BindSlot(InterfaceCandidate& candidate, std::vector<DeviceSlot>& slots) const
{
    // Rows are tried in table order. Only the placeholder rows (vendor and product 0) share their
    // six values: a second such interface goes on to the next kind whose slot is still free, so
    // the mouse, mousepad and headset placeholders can all be bound at once (simulator, demo).
    // An interface already bound to a slot is never bound to a second one.
    for (const DeviceSlot& slot : slots)
        if (slot.connected && slot.path == candidate.path)
            return -1;
    for (const DeviceSlot& row : m_interfaces) {
        if (!SameInterface(row, candidate) || row.usagePage != candidate.usagePage || row.usage != candidate.usage)
            continue;
        for (size_t i = 0; i < slots.size(); ++i) {
            if (IsSameSlot(slots[i], row) && slots[i].IsFree()) {
                candidate.kind = row.kind;
                candidate.role = row.role;
                slots[i].connected = 1;
                slots[i].path = candidate.path;
                return static_cast<int>(i);
            }
        }
    }
    return -1;
}

int FindDevicePage(int vendorId, int productId, int kind, int role)
{
    return Catalogue::Default().FindDevicePage(vendorId, productId, kind, role);
}

int FindSlot(int vendorId, int productId, int kind, int role)
{
    return Catalogue::Default().FindSlot(vendorId, productId, kind, role);
}

} // namespace nq
