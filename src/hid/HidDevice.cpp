#include "hid/HidDevice.h"

#include "common/EventFd.h"

#include "hid/HidEnumerator.h"
#include "hid/HidReportDecoder.h"
#include "hid/HidSeqPacket.h"

#include <fcntl.h>
#include <linux/hidraw.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace nq {

namespace {

constexpr size_t kMaxReport = 4096;

uint16_t ParseTag(const std::string& path, const char* tag)
{
    std::string lower(path.size(), '\0');
    std::transform(path.begin(), path.end(), lower.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    auto pos = lower.find(tag);
    if (pos == std::string::npos)
        return 0;
    unsigned int value = 0;
    if (std::sscanf(path.c_str() + pos + 4, "%x", &value) != 1)
        return 0;
    return static_cast<uint16_t>(value);
}

} // namespace

struct HidDevice::Impl {
    int fd = -1;
    bool isSocket = false;
    EventFd abort; // wakes waiting transfers when the handle is closed
    std::mutex mutex;
    std::condition_variable idle;
    int inFlight = 0;
    bool closing = false;
    HidTopCollection collection;
    bool usesReportIds = false;
    std::vector<uint8_t> readScratch; // one report as the node delivers it, allocated per Open

    // Registers a transfer; false when the interface is closed or closing.
    bool Begin()
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (fd < 0 || closing)
            return false;
        ++inFlight;
        return true;
    }
    void End()
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (--inFlight == 0)
            idle.notify_all();
    }

    // Waits until fd is ready for events, the abort signal or the time limit.
    // Returns the fd's revents, 0 on timeout or abort.
    short Wait(short events, std::chrono::steady_clock::time_point deadline, bool infinite)
    {
        for (;;) {
            int timeout = -1;
            if (!infinite) {
                auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
                timeout = static_cast<int>(std::max<long long>(0, std::min<long long>(left, 0x7FFFFFFF)));
            }
            pollfd fds[2] = {{fd, events, 0}, {abort.Fd(), POLLIN, 0}};
            int n = ::poll(fds, 2, timeout);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return 0;
            }
            if (fds[1].revents)
                return 0;
            if (n == 0)
                return 0;
            return fds[0].revents;
        }
    }

    // Waits `ms` (cut to the deadline) on the abort event, and on `traffic` having counted
    // `wakeAfter` reports when it is set. False when the abort event fired.
    bool Pause(uint32_t ms, std::chrono::steady_clock::time_point deadline, bool infinite, NodeTraffic* traffic,
               uint32_t wakeAfter)
    {
        long long wait = ms;
        if (!infinite) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
            wait = std::max<long long>(0, std::min<long long>(left, wait));
        }
        const bool watch = traffic && wakeAfter && traffic->Fd() >= 0;
        if (watch)
            traffic->Watch(wakeAfter);
        pollfd fds[2] = {{abort.Fd(), POLLIN, 0}, {watch ? traffic->Fd() : -1, POLLIN, 0}};
        int n;
        do {
            n = ::poll(fds, watch ? 2 : 1, static_cast<int>(wait));
        } while (n < 0 && errno == EINTR);
        if (watch)
            traffic->EndWatch();
        return !(n > 0 && fds[0].revents);
    }
};

HidDevice::HidDevice() : m_impl(new Impl) {}

HidDevice::~HidDevice()
{
    Close();
    delete m_impl;
}

bool HidDevice::Enumerate()
{
    std::vector<HidNodeInfo> nodes;
    if (!HidEnumerator::ListNodes(nodes))
        return false;
    std::vector<std::string> paths;
    paths.reserve(8);
    for (const auto& node : nodes)
        for (auto& p : HidEnumerator::PathsOf(node))
            paths.push_back(std::move(p));
    m_paths = std::move(paths);
    m_cursor = 0;
    return true;
}

std::optional<std::string> HidDevice::NextPath()
{
    if (m_cursor >= m_paths.size())
        return std::nullopt;
    return m_paths[m_cursor++];
}

