#pragma once
// nq501ctl's side of the running program's local socket, without Qt. The program holds a lock on
// "<socket>.lock" while it runs and listens on $XDG_RUNTIME_DIR/<identity>.socket (or
// <temp>/<identity>-<uid>.socket without a runtime folder). A control request is one line of
// JSON; the program answers with one line of JSON.
#include <string>

namespace nq::control {

constexpr const char* kIdentity = "NQ501";

std::string InstanceSocketPath(const std::string& identity = kIdentity);
std::string InstanceLockPath(const std::string& identity = kIdentity);
// True while a process holds the instance lock.
bool InstanceRuns(const std::string& identity = kIdentity);

// The direct route's lock, "<socket>.ctl.lock": one nq501ctl at a time opens the devices itself,
// and a starting nq501 waits until that one is done, so the devices never have two owners.
class DirectRouteLock {
public:
    static constexpr int kWaitMs = 5000;

    DirectRouteLock() = default;
    ~DirectRouteLock() { Release(); }
    DirectRouteLock(const DirectRouteLock&) = delete;
    DirectRouteLock& operator=(const DirectRouteLock&) = delete;

    // Waits up to timeoutMs for the lock; false when another process kept it that long or the
    // lock file cannot be opened.
    bool Take(int timeoutMs = kWaitMs, const std::string& identity = kIdentity);
    void Release();

private:
    int m_fd = -1;
};

enum class LinkResult {
    Answered,   // `answer` holds the program's line
    NoProgram,  // nothing listens on the socket
    NoAnswer,   // connected, but no whole answer line within the time limit
};

// Sends one request line and waits for the answer line.
LinkResult SendToInstance(const std::string& requestLine, std::string& answer, int timeoutMs,
                          const std::string& identity = kIdentity);

} // namespace nq::control
