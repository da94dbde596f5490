#pragma once
// The vendor command channel of one device: 64-byte output reports with report ID 4 answered by
// one 64-byte input report each.
//
// Request: [0] 4, [1..2] checksum (low byte first), [3] command, [4] data bytes in this report
// (0..56), [5..6] offset (low byte first), [7] 0, [8..63] data. The checksum is the 16-bit sum of
// bytes 3..63 exactly as sent. A chunked operation clears its request buffer once, so a short last
// chunk still carries the tail of the chunk before it (and the checksum covers it).
// Reply: [3] echoed command, [7] status (0xFF refused -> -102, 0xFE refused -> -103), [8..63] data.
//
// Locks: transactionLock around the write of a request and, separately, around the read of its
// reply, so another thread's request may be written in between; the reply's byte 3 then tells
// whose it is, and a reply read by the wrong thread is set aside for its own transaction; commandLock around each transaction of a configuration command; lightingLock around each
// transaction of commands 11 and 18. Lock order: operation lock, then transactionLock.
// While any Transact runs (busy), lighting stream chunks are dropped instead of queued.
//
// Every operation returns a Result code (common/Result.h); QueryLink and SetTransferLength a bool.
#include "common/Result.h"
#include "hid/DeviceInfo.h"
#include "hid/HidDevice.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

namespace nq {

enum CommandCode : uint8_t {
    CMD_BATCH_BEGIN = 1,
    CMD_BATCH_END = 2,
    CMD_READ_DEVICE_INFO = 3,
    CMD_READ_CONFIG = 5,
    CMD_WRITE_CONFIG = 6,
    CMD_READ_KEYMAP = 7,
    CMD_WRITE_KEYMAP = 9,
    CMD_WRITE_KEY_COLOURS = 11,
    CMD_STREAM_LIGHTING = 18,
    CMD_WRITE_MACROS = 21,
    CMD_WRITE_RECOIL = 23,
    CMD_READ_STATUS = 26,
    CMD_READ_KEY_INDEX = 27,
    CMD_HOST_LIGHTING = 28,
    CMD_QUERY_LINK = 170,
};

class CommandChannel {
public:
    static constexpr size_t kReportSize = 64;
    static constexpr uint8_t kReportId = 4;
    static constexpr size_t kHeaderSize = 8;
    static constexpr uint8_t kChunkSize = 56;
    static constexpr uint16_t kMaxTransferLength = 512;
    static constexpr uint32_t kTimeoutMs = 1000;
    static constexpr uint32_t kWirelessTimeoutMs = 5000;
    static constexpr uint8_t kStatusRefusedFF = 0xFF;
    static constexpr uint8_t kStatusRefusedFE = 0xFE;
    static constexpr uint8_t kLinked = 0xFF;

    CommandChannel();
    ~CommandChannel();
    CommandChannel(const CommandChannel&) = delete;
    CommandChannel& operator=(const CommandChannel&) = delete;

    // The checksum of a 64-byte request: sum of bytes 3..63, modulo 65536.
    static uint16_t Checksum(const uint8_t* report);
    // Clears `report` (64 bytes) and fills the header and checksum of a request without data.
    static void BuildRequest(uint8_t* report, uint8_t command, uint8_t length, uint16_t offset);
    // Recomputes bytes 1..2 of a filled request.
    static void StoreChecksum(uint8_t* report);

    // The single primitive: writes one request (up to 64 bytes, zero-padded) and reads its reply.
    // A reply whose byte 3 differs from the request's leads to one more read, never more.
    int Transact(const uint8_t* request, size_t requestLength, uint8_t* reply, size_t replyLength,
                 size_t* count = nullptr);
    // Lighting stream transaction: no log, no busy flag, no command check, always 1000 ms. It reads
    // once more only when the report it read is the reply another waiting transaction expects.
    int TransactQuiet(const uint8_t* request, size_t requestLength, uint8_t* reply, size_t replyLength,
                      size_t* count = nullptr);

    int BatchBegin();
    int BatchEnd(); // waits 10 ms before sending
    int EnterHostLighting();
    int ReadDeviceInfo(DeviceInfo& info);
    int ReadConfig(uint8_t* out, size_t length, uint16_t offset);
    int WriteConfig(const uint8_t* data, size_t length, uint16_t offset);
    int ReadKeymap(uint8_t* out);                      // TransferLength() bytes
    int ReadKeyIndex(uint8_t* out);                    // TransferLength() / 3 bytes
    int WriteKeymap(const uint8_t* data, int bank);    // TransferLength() bytes; bank must be 0
    int WriteMacros(const uint8_t* image, size_t length);
    int WriteRecoil(const uint8_t* image, size_t length);
    int WriteKeyColours(const uint8_t* data, size_t length, int slot, size_t slotSize);
    int StreamLighting(const uint8_t* frame, size_t length);
    // The lighting stream of a thread that must not sleep twice per frame: each chunk is written
    // and its reply left to arrive; the reply is read before the next chunk goes out (by then it
    // has long arrived), or set aside by a transaction that reads it first. Returns how the
    // previous frame fared (1, a refusal, 0 when its reply did not come within 1000 ms of its
    // request); the chunks of a busy channel are dropped as with StreamLighting.
    int StreamLightingDeferred(const uint8_t* frame, size_t length);
    // The same for a thread that may not wait at all (the UI thread): a one-chunk frame is sent
    // only when no other thread holds the lighting or transaction lock and the reply of the frame
    // before is in (or set aside, or past its time limit). Otherwise nothing is sent and
    // `wouldWait` is set: the caller hands the frame to a thread that may wait.
    int TryStreamLightingNow(const uint8_t* frame, size_t length, bool& wouldWait);
    int ReadStatus(uint8_t* out, size_t length, uint16_t offset); // one report, length <= 56
    bool QueryLink();

