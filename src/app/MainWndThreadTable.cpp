#include "app/MainWndThreadTable.h"

#include "common/DebugLog.h"

namespace nq::app {

bool MainWndThreadTable::Start(int entry, WorkerThread::Body body)
{
    if (entry < 0 || entry >= kEntries || m_stopped)
        return false;
    return m_threads[entry].Start(std::move(body));
}

bool MainWndThreadTable::IsRunning(int entry) const
{
    return entry >= 0 && entry < kEntries && m_threads[entry].Running();
}

int MainWndThreadTable::StopAll(uint32_t waitMs)
{
    if (m_stopped)
        return 0;
    m_stopped = true;
    for (WorkerThread& thread : m_threads)
        thread.Signal();
    int givenUp = 0;
    for (int i = 0; i < kEntries; ++i) {
        switch (m_threads[i].Join(waitMs)) {
        case WaitOutcome::Signalled:
            DebugOut("所有对象处于激发状态\n");
            break;
        case WaitOutcome::Abandoned:
            DebugOut("所有对象处于激发状态，但其中有未释放的Mutex 对象\n");
            break;
        case WaitOutcome::Timeout:
            DebugOut("所有对象处于非激发状态，超时\n");
            ++givenUp;
            break;
        case WaitOutcome::Failed:
            DebugOut("错误\n");
            DebugOutF("%d", i);
            break;
        }
    }
    return givenUp;
}

} // namespace nq::app
