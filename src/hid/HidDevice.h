#pragma once
// One HID interface (one top-level collection), on hidraw or on the simulator's sockets.
// The same object lists the interface paths of the machine and opens one of them.
#include "hid/HidReportDescriptor.h"
#include "hid/NodeTraffic.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace nq {

constexpr uint32_t kHidInfinite = 0xFFFFFFFFu;

struct HidAttributes {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t versionNumber = 0;
};

// One decoded field of a report.
struct HidDataItem {
    bool isButtonData = false;
    uint8_t reserved = 0;
    uint16_t usagePage = 0;
    uint32_t status = 0;
    uint32_t reportId = 0;
    bool isDataSet = false;
    struct {
        uint32_t usageMin = 0;
        uint32_t usageMax = 0;
        uint32_t maxUsageLength = 0;
        std::vector<uint16_t> usages;
    } button;
    struct {
        uint16_t usage = 0;
        uint16_t reserved = 0;
        uint32_t rawValue = 0;
        int32_t scaledValue = 0;
    } value;
};

class HidDevice {
public:
    HidDevice();
    ~HidDevice();
    HidDevice(const HidDevice&) = delete;
    HidDevice& operator=(const HidDevice&) = delete;

    // Enumeration: the paths of all interfaces present (one per top-level collection).
    bool Enumerate();
    std::optional<std::string> NextPath();
    void FreePaths();

    bool Open(const std::string& path, bool read, bool write, bool overlapped, bool exclusive);
    void Close();
    bool IsOpen() const;

    // Whole reports with a time limit in ms (kHidInfinite allowed). Close() from another thread
    // aborts a waiting transfer. bytesTransferred receives the byte count (0 on failure).
    bool Read(size_t length, uint8_t* buffer, uint32_t timeoutMs, size_t* bytesTransferred = nullptr);
    bool Write(size_t length, const uint8_t* buffer, uint32_t timeoutMs, size_t* bytesTransferred = nullptr);
    // The synchronous output-report call (HIDIOCSOUTPUT where the kernel offers it, else write()).
    bool SetOutputReport(const uint8_t* buffer, size_t length);

    bool DecodeReport(HidReportType type, const uint8_t* report, size_t length, std::vector<HidDataItem>& items);

    // A node hands every input report to every open handle, so a reader of one collection also
    // wakes for the reports of the node's other collections (a notice reader for every command
    // reply). With a pause set, a read that has just thrown such reports away and finds the node
    // empty waits this long (still woken at once by Close) before it listens again; whatever came
    // meanwhile is then read in one go. Its own reports are at most that much later. 0: no pause.
    // With `traffic` (counted by another reader of the node, see CountTraffic) the pause also ends
    // once that reader has read `wakeAfterReports` reports, so the kernel's queue of 64 unread
    // reports of this handle never fills during a pause.
    void SetForeignReportPause(uint32_t ms, std::shared_ptr<NodeTraffic> traffic = {}, uint32_t wakeAfterReports = 0)
    {
        m_foreignReportPauseMs = ms;
        m_pauseTraffic = std::move(traffic);
        m_pauseWakeAfter = wakeAfterReports;
    }
    // Every report this handle reads (of any collection) is counted into `traffic`. Set before
    // the handle is used from other threads.
    void CountTraffic(std::shared_ptr<NodeTraffic> traffic) { m_countedTraffic = std::move(traffic); }

    // Presence test of a path (the node still exists), without opening it.
    static bool IsPresent(const std::string& path);
    // Top-level collection of the open interface (its capabilities, report IDs, decoding data).
    const HidTopCollection* Collection() const;

    static uint16_t ParseVendorId(const std::string& path);
    static uint16_t ParseProductId(const std::string& path);
    static uint16_t ParseInterfaceNumber(const std::string& path);
    static uint16_t ParseCollectionNumber(const std::string& path);

    const std::string& Path() const { return m_path; }
    const HidCaps& Caps() const { return m_caps; }
    const HidAttributes& Attributes() const { return m_attributes; }
    uint16_t InterfaceNumber() const { return m_interfaceNumber; }
    uint16_t CollectionNumber() const { return m_collectionNumber; }
    std::vector<HidDataItem>& DataItems(HidReportType type) { return m_items[static_cast<int>(type)]; }
    std::vector<uint8_t>& ReportBuffer(HidReportType type) { return m_reportBuffers[static_cast<int>(type)]; }
    const std::vector<HidButtonCaps>& ButtonCaps(HidReportType type) const { return m_buttonCaps[static_cast<int>(type)]; }
    const std::vector<HidValueCaps>& ValueCaps(HidReportType type) const { return m_valueCaps[static_cast<int>(type)]; }

private:
    struct Impl;
    Impl* m_impl = nullptr; // platform state: file descriptor, abort eventfd, collection filter, ...

    std::vector<std::string> m_paths;
    size_t m_cursor = 0;
    bool m_openRead = false, m_openWrite = false, m_overlapped = false, m_exclusive = false;
    std::string m_path;
    HidCaps m_caps;
    HidAttributes m_attributes;
    std::vector<uint8_t> m_reportBuffers[3];
    std::vector<HidButtonCaps> m_buttonCaps[3];
    std::vector<HidValueCaps> m_valueCaps[3];
    std::vector<HidDataItem> m_items[3];
    uint16_t m_interfaceNumber = 0;
    uint16_t m_collectionNumber = 0;
    uint32_t m_foreignReportPauseMs = 0;
    uint32_t m_pauseWakeAfter = 0;
    std::shared_ptr<NodeTraffic> m_pauseTraffic;
    std::shared_ptr<NodeTraffic> m_countedTraffic;
};

} // namespace nq
