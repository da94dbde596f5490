#include "common/DebugLog.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace nq {
namespace {

struct Sink {
    std::mutex lock;
    FILE* file = nullptr;
    bool ownsFile = false;
    std::function<void(const std::string&)> callback;
};

Sink& TheSink()
{
    static Sink sink;
    return sink;
}

void CloseLocked(Sink& sink)
{
    if (sink.file && sink.ownsFile)
        fclose(sink.file);
    sink.file = nullptr;
    sink.ownsFile = false;
}

} // namespace

void DebugOut(const std::string& message)
{
    Sink& sink = TheSink();
    std::lock_guard<std::mutex> guard(sink.lock);
    if (!sink.file && !sink.callback)
        return;
    size_t start = 0;
    do {
        size_t end = message.find('\n', start);
        std::string line = message.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (sink.file) {
            fputs(line.c_str(), sink.file);
            fputc('\n', sink.file);
            fflush(sink.file);
        }
        if (sink.callback)
            sink.callback(line);
        start = end == std::string::npos ? std::string::npos : end + 1;
    } while (start != std::string::npos && start < message.size());
}

void DebugOutF(const char* format, ...)
{
    if (!DebugLogEnabled())
        return;
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int needed = vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text;
    if (needed > 0) {
        std::vector<char> buffer(static_cast<size_t>(needed) + 1);
        vsnprintf(buffer.data(), buffer.size(), format, args);
        text.assign(buffer.data(), static_cast<size_t>(needed));
    }
    va_end(args);
    DebugOut(text);
}

bool SetDebugLogTarget(const std::string& target)
{
    Sink& sink = TheSink();
    std::lock_guard<std::mutex> guard(sink.lock);
    CloseLocked(sink);
    if (target.empty())
        return true;
    if (target == "-") {
        sink.file = stderr;
        return true;
    }
    sink.file = fopen(target.c_str(), "a");
    sink.ownsFile = sink.file != nullptr;
    return sink.file != nullptr;
}

void InitDebugLogFromEnvironment()
{
    const char* value = getenv("NQ501_LOG");
    if (value && *value)
        SetDebugLogTarget(value);
}

bool DebugLogEnabled()
{
    Sink& sink = TheSink();
    std::lock_guard<std::mutex> guard(sink.lock);
    return sink.file || sink.callback;
}

void SetDebugLogCallback(std::function<void(const std::string&)> callback)
{
    Sink& sink = TheSink();
    std::lock_guard<std::mutex> guard(sink.lock);
    sink.callback = std::move(callback);
}

std::string HexBytes(const unsigned char* data, size_t length)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(length * 3);
    for (size_t i = 0; i < length; ++i) {
        if (i)
            out.push_back(' ');
        out.push_back(digits[data[i] >> 4]);
        out.push_back(digits[data[i] & 15]);
    }
    return out;
}

} // namespace nq
