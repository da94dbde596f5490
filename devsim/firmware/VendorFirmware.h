#pragma once
// The firmware behind a simulated device's vendor interface: the 64-byte command protocol (report
// ID 4) over the device's memory. Each device kind derives from it and lays out its memory and
// factory contents; this class checks every request's checksum, echoes its command code, answers
// reads from memory, stores writes, refuses what the device cannot do, and plays the armed faults.
//
// Request: [0] 4, [1..2] checksum of bytes 3..63 (low byte first), [3] command, [4] data bytes
// (0..56), [5..6] offset, [8..] data. Reply: [0] 4, [1..2] checksum, [3] command, [4..6] as asked,
// [7] status (0 accepted, 0xFF refused), [8..] data read.
//
// Control commands (nq501-devsim fw DEVICE ..., and tests):
//   refuse ff|fe [N]    refuse the N-th report from now (default the next) with status 0xFF/0xFE
//                       (the only refusals there are; 0xff/255 and 0xfe/254 are taken too);
//                       N..M refuses the N-th to the M-th report (at most 100000)
//   delay MS [N]        answer the N-th report (or the N-th to M-th with N..M) MS milliseconds late
//   mismatch [N] [K]    answer the N-th report first with K (1 or 2) stale reports of another command
//   unplug [N]          leave the bus while the N-th report is sent (no reply)
//   clear               disarm every fault
//   profile [S]         switch to on-board slot S, by default the next one (notice 1025)
//   button              the on-board profile button: the next slot (notice 1025)
//   dpi-button          press the DPI button (notice 1028)
//   notice USAGE        send any consumer-control notice
//   link on|off         (receiver mouse) the mouse is in reach of its receiver or not
//   battery P | charging S | phone T   status block values
//   status | info | faults | reports | state   print what the firmware holds
//   help                this list in short
#include "devsim/SimFirmware.h"
#include "devsim/firmware/FirmwareFaults.h"
#include "devsim/firmware/FirmwareMemory.h"

#include <array>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace nqsim {

// Sizes and figures of one device kind's memory.
struct FirmwareLayout {
    int kind = 0;              // catalogue device kind, kept in byte 0 of the information block
    size_t configSize = 256;   // configuration memory
    size_t keyEntries = 0;     // key map entries (3 bytes each); 0: no key map, no key index
    size_t macroUnits = 0;     // macro memory in 128-byte units
    bool recoil = false;       // recoil memory, as large as the macro memory
    size_t colourSlots = 0;    // per-key colour slots of 512 bytes
    size_t ledCount = 0;       // 0: no live lighting frame
    uint8_t dpiStep = 0;
    uint16_t maxDpiSlider = 0;
    uint16_t minDpi = 0;
};

class VendorFirmware : public SimInterfaceHandler {
public:
    static constexpr size_t kReportSize = 64;
    static constexpr uint8_t kReportId = 4;
    static constexpr uint8_t kChunk = 56;
    static constexpr uint8_t kAccepted = 0x00;
    static constexpr uint8_t kRefused = 0xFF;
    static constexpr size_t kInfoSize = 34;
    static constexpr size_t kKeymapSize = 512;    // one bank
    static constexpr size_t kKeyIndexSize = 170;  // one LED number per key slot
    static constexpr size_t kColourSlotSize = 512;
    static constexpr size_t kFrameSize = 512;
    static constexpr size_t kStatusSize = 16;
    static constexpr int kSlotCount = 4;          // on-board profile slots
    static constexpr size_t kStateSize = 4;
    // "state" area bytes.
    static constexpr size_t kStateHostLighting = 0;
    static constexpr size_t kStateLinked = 1;
    static constexpr size_t kStateBatch = 2;

    // Status block bytes.
    static constexpr size_t kStatusBattery = 0;
    static constexpr size_t kStatusCharging = 1;
    static constexpr size_t kStatusWireless = 3;
    static constexpr size_t kStatusPhone = 5;

    SimAction OnOutputReport(const std::vector<uint8_t>& report, std::vector<SimReply>& replies) override;
    void SetEvents(SimDeviceEvents* events) override;
    SimControlAnswer RunControl(const std::vector<std::string>& args) override;
    std::vector<uint8_t> SaveMemory() const override;
    bool LoadMemory(const std::vector<uint8_t>& image) override;
    std::string DumpMemory() const override;

    // A copy of one memory area ("info", "config", "keymap", "keyindex", "macros", "recoil",
    // "colours", "frame", "status", "state", and "leds" on the headset).
    std::vector<uint8_t> Area(const std::string& name) const;
    uint64_t ReportCount() const;
    bool HostLighting() const;
    bool Linked() const;
    int ActiveSlot() const;

    // Checksum of a 64-byte report: sum of bytes 3..63.
    static uint16_t Checksum(const uint8_t* report);

protected:
    // `kindName` names the device in dumps and the control texts.
    explicit VendorFirmware(std::string kindName);

    // Memory layout, called once by the derived constructor: the information block and the areas,
    // all zero but the information block and the status block's defaults.
    void Layout(const FirmwareLayout& layout);
    // A receiver answers the link query (command 170); other devices refuse it.
    void SetReceiver(bool receiver) { m_receiver = receiver; }

    // Reports other than the vendor report (the headset's LED reports). Called with the lock held.
    virtual void OnOtherReport(const std::vector<uint8_t>& report) { (void)report; }
    // A configuration write (command 6) of `length` bytes at `offset`; false refuses it. By
    // default any write inside the configuration memory is stored. Lock held.
    virtual bool WriteConfig(size_t offset, size_t length, const uint8_t* data)
    {
        return WriteArea("config", offset, length, data);
    }
    // Kind-specific control commands; return "" when the command is not known. Lock held.
    virtual std::string OnControl(const std::vector<std::string>& args) { (void)args; return {}; }

    // Lighting fields of a settings record, bytes 1..8 for every kind: effect, brightness, speed
    // (stored as 4 - level), direction, multicolour flag, red, green, blue.
    struct Lighting {
        uint8_t effect, brightness, speedLevel, direction, multicolour, red, green, blue;
    };
    static void PutLighting(std::vector<uint8_t>& area, size_t at, const Lighting& lighting);
    // The factory lighting of on-board slot s of the mouse, the mousepad and the headset.
    static const Lighting& FactoryLighting(int slot);

    // Copies `length` bytes into an area; false (nothing stored) when they do not fit.
    bool WriteArea(const char* name, size_t offset, size_t length, const uint8_t* data);

    FirmwareMemory& Memory() { return m_memory; }
    const FirmwareMemory& Memory() const { return m_memory; }
    std::mutex& Lock() const { return m_lock; }

private:
    // Fills `reply` for one request; returns false when the request is refused.
    bool Serve(const uint8_t* request, uint8_t* reply);
    bool ReadArea(const char* name, size_t offset, size_t length, uint8_t* out);
    static void SealReply(uint8_t* reply);
    std::string SetActiveSlot(int slot);
    void Notice(uint16_t usage);

    mutable std::mutex m_lock;
    std::string m_kindName;
    FirmwareMemory m_memory;
    FirmwareFaults m_faults;
    SimDeviceEvents* m_events = nullptr;
    uint64_t m_reports = 0;
    bool m_receiver = false;
    size_t m_macroImageLength = 0; // the macro image announced by its first chunk
};

} // namespace nqsim