void HidDevice::FreePaths()
{
    m_paths.clear();
    m_paths.shrink_to_fit();
    m_cursor = 0;
}

bool HidDevice::IsPresent(const std::string& path)
{
    struct stat st{};
    return ::stat(HidEnumerator::NodeOf(path).c_str(), &st) == 0;
}

bool HidDevice::IsOpen() const
{
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    return m_impl->fd >= 0;
}

const HidTopCollection* HidDevice::Collection() const
{
    return IsOpen() ? &m_impl->collection : nullptr;
}

bool HidDevice::Open(const std::string& path, bool read, bool write, bool overlapped, bool exclusive)
{
    Close();
    m_openRead = read;
    m_openWrite = write;
    m_overlapped = overlapped;
    m_exclusive = exclusive;
    m_path = path; // kept whole: simulator folders can make paths longer than a fixed buffer

    const std::string node = HidEnumerator::NodeOf(path);
    HidNodeInfo info;
    if (!HidEnumerator::DescribeNode(node, info))
        return false;
    HidReportDescriptor descriptor;
    if (!descriptor.Parse(info.descriptor))
        return false;
    uint16_t col = ParseCollectionNumber(path);
    size_t index = col ? col - 1u : 0;
    if (index >= descriptor.Collections().size())
        return false;

    struct stat st{};
    if (::stat(node.c_str(), &st) != 0)
        return false;
    int fd = -1;
    bool isSocket = S_ISSOCK(st.st_mode);
    if (isSocket) {
        fd = HidSeqPacket::Connect(node);
    } else {
        // Without read or write access the node is only looked at (identity and capabilities),
        // which needs no permission on it.
        int mode = read && write ? O_RDWR : write ? O_WRONLY : read ? O_RDONLY : O_PATH;
        fd = ::open(node.c_str(), mode | O_CLOEXEC | (mode == O_PATH ? 0 : O_NONBLOCK));
        if (fd >= 0) {
            // The identity as the kernel gives it for the open node.
            hidraw_devinfo devinfo{};
            if (::ioctl(fd, HIDIOCGRAWINFO, &devinfo) == 0) {
                info.vendorId = static_cast<uint16_t>(devinfo.vendor);
                info.productId = static_cast<uint16_t>(devinfo.product);
            }
        }
    }
    if (fd < 0)
        return false;

    const HidTopCollection& top = descriptor.Collections()[index];
    m_caps = top.caps;
    m_attributes = {info.vendorId, info.productId, info.version};
    uint16_t lengths[3] = {m_caps.inputReportByteLength, m_caps.outputReportByteLength, m_caps.featureReportByteLength};
    for (int t = 0; t < 3; ++t) {
        auto type = static_cast<HidReportType>(t);
        m_reportBuffers[t].assign(lengths[t], 0);
        m_buttonCaps[t] = top.buttonCaps[t];
        m_valueCaps[t] = top.valueCaps[t];
        auto& items = m_items[t];
        items.clear();
        for (const auto& c : top.buttonCaps[t]) {
            HidDataItem item;
            item.isButtonData = true;
            item.usagePage = c.usagePage;
            item.status = kHidStatusSuccess;
            item.reportId = c.reportId;
            item.button.usageMin = c.usageMin;
            item.button.usageMax = c.usageMax;
            item.button.maxUsageLength = HidReportDecoder::MaxUsageListLength(top, type, c.usagePage);
            item.button.usages.assign(item.button.maxUsageLength, 0);
            items.push_back(std::move(item));
        }
        for (const auto& c : top.valueCaps[t])
            for (uint32_t u = c.usageMin; u <= c.usageMax; ++u) {
                HidDataItem item;
                item.usagePage = c.usagePage;
                item.status = kHidStatusSuccess;
                item.reportId = c.reportId;
                item.value.usage = static_cast<uint16_t>(u);
                items.push_back(std::move(item));
            }
    }
    m_interfaceNumber = ParseInterfaceNumber(path);
    m_collectionNumber = col;

    std::lock_guard<std::mutex> lock(m_impl->mutex);
    m_impl->collection = top;
    m_impl->usesReportIds = descriptor.UsesReportIds();
    m_impl->isSocket = isSocket;
    m_impl->readScratch.assign(kMaxReport + 1, 0);
    m_impl->fd = fd;
    return true;
}

