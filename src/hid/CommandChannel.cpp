#include "hid/CommandChannel.h"

#include "common/DebugLog.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

namespace nq {
namespace {

constexpr uint8_t kOffsetLow = 5;
constexpr uint8_t kOffsetHigh = 6;
constexpr uint8_t kLengthByte = 4;
constexpr uint8_t kCommandByte = 3;
constexpr uint8_t kStatusByte = 7;
constexpr uint8_t kDataByte = 8;
// Offsets are 16 bit on the wire; a transfer that would run past them would wrap to the start of
// the device's memory, so it is refused before anything is sent.
constexpr size_t kAddressSpace = 0x10000;

// Marks a Transact as running for as long as it lives.
class RunningMark {
public:
    explicit RunningMark(std::atomic<int>& counter) : m_counter(counter) { ++m_counter; }
    ~RunningMark() { --m_counter; }
    RunningMark(const RunningMark&) = delete;
    RunningMark& operator=(const RunningMark&) = delete;

private:
    std::atomic<int>& m_counter;
};

} // namespace

CommandChannel::CommandChannel() = default;

CommandChannel::~CommandChannel()
{
    Close();
}

uint16_t CommandChannel::Checksum(const uint8_t* report)
{
    uint32_t sum = 0;
    for (size_t i = kCommandByte; i < kReportSize; ++i)
        sum += report[i];
    return static_cast<uint16_t>(sum & 0xFFFF);
}

void CommandChannel::StoreChecksum(uint8_t* report)
{
    uint16_t sum = Checksum(report);
    report[1] = static_cast<uint8_t>(sum & 0xFF);
    report[2] = static_cast<uint8_t>(sum >> 8);
}

void CommandChannel::BuildRequest(uint8_t* report, uint8_t command, uint8_t length, uint16_t offset)
{
    std::memset(report, 0, kReportSize);
    report[0] = kReportId;
    report[kCommandByte] = command;
    report[kLengthByte] = length;
    report[kOffsetLow] = static_cast<uint8_t>(offset & 0xFF);
    report[kOffsetHigh] = static_cast<uint8_t>(offset >> 8);
    report[kStatusByte] = 0;
    StoreChecksum(report);
}

void CommandChannel::LogReport(const char* title, const uint8_t* r)
{
    if (!DebugLogEnabled())
        return;
    DebugOut(title);
    for (int half = 0; half < 2; ++half) {
        const uint8_t* b = r + half * 32;
        DebugOutF("%02x %02x %02x %02x   %02x %02x %02x %02x   %02x %02x %02x %02x   %02x %02x %02x %02x  "
                  "%02x %02x %02x %02x  %02x %02x %02x %02x  %02x %02x %02x %02x  %02x %02x %02x %02x",
                  b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], b[10], b[11], b[12], b[13],
                  b[14], b[15], b[16], b[17], b[18], b[19], b[20], b[21], b[22], b[23], b[24], b[25], b[26],
                  b[27], b[28], b[29], b[30], b[31]);
    }
}

int CommandChannel::Transact(const uint8_t* request, size_t requestLength, uint8_t* reply, size_t replyLength,
                             size_t* count)
{
    RunningMark running(m_running);
    if (count)
        *count = 0;
    if (!IsOpen())
        return kNotOpen;

    uint8_t out[kReportSize] = {};
    if (request)
        std::memcpy(out, request, std::min(requestLength, kReportSize));
    LogReport("命令", out);
    uint8_t in[kReportSize] = {};
    size_t got = 0;
    const int result = Exchange(out, in, TimeoutMs(), false, got);
    if (result == kWriteFailed)
        return result;
    LogReport("返回", in);
    if (reply && replyLength)
        std::memcpy(reply, in, std::min(replyLength, kReportSize));
    if (count)
        *count = std::min(got, replyLength);
    return result;
}

int CommandChannel::TransactQuiet(const uint8_t* request, size_t requestLength, uint8_t* reply, size_t replyLength,
                                  size_t* count)
{
    if (count)
        *count = 0;
    if (!IsOpen())
        return kNotOpen;
    uint8_t out[kReportSize] = {};
    if (request)
        std::memcpy(out, request, std::min(requestLength, kReportSize));
    uint8_t in[kReportSize] = {};
    size_t got = 0;
    const int result = Exchange(out, in, kTimeoutMs, true, got);
    if (result == kWriteFailed)
        return result;
    if (reply && replyLength)
        std::memcpy(reply, in, std::min(replyLength, kReportSize));
    if (count)
        *count = std::min(got, replyLength);
    return result;
}