    // Length of the key map operations; refused (false, unchanged) above 512.
    bool SetTransferLength(size_t n);
    uint16_t TransferLength() const { return m_transferLength.load(); }

    // Connection logic: opens the vendor interface (read, write, overlapped, not exclusive) under
    // transactionLock and sets isOpen on success. A channel already open is closed first.
    bool Open(const std::string& path);
    // Clears isOpen, then closes the interface; this wakes a transfer waiting on it.
    void Close();

    bool IsOpen() const { return m_isOpen.load(); }
    void SetOpen(bool open) { m_isOpen.store(open); }
    bool WirelessLink() const { return m_wirelessLink.load(); }
    void SetWirelessLink(bool wireless) { m_wirelessLink.store(wireless); }
    bool LightingSynced() const { return m_lightingSynced.load(); }
    void SetLightingSynced(bool synced) { m_lightingSynced.store(synced); }
    // True while any Transact runs, or while the flag was raised with SetBusy.
    bool Busy() const { return m_running.load() > 0 || m_busy.load(); }
    void SetBusy(bool busy) { m_busy.store(busy); }
    // Time limit of each write and read of Transact: 5000 ms on a wireless link, else 1000 ms.
    uint32_t TimeoutMs() const { return WirelessLink() ? kWirelessTimeoutMs : kTimeoutMs; }
    uint8_t ChunkSize() const { return kChunkSize; }

    HidDevice& Hid() { return m_hid; }
    std::mutex& TransactionLock() { return m_transactionLock; }
    std::mutex& CommandLock() { return m_commandLock; }
    std::mutex& LightingLock() { return m_lightingLock; }

private:
    enum class LockKind { Command, Lighting, None };
    enum class Direction { Read, Write };

    // Writes one request and reads its reply, both under transactionLock (taken separately).
    int Exchange(const uint8_t* out, uint8_t* in, uint32_t timeout, bool quiet, size_t& got);
    // Replies read by a thread they do not belong to wait here for their own transaction.
    void Park(const uint8_t* reply);
    bool TakeParked(uint8_t command, uint8_t* reply);
    int SimpleCommand(uint8_t command);
    // Runs one chunked operation: total bytes from base, `data` for writes or `out` for reads.
    int Chunked(uint8_t command, LockKind lock, uint16_t base, size_t total, const uint8_t* data, uint8_t* out);
    int LockedTransact(LockKind lock, const uint8_t* request, uint8_t* reply);
    // Reads the reply of a deferred stream chunk still outstanding (lightingLock held).
    int CollectStreamReply();
    // With lightingLock and transactionLock held: takes the owed stream reply into `result`.
    // Without mayWait it only takes what is there, and returns false when the reply is not in yet
    // and its time limit has not passed.
    bool TakeOwedStreamReply(bool mayWait, int& result);
    static void BuildStreamChunk(uint8_t* request, const uint8_t* data, size_t n, size_t offset);
    // With both locks held: writes a stream chunk and records that its reply is owed.
    bool WriteStreamChunk(const uint8_t* request);
    std::mutex* LockFor(LockKind lock);
    static int StatusResult(const uint8_t* reply);
    static void LogReport(const char* title, const uint8_t* report);

    HidDevice m_hid;
    std::mutex m_transactionLock;
    std::mutex m_commandLock;
    std::mutex m_lightingLock;
    std::atomic<uint16_t> m_transferLength{kMaxTransferLength};
    std::atomic<bool> m_busy{false};
    std::atomic<int> m_running{0};
    std::atomic<bool> m_isOpen{false};
    std::atomic<bool> m_lightingSynced{false};
    std::atomic<bool> m_wirelessLink{false};

    // Guarded by transactionLock: requests written and not yet answered, per command code, and
    // replies set aside for them.
    struct ParkedReply {
        bool full = false;
        uint8_t bytes[kReportSize] = {};
    };
    uint8_t m_inFlight[256] = {};
    ParkedReply m_parked[256];
    // A deferred stream chunk whose reply is not read yet, and when it was written (guarded by
    // lightingLock; the in-flight count above by transactionLock).
    bool m_streamOutstanding = false;
    std::chrono::steady_clock::time_point m_streamSentAt;
    uint32_t m_streamSentOpen = 0;
    std::atomic<uint32_t> m_openCount{0}; // Open calls so far: a reply owed before a reopen is forgotten
};

} // namespace nq
