#include "devsim/firmware/VendorFirmware.h"

#include "devsim/firmware/MacroMemory.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace nqsim {
namespace {

constexpr uint16_t kNoticeProfile = 1025;
constexpr uint16_t kNoticeDpi = 1028;
constexpr uint8_t kStaleData = 0xEE;

bool ParseInt(const std::string& text, long& value, int base = 0)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, base);
    return end && *end == '\0';
}

// "ff", "0xff" and "255" all mean the status byte 0xFF; a refusal is 0xFF or 0xFE, nothing else.
bool ParseStatus(const std::string& text, int& status)
{
    long value = 0;
    if (text == "ff" || text == "FF" || text == "fe" || text == "FE")
        ParseInt(text, value, 16);
    else if (!ParseInt(text, value))
        return false;
    if (value != 0xFF && value != 0xFE)
        return false;
    status = static_cast<int>(value);
    return true;
}

// "N" or "N..M" (1 <= N <= M <= 1000000, at most kMaxRange reports): the reports a fault is armed for.
bool ParseReportRange(const std::string& text, long& first, long& last)
{
    constexpr long kMaxRange = 100000;
    const size_t dots = text.find("..");
    if (dots == std::string::npos) {
        if (!ParseInt(text, first))
            return false;
        last = first;
    } else if (!ParseInt(text.substr(0, dots), first) || !ParseInt(text.substr(dots + 2), last)) {
        return false;
    }
    return first >= 1 && last >= first && last <= 1000000 && last - first < kMaxRange;
}

} // namespace

VendorFirmware::VendorFirmware(std::string kindName) : m_kindName(std::move(kindName)) {}

uint16_t VendorFirmware::Checksum(const uint8_t* report)
{
    uint32_t sum = 0;
    for (size_t i = 3; i < kReportSize; ++i)
        sum += report[i];
    return static_cast<uint16_t>(sum);
}

void VendorFirmware::Layout(const FirmwareLayout& layout)
{
    std::vector<uint8_t>& info = m_memory.Add("info", kInfoSize);
    info[0] = static_cast<uint8_t>(layout.kind);
    info[1] = 0x02; // firmware version 1.02
    info[2] = 0x01;
    info[3] = kSlotCount;
    info[4] = static_cast<uint8_t>(std::min<size_t>(layout.ledCount, 255));
    info[5] = static_cast<uint8_t>(layout.keyEntries);
    info[6] = static_cast<uint8_t>(layout.macroUnits);
    info[11] = layout.dpiStep;
    info[12] = static_cast<uint8_t>(layout.maxDpiSlider & 0xFF);
    info[13] = static_cast<uint8_t>(layout.maxDpiSlider >> 8);
    info[14] = static_cast<uint8_t>(layout.minDpi & 0xFF);
    info[15] = static_cast<uint8_t>(layout.minDpi >> 8);

    m_memory.Add("config", layout.configSize);
    m_memory.Add("keymap", layout.keyEntries ? kKeymapSize : 0);
    m_memory.Add("keyindex", layout.keyEntries ? kKeyIndexSize : 0);
    m_memory.Add("macros", layout.macroUnits * 128);
    m_memory.Add("recoil", layout.recoil ? layout.macroUnits * 128 : 0);
    m_memory.Add("colours", layout.colourSlots * kColourSlotSize);
    m_memory.Add("frame", layout.ledCount ? kFrameSize : 0);
    m_memory.Add("status", kStatusSize);
    std::vector<uint8_t>& state = m_memory.Add("state", kStateSize);
    state[kStateLinked] = 1;
}

void VendorFirmware::PutLighting(std::vector<uint8_t>& area, size_t at, const Lighting& l)
{
    const uint8_t bytes[8] = {l.effect, l.brightness, static_cast<uint8_t>(4 - l.speedLevel), l.direction,
                              l.multicolour, l.red, l.green, l.blue};
    std::memcpy(area.data() + at + 1, bytes, sizeof bytes);
}

