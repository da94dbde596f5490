#include "hid/ChannelCall.h"

#include "common/DebugLog.h"
#include "hid/CommandChannel.h"

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <map>

namespace nq {
namespace {

using Bytes = std::vector<uint8_t>;

bool ParseNumber(const std::string& text, long low, long high, long& value)
{
    if (text.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 0);
    return errno == 0 && end && *end == '\0' && value >= low && value <= high;
}

bool ParseHex(const std::string& text, Bytes& bytes)
{
    bytes.clear();
    int high = -1;
    for (char c : text) {
        if (c == ' ' || c == ':' || c == ',' || c == '-') {
            if (high >= 0)
                return false; // a lone digit
            continue;
        }
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        if (high < 0) {
            high = digit;
        } else {
            bytes.push_back(static_cast<uint8_t>(high << 4 | digit));
            high = -1;
        }
    }
    return high < 0 && !bytes.empty();
}

// One operation: how many arguments it takes and what it runs.
struct Operation {
    size_t argumentCount;
    size_t optionalArguments;
    std::function<int(CommandChannel&, const std::vector<std::string>&, Bytes& out, std::string& error)> run;
};

int UsageError(std::string& error, const std::string& text)
{
    error = text;
    return kInvalidArgument;
}

const std::map<std::string, Operation>& Operations()
{
    using Args = const std::vector<std::string>&;
    static const std::map<std::string, Operation> operations = {
        {"batch-begin", {0, 0, [](CommandChannel& c, Args, Bytes&, std::string&) { return c.BatchBegin(); }}},
        {"batch-end", {0, 0, [](CommandChannel& c, Args, Bytes&, std::string&) { return c.BatchEnd(); }}},
        {"enter-host-lighting",
         {0, 0, [](CommandChannel& c, Args, Bytes&, std::string&) { return c.EnterHostLighting(); }}},
        {"read-device-info", {0, 0, [](CommandChannel& c, Args, Bytes& out, std::string&) {
             DeviceInfo info;
             int result = c.ReadDeviceInfo(info);
             out.assign(info.bytes.begin(), info.bytes.end());
             return result;
         }}},
        {"query-link", {0, 0, [](CommandChannel& c, Args, Bytes&, std::string&) {
             return c.QueryLink() ? kOk : kNotOpen;
         }}},
        {"read-config", {2, 0, [](CommandChannel& c, Args a, Bytes& out, std::string& error) {
             long offset, length;
             if (!ParseNumber(a[0], 0, 0xFFFF, offset) || !ParseNumber(a[1], 0, 0x10000, length))
                 return UsageError(error, "read-config OFFSET LEN: bad number");
             out.resize(static_cast<size_t>(length));
             return c.ReadConfig(out.data(), out.size(), static_cast<uint16_t>(offset));
         }}},
        {"write-config", {2, 0, [](CommandChannel& c, Args a, Bytes&, std::string& error) {
             long offset;
             Bytes data;
             if (!ParseNumber(a[0], 0, 0xFFFF, offset) || !ParseHex(a[1], data))
                 return UsageError(error, "write-config OFFSET HEX: bad argument");
             return c.WriteConfig(data.data(), data.size(), static_cast<uint16_t>(offset));
         }}},
        {"read-keymap", {1, 0, [](CommandChannel& c, Args a, Bytes& out, std::string& error) {
             long length;
             if (!ParseNumber(a[0], 0, 0xFFFF, length) || !c.SetTransferLength(static_cast<size_t>(length)))
                 return UsageError(error, "read-keymap LEN: LEN must be 0 to 512");
             out.resize(c.TransferLength());
             return c.ReadKeymap(out.data());
         }}},
        {"write-keymap", {1, 1, [](CommandChannel& c, Args a, Bytes&, std::string& error) {
             Bytes data;
             long bank = 0;
             if (!ParseHex(a[0], data) || (a.size() > 1 && !ParseNumber(a[1], -0x8000, 0x7FFF, bank)))
                 return UsageError(error, "write-keymap HEX [BANK]: bad argument");
             if (!c.SetTransferLength(data.size()))
                 return UsageError(error, "write-keymap: at most 512 bytes");
             return c.WriteKeymap(data.data(), static_cast<int>(bank));
         }}},
        {"read-key-index", {1, 0, [](CommandChannel& c, Args a, Bytes& out, std::string& error) {
             long length;
             if (!ParseNumber(a[0], 0, 170, length))
                 return UsageError(error, "read-key-index LEN: LEN must be 0 to 170");
             c.SetTransferLength(static_cast<size_t>(length) * 3);
             out.resize(static_cast<size_t>(length));
             return c.ReadKeyIndex(out.data());
         }}},
        {"write-macros", {1, 0, [](CommandChannel& c, Args a, Bytes&, std::string& error) {
             Bytes data;
             if (!ParseHex(a[0], data))
                 return UsageError(error, "write-macros HEX: bad byte string");
             return c.WriteMacros(data.data(), data.size());
         }}},
        {"write-recoil", {1, 0, [](CommandChannel& c, Args a, Bytes&, std::string& error) {
             Bytes data;
             if (!ParseHex(a[0], data))
                 return UsageError(error, "write-recoil HEX: bad byte string");
             return c.WriteRecoil(data.data(), data.size());
         }}},
        {"write-key-colours", {2, 0, [](CommandChannel& c, Args a, Bytes&, std::string& error) {
             long slot;
             Bytes data;
             if (!ParseNumber(a[0], 0, 127, slot) || !ParseHex(a[1], data))
                 return UsageError(error, "write-key-colours SLOT HEX: bad argument");
             return c.WriteKeyColours(data.data(), data.size(), static_cast<int>(slot), 512);
         }}},
        {"stream-lighting", {1, 0, [](CommandChannel& c, Args a, Bytes&, std::string& error) {
             Bytes data;
             if (!ParseHex(a[0], data))
                 return UsageError(error, "stream-lighting HEX: bad byte string");
             return c.StreamLighting(data.data(), data.size());
         }}},
        {"read-status", {2, 0, [](CommandChannel& c, Args a, Bytes& out, std::string& error) {
             long length, offset;
             if (!ParseNumber(a[0], 0, 56, length) || !ParseNumber(a[1], 0, 0xFFFF, offset))
                 return UsageError(error, "read-status LEN OFFSET: LEN must be 0 to 56");
             out.resize(static_cast<size_t>(length));
             return c.ReadStatus(out.data(), out.size(), static_cast<uint16_t>(offset));
         }}},
    };
    return operations;
}

} // namespace

const char* ChannelCall::Usage()
{
    return "usage: nq501-hid call PATH OPERATION [ARGS] [--wireless]\n"
           "  batch-begin | batch-end | enter-host-lighting | read-device-info | query-link\n"
           "  read-config OFFSET LEN | write-config OFFSET HEX\n"
           "  read-keymap LEN | write-keymap HEX [BANK] | read-key-index LEN\n"
           "  write-macros HEX | write-recoil HEX | write-key-colours SLOT HEX\n"
           "  stream-lighting HEX | read-status LEN OFFSET\n";
}

int ChannelCall::Run(const std::vector<std::string>& rawArgs, std::ostream& out, std::ostream& err)
{
    std::vector<std::string> args;
    bool wireless = false;
    for (const std::string& a : rawArgs) {
        if (a == "--wireless")
            wireless = true;
        else
            args.push_back(a);
    }
    if (args.size() < 2) {
        err << Usage();
        return 2;
    }
    const auto it = Operations().find(args[1]);
    const std::vector<std::string> operands(args.begin() + 2, args.end());
    if (it == Operations().end() || operands.size() < it->second.argumentCount ||
        operands.size() > it->second.argumentCount + it->second.optionalArguments) {
        err << Usage();
        return 2;
    }

    CommandChannel channel;
    if (!channel.Open(args[0])) {
        err << "nq501-hid: cannot open " << args[0] << "\n";
        return 1;
    }
    channel.SetWirelessLink(wireless);
    Bytes bytes;
    std::string error;
    const int result = it->second.run(channel, operands, bytes, error);
    if (!error.empty()) {
        err << "nq501-hid: " << error << "\n";
        return 2;
    }
    out << "result " << result << "\n";
    if (!bytes.empty() && result == kOk)
        out << HexBytes(bytes.data(), bytes.size()) << "\n";
    return result == kOk ? 0 : 1;
}

} // namespace nq
