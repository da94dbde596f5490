#include "devices/DeviceWorker.h"

#include <chrono>

namespace nq {

DeviceWorker::~DeviceWorker()
{
    Stop();
}

bool DeviceWorker::StartLocked()
{
    if (m_refusing)
        return false;
    if (!m_thread.joinable()) {
        m_stopping = false;
        m_thread = std::thread([this] { Loop(); });
        m_threadId = m_thread.get_id();
    }
    return true;
}

bool DeviceWorker::Post(Job job)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!StartLocked())
            return false;
        m_jobs.push_back(std::move(job));
    }
    m_wake.notify_one();
    return true;
}

bool DeviceWorker::PostFrame(Job frame)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!StartLocked())
            return false;
        if (m_frame)
            ++m_dropped;
        m_frame = std::move(frame);
    }
    m_wake.notify_one();
    return true;
}

bool DeviceWorker::Busy() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_running || !m_jobs.empty() || m_frame;
}

bool DeviceWorker::WaitIdle(uint32_t timeoutMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_idle.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                           [this] { return !m_running && m_jobs.empty() && !m_frame; });
}

uint64_t DeviceWorker::DroppedFrames() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_dropped;
}

void DeviceWorker::Loop()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || !m_jobs.empty() || m_frame; });
        if (m_stopping)
            break;
        Job job;
        if (!m_jobs.empty()) {
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        } else {
            job = std::move(m_frame);
            m_frame = nullptr;
        }
        m_running = true;
        lock.unlock();
        job();
        job = nullptr; // what the job holds goes before the worker is seen idle
        lock.lock();
        m_running = false;
        if (m_jobs.empty() && !m_frame)
            m_idle.notify_all();
    }
    m_running = false;
    m_idle.notify_all();
}

void DeviceWorker::Stop()
{
    std::thread thread;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_refusing = true;
        m_stopping = true;
        m_jobs.clear();
        m_frame = nullptr;
        thread = std::move(m_thread);
    }
    m_wake.notify_all();
    if (thread.joinable()) {
        if (thread.get_id() == std::this_thread::get_id())
            thread.detach(); // a job that stops its own worker ends with the loop
        else
            thread.join();
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_threadId = {};
    m_idle.notify_all();
}

void DeviceWorker::Restart()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_refusing = false;
}

} // namespace nq