const VendorFirmware::Lighting& VendorFirmware::FactoryLighting(int slot)
{
    // Slot 0 is what a default profile holds: a multicolour wave at full brightness, middle speed,
    // in azure (0, 160, 255).
    static const Lighting slots[kSlotCount] = {
        {0, 4, 2, 0, 1, 0, 160, 255},   // wave
        {3, 4, 2, 0, 0, 0, 255, 0},     // static green
        {2, 4, 2, 0, 0, 0, 0, 255},     // breathing blue
        {1, 4, 2, 0, 1, 255, 255, 255}, // spectrum
    };
    return slots[slot < 0 || slot >= kSlotCount ? 0 : slot];
}

void VendorFirmware::SealReply(uint8_t* reply)
{
    const uint16_t sum = Checksum(reply);
    reply[1] = static_cast<uint8_t>(sum & 0xFF);
    reply[2] = static_cast<uint8_t>(sum >> 8);
}

bool VendorFirmware::ReadArea(const char* name, size_t offset, size_t length, uint8_t* out)
{
    const std::vector<uint8_t>& area = m_memory.Area(name);
    if (area.empty() || offset + length > area.size())
        return false;
    std::memcpy(out, area.data() + offset, length);
    return true;
}

bool VendorFirmware::WriteArea(const char* name, size_t offset, size_t length, const uint8_t* data)
{
    std::vector<uint8_t>& area = m_memory.Area(name);
    if (area.empty() || offset + length > area.size())
        return false;
    std::memcpy(area.data() + offset, data, length);
    return true;
}

bool VendorFirmware::Serve(const uint8_t* request, uint8_t* reply)
{
    const uint8_t command = request[3];
    const size_t length = request[4];
    const size_t offset = request[5] | (request[6] << 8);
    const uint8_t* data = request + 8;
    uint8_t* out = reply + 8;

    if (Checksum(request) != static_cast<uint16_t>(request[1] | (request[2] << 8)))
        return false;
    if (length > kChunk)
        return false;

    std::vector<uint8_t>& state = m_memory.Area("state");
    switch (command) {
    case 1: state[kStateBatch] = 1; return true;
    case 2: state[kStateBatch] = 0; return true;
    case 3: return ReadArea("info", offset, length, out);
    case 5: return ReadArea("config", offset, length, out);
    case 6: return WriteConfig(offset, length, data);
    case 7: return ReadArea("keymap", offset, length, out);   // bank 1 (offset 512 on) does not exist
    case 9: return WriteArea("keymap", offset, length, data);
    case 11: return WriteArea("colours", offset, length, data);
    case 18: return WriteArea("frame", offset, length, data);
    case 21:
        return MacroMemory::AcceptChunk(m_memory.Area("macros").size(), offset, length, data, m_macroImageLength) &&
               WriteArea("macros", offset, length, data);
    case 23: return WriteArea("recoil", offset, length, data);
    case 26: return ReadArea("status", offset, length, out);
    case 27: return ReadArea("keyindex", offset, length, out);
    case 28: state[kStateHostLighting] = 1; return true;
    case 170:
        if (!m_receiver)
            return false;
        out[0] = state[kStateLinked] ? 0xFF : 0x00;
        return true;
    default: return false;
    }
}

