#include "profiles/JsonFile.h"

#include "common/DebugLog.h"

#include <json/reader.h>
#include <json/writer.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace nq {
namespace {

bool WriteAll(int fd, const std::string& text)
{
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) {
            errno = ENOSPC;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

// A symbolic link is written through: the file it points at is replaced, the link stays.
std::string ResolveTarget(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::is_symlink(path, error))
        return path;
    const auto target = std::filesystem::weakly_canonical(path, error);
    return error ? path : target.string();
}

void TraceWriteFailure(const std::string& path, const char* step, int error)
{
    DebugOutF("WriteJsonFile %s failed: %s: %s", step, path.c_str(), strerror(error));
}

} // namespace

std::string ReadTextFile(const std::string& path)
{
    errno = 0;
    // Non-blocking so that a FIFO or device node in place of a data file cannot hang the reader.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    DebugOutF("readjsonFile 错误吗：：%d\n", fd < 0 ? errno : 0);
    if (fd < 0)
        return {};
    struct stat info {};
    std::string text;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && static_cast<uint64_t>(info.st_size) <= kMaxDataFileSize) {
        const size_t size = static_cast<size_t>(info.st_size);
        text.resize(size);
        size_t done = 0;
        while (done < size) {
            const ssize_t n = read(fd, text.data() + done, size - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            done += static_cast<size_t>(n);
        }
        if (done != size)
            text.clear();  // the file changed size under us or could not be read
    } else if (S_ISREG(info.st_mode)) {
        DebugOutF("readjsonFile: %s is larger than %zu bytes", path.c_str(), kMaxDataFileSize);
    }
    close(fd);
    const size_t zero = text.find('\0');
    if (zero != std::string::npos)
        text.resize(zero);
    return text;
}

Json::Value ParseJsonText(const std::string& text)
{
    if (text.empty())
        return {};
    Json::CharReaderBuilder builder;
    builder["allowComments"] = true;
    builder["collectComments"] = true;
    builder["stackLimit"] = kMaxJsonDepth;
    builder["failIfExtra"] = false;
    Json::Value root;
    try {
        const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
        std::string errors;
        if (!reader->parse(text.data(), text.data() + text.size(), &root, &errors))
            return {};
    } catch (const std::exception&) {  // nesting beyond the stack limit
        return {};
    }
    return root;
}

Json::Value ReadJsonFile(const std::string& path)
{
    const std::string text = ReadTextFile(path);
    if (text.empty()) {
        DebugOut(path);
        return {};
    }
    return ParseJsonText(text);
}

std::string StyledJsonText(const Json::Value& value)
{
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    Json::StyledWriter writer;
    std::string text = writer.write(value);
#pragma GCC diagnostic pop
    text.push_back('\n');
    return text;
}

bool WriteJsonFile(const std::string& requestedPath, const Json::Value& value)
{
    std::string text;
    try {
        text = StyledJsonText(value);
    } catch (const std::exception&) {
        TraceWriteFailure(ResolveTarget(requestedPath), "format", ENOMEM);
        return false;
    }
    return WriteFileAtomically(requestedPath, text);
}

bool WriteFileAtomically(const std::string& requestedPath, const std::string& text)
{
    static std::atomic<unsigned> counter{0};
    const std::string path = ResolveTarget(requestedPath);

    // The temporary file sits in the target's folder so that the rename cannot cross file systems.
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = path + ".tmp" + std::to_string(getpid()) + "_" + std::to_string(counter++);
        fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        TraceWriteFailure(path, "open", errno);
        return false;
    }
    // A replaced file keeps its permissions.
    struct stat old {};
    if (stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        fchmod(fd, old.st_mode & 07777);

    const bool written = WriteAll(fd, text) && fsync(fd) == 0;
    const int writeError = errno;
    const bool closed = close(fd) == 0;
    if (!written || !closed) {
        TraceWriteFailure(path, "write", written ? errno : writeError);
        unlink(temp.c_str());
        return false;
    }
    if (rename(temp.c_str(), path.c_str()) != 0) {
        TraceWriteFailure(path, "rename", errno);
        unlink(temp.c_str());
        return false;
    }
    return true;
}

} // namespace nq
