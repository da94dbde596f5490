#pragma once
// One command channel operation from the command line ("nq501-hid call"):
//
//   call PATH OPERATION [ARGS] [--wireless]
//
//   batch-begin | batch-end | enter-host-lighting | read-device-info | query-link
//   read-config OFFSET LEN      write-config OFFSET HEX
//   read-keymap LEN             write-keymap HEX [BANK]      (the transfer length is LEN, or HEX's length)
//   read-key-index LEN          (LEN index bytes, one per key)
//   write-macros HEX            write-recoil HEX             write-key-colours SLOT HEX (512-byte slots)
//   stream-lighting HEX         read-status LEN OFFSET
//
// Numbers are decimal or 0x-prefixed hexadecimal; HEX is a byte string ("0a0b0c", "0a 0b 0c" or
// "0a:0b:0c"). --wireless sets the channel's wireless link flag (5000 ms time limits, no
// lighting stream). Prints "result N" and, for reads, the bytes in lower-case hex.
#include <ostream>
#include <string>
#include <vector>

namespace nq {

class ChannelCall {
public:
    // args start after "call". Returns the process exit code: 0 when the operation returned 1,
    // 1 when it returned anything else, 2 for a usage error.
    static int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
    static const char* Usage();
};

} // namespace nq