SimAction VendorFirmware::OnOutputReport(const std::vector<uint8_t>& report, std::vector<SimReply>& replies)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (report.empty())
        return SimAction::None;
    if (report[0] != kReportId) {
        OnOtherReport(report);
        return SimAction::None;
    }
    ++m_reports;
    const FaultEffect fault = m_faults.Take(m_reports);
    if (fault.unplug)
        return SimAction::Unplug;

    uint8_t request[kReportSize] = {};
    std::memcpy(request, report.data(), std::min(report.size(), kReportSize));
    uint8_t reply[kReportSize] = {};
    reply[0] = kReportId;
    std::memcpy(reply + 3, request + 3, 4); // command, length, offset
    if (fault.refuseStatus >= 0)
        reply[7] = static_cast<uint8_t>(fault.refuseStatus);
    else
        reply[7] = Serve(request, reply) ? kAccepted : kRefused;
    SealReply(reply);

    const int delay = fault.delayMs; // every report of the answer comes that late, in order
    for (int i = 0; i < fault.staleReplies; ++i) {
        // A report left over from another command, as when a lighting reply crosses a configuration one.
        uint8_t stale[kReportSize] = {};
        stale[0] = kReportId;
        stale[3] = request[3] == 18 ? 5 : 18;
        std::memset(stale + 8, kStaleData, kReportSize - 8);
        SealReply(stale);
        replies.push_back({std::vector<uint8_t>(stale, stale + kReportSize), delay});
    }
    replies.push_back({std::vector<uint8_t>(reply, reply + kReportSize), delay});
    return SimAction::None;
}

void VendorFirmware::SetEvents(SimDeviceEvents* events)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_events = events;
}

void VendorFirmware::Notice(uint16_t usage)
{
    // Called without the lock: the transport may call back into the firmware.
    SimDeviceEvents* events;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        events = m_events;
    }
    if (events)
        events->SendNotice(usage);
}

std::string VendorFirmware::SetActiveSlot(int slot)
{
    if (slot < 0 || slot >= kSlotCount)
        return "slot must be 0 to " + std::to_string(kSlotCount - 1);
    std::vector<uint8_t>& config = m_memory.Area("config");
    if (config.empty())
        return "no configuration memory";
    config[0] = static_cast<uint8_t>(slot);
    return {};
}

