#include "control/InstanceLink.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace nq::control {

namespace {

constexpr size_t kMaxAnswer = 4 * 1024 * 1024;

bool IsFolder(const char* path)
{
    struct stat st {};
    return path && *path && ::stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

int RemainingMs(std::chrono::steady_clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? int(left.count()) : 0;
}

} // namespace

std::string InstanceSocketPath(const std::string& identity)
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (IsFolder(runtime))
        return std::string(runtime) + "/" + identity + ".socket";
    // The temporary folder as Qt names it: $TMPDIR, else /tmp.
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = tmp && *tmp ? tmp : "/tmp";
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder + "/" + identity + "-" + std::to_string(::getuid()) + ".socket";
}

std::string InstanceLockPath(const std::string& identity) { return InstanceSocketPath(identity) + ".lock"; }

bool InstanceRuns(const std::string& identity)
{
    const std::string path = InstanceLockPath(identity);
    int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0 && errno == EISDIR)
        fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    Fd lock(fd);
    return ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
}

bool DirectRouteLock::Take(int timeoutMs, const std::string& identity)
{
    if (m_fd >= 0)
        return true;
    const std::string path = InstanceSocketPath(identity) + ".ctl.lock";
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    // flock has no time limit: the lock is tried every 50 ms until the time is up.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK || RemainingMs(deadline) == 0) {
            ::close(fd);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(50, RemainingMs(deadline))));
    }
    m_fd = fd;
    return true;
}

void DirectRouteLock::Release()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

LinkResult SendToInstance(const std::string& requestLine, std::string& answer, int timeoutMs, const std::string& identity)
{
    answer.clear();
    const std::string path = InstanceSocketPath(identity);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return LinkResult::NoProgram;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);

    // The program may have taken its lock a moment ago and not listen yet: a refused connection
    // is tried again for up to a second.
    const auto connectDeadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::min(timeoutMs, 1000));
    int fd = -1;
    while (true) {
        fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            return LinkResult::NoProgram;
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
            break;
        ::close(fd);
        fd = -1;
        if (RemainingMs(connectDeadline) == 0)
            return LinkResult::NoProgram;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    Fd socket(fd);

    const std::string line = requestLine + "\n";
    size_t sent = 0;
    while (sent < line.size()) {
        const ssize_t n = ::send(fd, line.data() + sent, line.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return LinkResult::NoAnswer;
        sent += size_t(n);
    }
    std::string received;
    char buffer[4096];
    while (true) {
        const size_t end = received.find('\n');
        if (end != std::string::npos) {
            answer = received.substr(0, end);
            return LinkResult::Answered;
        }
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, RemainingMs(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return LinkResult::NoAnswer;
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 || received.size() + size_t(n) > kMaxAnswer)
            return LinkResult::NoAnswer;
        received.append(buffer, size_t(n));
    }
}

} // namespace nq::control