int CommandChannel::Exchange(const uint8_t* out, uint8_t* in, uint32_t timeout, bool quiet, size_t& got)
{
    const uint8_t command = out[kCommandByte];
    {
        std::lock_guard<std::mutex> guard(m_transactionLock);
        if (!m_hid.Write(kReportSize, out, timeout))
            return kWriteFailed;
        ++m_inFlight[command];
    }

    // The reply is always read whole. Requests of other threads may have been written between
    // ours and its reply; a reply that belongs to one of them is left for it, so no thread takes
    // another's reply and none is lost.
    std::lock_guard<std::mutex> guard(m_transactionLock);
    bool read = TakeParked(command, in);
    if (read) {
        got = kReportSize;
    } else {
        read = m_hid.Read(kReportSize, in, timeout, &got);
        const bool mismatch = read && in[kCommandByte] != command;
        // The full transaction always reads once more after a mismatch; the lighting stream only
        // when the report it read belongs to a transaction still waiting.
        if (mismatch && (!quiet || m_inFlight[in[kCommandByte]] > 0)) {
            Park(in);
            if (!TakeParked(command, in)) {
                std::memset(in, 0, kReportSize);
                got = 0;
                read = m_hid.Read(kReportSize, in, timeout, &got);
                // A second mismatch is taken as the reply, as the devices have always been read.
            }
        }
    }
    --m_inFlight[command];
    m_parked[command].full = false;
    return read ? kOk : kNotOpen;
}

void CommandChannel::Park(const uint8_t* reply)
{
    const uint8_t command = reply[kCommandByte];
    if (m_inFlight[command] == 0)
        return; // a late reply to a request nobody waits for any more
    m_parked[command].full = true;
    std::memcpy(m_parked[command].bytes, reply, kReportSize);
}

bool CommandChannel::TakeParked(uint8_t command, uint8_t* reply)
{
    if (!m_parked[command].full)
        return false;
    std::memcpy(reply, m_parked[command].bytes, kReportSize);
    m_parked[command].full = false;
    return true;
}

std::mutex* CommandChannel::LockFor(LockKind lock)
{
    switch (lock) {
    case LockKind::Command: return &m_commandLock;
    case LockKind::Lighting: return &m_lightingLock;
    case LockKind::None: break;
    }
    return nullptr;
}

int CommandChannel::LockedTransact(LockKind lock, const uint8_t* request, uint8_t* reply)
{
    std::mutex* mutex = LockFor(lock);
    std::unique_lock<std::mutex> guard;
    if (mutex)
        guard = std::unique_lock<std::mutex>(*mutex);
    return Transact(request, kReportSize, reply, kReportSize);
}

int CommandChannel::StatusResult(const uint8_t* reply)
{
    if (reply[kStatusByte] == kStatusRefusedFF)
        return kRefusedFF;
    if (reply[kStatusByte] == kStatusRefusedFE)
        return kRefusedFE;
    return kOk;
}

int CommandChannel::SimpleCommand(uint8_t command)
{
    uint8_t request[kReportSize];
    uint8_t reply[kReportSize] = {};
    BuildRequest(request, command, 0, 0);
    int result = LockedTransact(LockKind::Command, request, reply);
    return result == kOk ? StatusResult(reply) : result;
}

int CommandChannel::Chunked(uint8_t command, LockKind lock, uint16_t base, size_t total, const uint8_t* data,
                            uint8_t* out)
{
    if (total == 0)
        return kOk;
    if (!data && !out)
        return kInvalidArgument;
    if (base + total > kAddressSpace)
        return kInvalidArgument;

    // Cleared once: a short last chunk keeps the previous chunk's tail, as the devices expect.
    uint8_t request[kReportSize] = {};
    request[0] = kReportId;
    request[kCommandByte] = command;
    request[kStatusByte] = 0;
    const bool streaming = command == CMD_STREAM_LIGHTING;

    for (size_t p = 0; p < total; p += kChunkSize) {
        const size_t n = p + kChunkSize < total ? kChunkSize : total - p;
        const size_t offset = base + p;
        request[kLengthByte] = static_cast<uint8_t>(n);
        request[kOffsetLow] = static_cast<uint8_t>(offset & 0xFF);
        request[kOffsetHigh] = static_cast<uint8_t>((offset >> 8) & 0xFF);
        if (data)
            std::memcpy(request + kDataByte, data + p, n);
        StoreChecksum(request);

        uint8_t reply[kReportSize] = {};
        int result;
        if (streaming) {
            // Configuration traffic goes first: a lighting chunk is dropped, never queued.
            if (Busy()) {
                DebugOut("放弃灯光数据");
                continue;
            }
            if (WirelessLink())
                continue;
            std::lock_guard<std::mutex> guard(m_lightingLock);
            result = TransactQuiet(request, kReportSize, reply, kReportSize);
        } else {
            result = LockedTransact(lock, request, reply);
        }
        if (result != kOk)
            return result;
        result = StatusResult(reply);
        if (result != kOk)
            return result;
        if (out)
            std::memcpy(out + p, reply + kDataByte, n);
    }
    return kOk;
}