SimControlAnswer VendorFirmware::RunControl(const std::vector<std::string>& args)
{
    const auto refused = [](std::string text) { return SimControlAnswer{false, std::move(text)}; };
    if (args.empty())
        return refused("unknown command");
    const std::string& verb = args[0];
    long n = 1;
    auto number = [&](size_t index, long fallback, long low, long high, long& value) {
        value = fallback;
        if (args.size() <= index)
            return true;
        return ParseInt(args[index], value) && value >= low && value <= high;
    };

    int notice = -1;
    std::string answer;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        long first = 1, last = 1;
        auto range = [&](size_t index) { return args.size() <= index || ParseReportRange(args[index], first, last); };
        if (verb == "refuse") {
            int status = 0;
            if (args.size() < 2 || !ParseStatus(args[1], status) || !range(2))
                return refused("usage: refuse ff|fe [N|N..M]");
            for (long k = first; k <= last; ++k)
                m_faults.Arm(FirmwareFault::Kind::Refuse, m_reports, static_cast<uint64_t>(k), status);
            answer = "ok";
        } else if (verb == "delay") {
            long ms = 0;
            if (!number(1, -1, 0, 600000, ms) || ms < 0 || !range(2))
                return refused("usage: delay MS [N|N..M]");
            for (long k = first; k <= last; ++k)
                m_faults.Arm(FirmwareFault::Kind::Delay, m_reports, static_cast<uint64_t>(k), static_cast<int>(ms));
            answer = "ok";
        } else if (verb == "mismatch") {
            long count = 1;
            if (!number(1, 1, 1, 1000000, n) || !number(2, 1, 1, 2, count))
                return refused("usage: mismatch [N] [1|2]");
            m_faults.Arm(FirmwareFault::Kind::Mismatch, m_reports, n, static_cast<int>(count));
            answer = "ok";
        } else if (verb == "unplug") {
            if (!number(1, 1, 1, 1000000, n))
                return refused("usage: unplug [N]");
            m_faults.Arm(FirmwareFault::Kind::Unplug, m_reports, n, 0);
            answer = "ok";
        } else if (verb == "help") {
            answer = "refuse ff|fe [N|N..M] | delay MS [N|N..M] | mismatch [N] [1|2] | unplug [N] | clear | faults | reports\n"
                     "profile [S] | button | dpi-button | notice USAGE | link on|off\n"
                     "battery P | charging S | phone T | status | info | state";
            const std::string extra = OnControl(args);
            if (!extra.empty())
                answer += "\n" + extra;
        } else if (verb == "clear") {
            m_faults.Clear();
            answer = "ok";
        } else if (verb == "faults") {
            answer = m_faults.Describe();
        } else if (verb == "reports") {
            answer = std::to_string(m_reports);
        } else if (verb == "profile" || verb == "button") {
            const std::vector<uint8_t>& config = m_memory.Area("config");
            const long next = config.empty() ? 0 : (config[0] + 1) % kSlotCount;
            long slot = next;
            if (verb == "button" ? args.size() > 1 : !number(1, next, 0, kSlotCount - 1, slot))
                return refused("usage: profile [0-" + std::to_string(kSlotCount - 1) + "]");
            answer = SetActiveSlot(static_cast<int>(slot));
            if (!answer.empty())
                return refused(answer);
            notice = kNoticeProfile;
            answer = "slot " + std::to_string(slot);
        } else if (verb == "dpi-button") {
            notice = kNoticeDpi;
            answer = "ok";
        } else if (verb == "notice") {
            long usage = 0;
            if (args.size() < 2 || !number(1, 0, 0, 0xFFFF, usage))
                return refused("usage: notice USAGE");
            notice = static_cast<int>(usage);
            answer = "ok";
        } else if (verb == "link") {
            if (!m_receiver)
                return refused("not a receiver");
            if (args.size() < 2 || (args[1] != "on" && args[1] != "off"))
                return refused("usage: link on|off");
            m_memory.Area("state")[kStateLinked] = args[1] == "on";
            answer = "ok";
        } else if (verb == "battery" || verb == "charging" || verb == "phone") {
            long value = 0;
            if (args.size() < 2 || !number(1, 0, 0, 255, value))
                return refused("usage: " + verb + " VALUE");
            const size_t at = verb == "battery" ? kStatusBattery : verb == "charging" ? kStatusCharging : kStatusPhone;
            m_memory.Area("status")[at] = static_cast<uint8_t>(value);
            answer = "ok";
        } else if (verb == "status" || verb == "info" || verb == "state") {
            const std::vector<uint8_t>& area = m_memory.Area(verb);
            for (size_t i = 0; i < area.size(); ++i) {
                static const char digits[] = "0123456789abcdef";
                if (i)
                    answer += ' ';
                answer += digits[area[i] >> 4];
                answer += digits[area[i] & 15];
            }
        } else {
            answer = OnControl(args);
            if (answer.empty())
                return refused("unknown command");
        }
    }
    if (notice >= 0)
        Notice(static_cast<uint16_t>(notice));
    return {true, answer};
}

std::vector<uint8_t> VendorFirmware::SaveMemory() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_memory.Save();
}

bool VendorFirmware::LoadMemory(const std::vector<uint8_t>& image)
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_memory.Load(image);
}

std::string VendorFirmware::DumpMemory() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    std::string out = m_kindName + "\n" + m_memory.Dump();
    if (!m_memory.Area("macros").empty())
        out += "stored macros\n" + MacroMemory::Decode(m_memory.Area("macros"));
    return out;
}

std::vector<uint8_t> VendorFirmware::Area(const std::string& name) const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_memory.Area(name);
}

uint64_t VendorFirmware::ReportCount() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_reports;
}

bool VendorFirmware::HostLighting() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_memory.Area("state")[kStateHostLighting] != 0;
}

bool VendorFirmware::Linked() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_memory.Area("state")[kStateLinked] != 0;
}

int VendorFirmware::ActiveSlot() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    const std::vector<uint8_t>& config = m_memory.Area("config");
    return config.empty() ? 0 : config[0];
}

} // namespace nqsim