void HidDevice::Close()
{
    {
        std::unique_lock<std::mutex> lock(m_impl->mutex);
        if (m_impl->fd < 0)
            return;
        m_impl->closing = true;
        if (m_impl->inFlight > 0) {
            // Wake the waiting transfers and let them finish before the handle goes.
            m_impl->abort.Signal();
            m_impl->idle.wait(lock, [this] { return m_impl->inFlight == 0; });
            m_impl->abort.Drain();
        }
        ::close(m_impl->fd);
        m_impl->fd = -1;
        m_impl->closing = false;
        m_impl->collection = HidTopCollection{};
    }
    m_caps = HidCaps{};
    m_attributes = HidAttributes{};
    for (int t = 0; t < 3; ++t) {
        m_reportBuffers[t].clear();
        m_buttonCaps[t].clear();
        m_valueCaps[t].clear();
        m_items[t].clear();
    }
    m_interfaceNumber = 0;
    m_collectionNumber = 0;
}

bool HidDevice::Read(size_t length, uint8_t* buffer, uint32_t timeoutMs, size_t* bytesTransferred)
{
    if (bytesTransferred)
        *bytesTransferred = 0;
    if (!buffer || length == 0 || !m_impl->Begin())
        return false;
    Impl& im = *m_impl;
    if (!m_openRead) { // read only once Begin() has ordered us after the Open that set the flag
        im.End();
        return false;
    }
    const bool infinite = timeoutMs == kHidInfinite;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(infinite ? 0 : timeoutMs);
    bool ok = false;
    // After a report of another collection the next one is read at once, without a poll; a run of
    // them is cut after kMaxDrain so the deadline and the abort event are looked at again.
    constexpr int kMaxDrain = 64;
    int drained = 0;
    for (;;) {
        if (drained == 0 || drained >= kMaxDrain) {
            drained = 0;
            short rev = im.Wait(POLLIN, deadline, infinite);
            if (!(rev & POLLIN))
                break; // timeout, abort, or the device is gone
        }
        // Without report IDs the node delivers the bare report; callers always see the ID byte first.
        uint8_t* dst = im.usesReportIds ? im.readScratch.data() : im.readScratch.data() + 1;
        ssize_t n = im.isSocket ? ::recv(im.fd, dst, kMaxReport, MSG_DONTWAIT) : ::read(im.fd, dst, kMaxReport);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            // The node is empty after reports of other collections were thrown away: pause before
            // listening again when asked to (see SetForeignReportPause).
            if (drained && errno == EAGAIN && m_foreignReportPauseMs &&
                !im.Pause(m_foreignReportPauseMs, deadline, infinite, m_pauseTraffic.get(), m_pauseWakeAfter))
                break; // aborted
            drained = 0;
            continue;
        }
        if (n <= 0)
            break;
        if (m_countedTraffic)
            m_countedTraffic->Count();
        size_t size = static_cast<size_t>(n);
        if (!im.usesReportIds) {
            im.readScratch[0] = 0;
            ++size;
        }
        // The node carries every collection of the interface; keep only this collection's reports.
        if (im.usesReportIds && !im.collection.OwnsReport(HidReportType::Input, im.readScratch[0])) {
            ++drained;
            continue;
        }
        size_t count = std::min(size, length);
        std::memcpy(buffer, im.readScratch.data(), count);
        if (bytesTransferred)
            *bytesTransferred = count;
        ok = true;
        break;
    }
    im.End();
    return ok;
}