int CommandChannel::BatchBegin()
{
    return SimpleCommand(CMD_BATCH_BEGIN);
}

int CommandChannel::BatchEnd()
{
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return SimpleCommand(CMD_BATCH_END);
}

int CommandChannel::EnterHostLighting()
{
    return SimpleCommand(CMD_HOST_LIGHTING);
}

int CommandChannel::ReadDeviceInfo(DeviceInfo& info)
{
    return Chunked(CMD_READ_DEVICE_INFO, LockKind::Command, 0, DeviceInfo::kSize, nullptr, info.data());
}

int CommandChannel::ReadConfig(uint8_t* out, size_t length, uint16_t offset)
{
    if (length && !out)
        return kInvalidArgument;
    return Chunked(CMD_READ_CONFIG, LockKind::Command, offset, length, nullptr, out);
}

int CommandChannel::WriteConfig(const uint8_t* data, size_t length, uint16_t offset)
{
    return Chunked(CMD_WRITE_CONFIG, LockKind::Command, offset, length, data, nullptr);
}

int CommandChannel::ReadKeymap(uint8_t* out)
{
    const size_t length = TransferLength();
    if (length && !out)
        return kInvalidArgument;
    return Chunked(CMD_READ_KEYMAP, LockKind::Command, 0, length, nullptr, out);
}

int CommandChannel::ReadKeyIndex(uint8_t* out)
{
    const size_t length = TransferLength() / 3;
    if (length && !out)
        return kInvalidArgument;
    return Chunked(CMD_READ_KEY_INDEX, LockKind::Command, 0, length, nullptr, out);
}

int CommandChannel::WriteKeymap(const uint8_t* data, int bank)
{
    if (bank != 0)
        return kInvalidArgument;
    return Chunked(CMD_WRITE_KEYMAP, LockKind::Command, static_cast<uint16_t>(bank * kMaxTransferLength),
                   TransferLength(), data, nullptr);
}

int CommandChannel::WriteMacros(const uint8_t* image, size_t length)
{
    return Chunked(CMD_WRITE_MACROS, LockKind::Command, 0, length, image, nullptr);
}

int CommandChannel::WriteRecoil(const uint8_t* image, size_t length)
{
    return Chunked(CMD_WRITE_RECOIL, LockKind::None, 0, length, image, nullptr);
}

int CommandChannel::WriteKeyColours(const uint8_t* data, size_t length, int slot, size_t slotSize)
{
    if (slot < 0)
        return kInvalidArgument;
    const size_t base = static_cast<size_t>(slot) * slotSize;
    if (base >= kAddressSpace)
        return kInvalidArgument;
    return Chunked(CMD_WRITE_KEY_COLOURS, LockKind::Lighting, static_cast<uint16_t>(base), length, data, nullptr);
}

int CommandChannel::StreamLighting(const uint8_t* frame, size_t length)
{
    return Chunked(CMD_STREAM_LIGHTING, LockKind::Lighting, 0, length, frame, nullptr);
}

bool CommandChannel::TakeOwedStreamReply(bool mayWait, int& result)
{
    result = kOk;
    if (!m_streamOutstanding)
        return true;
    if (m_streamSentOpen == m_openCount.load()) {
        const auto elapsed = std::chrono::steady_clock::now() - m_streamSentAt;
        const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
        const uint32_t remaining = waited >= kTimeoutMs ? 0 : static_cast<uint32_t>(kTimeoutMs - waited);
        uint8_t in[kReportSize] = {};
        bool read = TakeParked(CMD_STREAM_LIGHTING, in);
        // Reports that belong to a transaction still waiting are set aside for it; a few at most.
        for (int tries = 0; !read && tries < 4; ++tries) {
            size_t got = 0;
            if (!m_hid.Read(kReportSize, in, mayWait ? remaining : 0, &got))
                break;
            if (in[kCommandByte] == CMD_STREAM_LIGHTING)
                read = true;
            else
                Park(in);
        }
        if (!read && !mayWait && remaining > 0)
            return false; // not in yet, and still in time
        result = read ? StatusResult(in) : kNotOpen;
    } // else owed by an interface closed since: nothing will answer it
    m_streamOutstanding = false;
    if (m_inFlight[CMD_STREAM_LIGHTING] > 0)
        --m_inFlight[CMD_STREAM_LIGHTING];
    m_parked[CMD_STREAM_LIGHTING].full = false;
    return true;
}

int CommandChannel::CollectStreamReply()
{
    if (!m_streamOutstanding)
        return kOk;
    std::lock_guard<std::mutex> guard(m_transactionLock);
    int result = kOk;
    TakeOwedStreamReply(true, result);
    return result;
}

