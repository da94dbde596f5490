#include "hid/HidSeqPacket.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

namespace nq {

namespace {

int MakeSocket(const std::string& path, sockaddr_un& addr)
{
    addr = sockaddr_un{};
    if (path.empty() || path.size() >= sizeof(addr.sun_path))
        return -1;
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    return ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
}

} // namespace

int HidSeqPacket::Connect(const std::string& path)
{
    sockaddr_un addr;
    int fd = MakeSocket(path, addr);
    if (fd < 0)
        return -1;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

int HidSeqPacket::Listen(const std::string& path)
{
    sockaddr_un addr;
    int fd = MakeSocket(path, addr);
    if (fd < 0)
        return -1;
    ::unlink(path.c_str());
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0 || ::listen(fd, 16) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace nq