bool HidDevice::Write(size_t length, const uint8_t* buffer, uint32_t timeoutMs, size_t* bytesTransferred)
{
    if (bytesTransferred)
        *bytesTransferred = 0;
    if (!buffer || length == 0 || length > kMaxReport || !m_impl->Begin())
        return false;
    Impl& im = *m_impl;
    if (!m_openWrite) {
        im.End();
        return false;
    }
    const bool infinite = timeoutMs == kHidInfinite;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(infinite ? 0 : timeoutMs);
    bool ok = false;
    // The handle is non-blocking: try at once and wait for room only when there is none, which
    // saves a poll per report on the 20 Hz lighting stream.
    bool tryNow = true;
    for (;;) {
        if (!tryNow) {
            short rev = im.Wait(POLLOUT, deadline, infinite);
            if (!(rev & POLLOUT) || (rev & (POLLERR | POLLHUP)))
                break;
        }
        tryNow = false;
        ssize_t n = im.isSocket ? ::send(im.fd, buffer, length, MSG_DONTWAIT | MSG_NOSIGNAL) : ::write(im.fd, buffer, length);
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            continue;
        if (n > 0) {
            if (bytesTransferred)
                *bytesTransferred = static_cast<size_t>(n);
            ok = true;
        }
        break;
    }
    im.End();
    return ok;
}

bool HidDevice::SetOutputReport(const uint8_t* buffer, size_t length)
{
    if (!buffer || length == 0 || length > kMaxReport)
        return false;
    bool isSocket = false;
    {
        std::lock_guard<std::mutex> lock(m_impl->mutex);
        isSocket = m_impl->isSocket;
    }
#ifdef HIDIOCSOUTPUT
    if (!isSocket && m_impl->Begin()) {
        if (!m_openWrite) {
            m_impl->End();
            return false;
        }
        std::vector<uint8_t> copy(buffer, buffer + length);
        int r = ::ioctl(m_impl->fd, HIDIOCSOUTPUT(length), copy.data());
        int err = errno;
        m_impl->End();
        if (r >= 0)
            return true;
        if (err != ENOTTY && err != EINVAL)
            return false; // the kernel knows the call; the device refused
    }
#endif
    (void)isSocket;
    return Write(length, buffer, 1000);
}

bool HidDevice::DecodeReport(HidReportType type, const uint8_t* report, size_t length, std::vector<HidDataItem>& items)
{
    if (!report || length == 0)
        return false;
    const HidTopCollection& col = m_impl->collection;
    const uint8_t id = report[0];
    std::vector<uint16_t> set;
    for (auto& item : items) {
        if (item.reportId != id)
            continue;
        if (item.isButtonData) {
            item.status = HidReportDecoder::GetUsages(col, type, item.usagePage, report, length, set);
            auto& list = item.button.usages;
            list.assign(item.button.maxUsageLength, 0);
            size_t n = 0;
            for (uint16_t u : set)
                if (u >= item.button.usageMin && u <= item.button.usageMax && n < list.size())
                    list[n++] = u;
        } else {
            uint32_t raw = 0;
            uint32_t status = HidReportDecoder::GetUsageValue(col, type, item.usagePage, item.value.usage, report, length, raw);
            if (status != kHidStatusSuccess) {
                item.status = status;
                return false;
            }
            item.value.rawValue = raw;
            int32_t scaled = 0;
            item.status = HidReportDecoder::GetScaledUsageValue(col, type, item.usagePage, item.value.usage, report, length, scaled);
            if (item.status == kHidStatusSuccess)
                item.value.scaledValue = scaled;
        }
        item.isDataSet = true;
    }
    return true;
}

uint16_t HidDevice::ParseVendorId(const std::string& path) { return ParseTag(path, "vid_"); }
uint16_t HidDevice::ParseProductId(const std::string& path) { return ParseTag(path, "pid_"); }
uint16_t HidDevice::ParseInterfaceNumber(const std::string& path) { return ParseTag(path, "&mi_"); }
uint16_t HidDevice::ParseCollectionNumber(const std::string& path) { return ParseTag(path, "&col"); }

} // namespace nq