void CommandChannel::BuildStreamChunk(uint8_t* request, const uint8_t* data, size_t n, size_t offset)
{
    std::memset(request, 0, kReportSize);
    request[0] = kReportId;
    request[kCommandByte] = CMD_STREAM_LIGHTING;
    request[kLengthByte] = static_cast<uint8_t>(n);
    request[kOffsetLow] = static_cast<uint8_t>(offset & 0xFF);
    request[kOffsetHigh] = static_cast<uint8_t>((offset >> 8) & 0xFF);
    std::memcpy(request + kDataByte, data, n);
    StoreChecksum(request);
}

bool CommandChannel::WriteStreamChunk(const uint8_t* request)
{
    if (!m_hid.Write(kReportSize, request, kTimeoutMs))
        return false;
    ++m_inFlight[CMD_STREAM_LIGHTING];
    m_streamOutstanding = true;
    m_streamSentAt = std::chrono::steady_clock::now();
    m_streamSentOpen = m_openCount.load();
    return true;
}

int CommandChannel::TryStreamLightingNow(const uint8_t* frame, size_t length, bool& wouldWait)
{
    wouldWait = false;
    if (!IsOpen())
        return kNotOpen;
    if (length == 0)
        return kOk;
    if (!frame)
        return kInvalidArgument;
    std::unique_lock<std::mutex> lighting(m_lightingLock, std::try_to_lock);
    if (length > kChunkSize || !lighting.owns_lock()) {
        wouldWait = true;
        return kOk;
    }
    if (Busy()) {
        DebugOut("放弃灯光数据");
        return kOk;
    }
    if (WirelessLink())
        return kOk;
    std::unique_lock<std::mutex> transaction(m_transactionLock, std::try_to_lock);
    int previous = kOk;
    if (!transaction.owns_lock() || !TakeOwedStreamReply(false, previous)) {
        wouldWait = true;
        return kOk;
    }
    uint8_t request[kReportSize];
    BuildStreamChunk(request, frame, length, 0);
    if (!WriteStreamChunk(request))
        return kWriteFailed;
    return previous;
}

int CommandChannel::StreamLightingDeferred(const uint8_t* frame, size_t length)
{
    if (!IsOpen())
        return kNotOpen;
    if (length == 0)
        return kOk;
    if (!frame || length > kAddressSpace)
        return kInvalidArgument;
    std::lock_guard<std::mutex> lighting(m_lightingLock);
    int previous = CollectStreamReply();
    uint8_t request[kReportSize];
    for (size_t p = 0; p < length; p += kChunkSize) {
        const size_t n = p + kChunkSize < length ? kChunkSize : length - p;
        // Configuration traffic goes first: a lighting chunk is dropped, never queued.
        if (Busy()) {
            DebugOut("放弃灯光数据");
            continue;
        }
        if (WirelessLink())
            continue;
        // One chunk's reply is outstanding at most: a transaction sets aside one per command.
        const int result = CollectStreamReply();
        if (result != kOk)
            previous = result;
        BuildStreamChunk(request, frame + p, n, p);
        std::lock_guard<std::mutex> guard(m_transactionLock);
        if (!WriteStreamChunk(request))
            return kWriteFailed;
    }
    return previous;
}

int CommandChannel::ReadStatus(uint8_t* out, size_t length, uint16_t offset)
{
    // One report carries at most 56 data bytes.
    if (length > kChunkSize || (length && !out))
        return kInvalidArgument;
    uint8_t request[kReportSize];
    uint8_t reply[kReportSize] = {};
    BuildRequest(request, CMD_READ_STATUS, static_cast<uint8_t>(length), offset);
    int result = LockedTransact(LockKind::Command, request, reply);
    if (result != kOk)
        return result;
    result = StatusResult(reply);
    if (result == kOk && length)
        std::memcpy(out, reply + kDataByte, length);
    return result;
}

bool CommandChannel::QueryLink()
{
    uint8_t request[kReportSize];
    uint8_t reply[kReportSize] = {};
    BuildRequest(request, CMD_QUERY_LINK, 0, 0);
    int result = LockedTransact(LockKind::Command, request, reply);
    return result == kOk && reply[kDataByte] == kLinked && StatusResult(reply) == kOk;
}

bool CommandChannel::SetTransferLength(size_t n)
{
    if (n > kMaxTransferLength)
        return false;
    m_transferLength.store(static_cast<uint16_t>(n));
    return true;
}

bool CommandChannel::Open(const std::string& path)
{
    std::lock_guard<std::mutex> guard(m_transactionLock);
    bool ok = m_hid.Open(path, true, true, true, false);
    ++m_openCount;
    m_isOpen.store(ok);
    return ok;
}

void CommandChannel::Close()
{
    m_isOpen.store(false);
    m_hid.Close();
}

} // namespace nq
