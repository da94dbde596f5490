#pragma once
// Unix SOCK_SEQPACKET sockets, the transport of simulated HID interfaces: one message per report.
#include <string>

namespace nq {

class HidSeqPacket {
public:
    // Non-blocking, close-on-exec descriptors, or -1.
    static int Connect(const std::string& path);
    // Replaces a stale socket file at path.
    static int Listen(const std::string& path);
};

} // namespace nq
