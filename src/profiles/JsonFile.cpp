#include "profiles/JsonFile.h"

#include "common/DebugLog.h"
#include "common/RegularFile.h"

#include <json/reader.h>
#include <json/writer.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <ctime>
#include <cstring>
#include <dirent.h>
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

// Every data file is read through here; traces "readjsonFile 错误吗：：<errno>" on every call.
FileContent ReadDataFile(const std::string& path)
{
    FileContent content = RegularFile::Read(path, kMaxDataFileSize);
    DebugOutF("readjsonFile 错误吗：：%d\n", content.error);
    if (content.status == FileContent::Status::TooLarge)
        DebugOutF("readjsonFile: %s is larger than %zu bytes", path.c_str(), kMaxDataFileSize);
    return content;
}

// A document that is the literal null parses to the same value as a failure.
bool IsNullLiteral(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t\r\n");
    const size_t last = text.find_last_not_of(" \t\r\n");
    return first != std::string::npos && text.compare(first, last - first + 1, "null") == 0;
}

const char kTemporaryMark[] = ".tmp";
// A temporary file this old is stale whoever owns it.
constexpr time_t kStaleTemporaryAge = 10 * 60;

std::string TemporaryName(const std::string& path, unsigned number)
{
    return path + kTemporaryMark + std::to_string(getpid()) + "_" + std::to_string(number);
}

// The process id in a temporary file's name, or -1 when the name is not one.
long TemporaryFileOwner(const std::string& name)
{
    const size_t mark = name.rfind(kTemporaryMark);
    if (mark == std::string::npos || mark == 0)
        return -1;
    const std::string rest = name.substr(mark + sizeof(kTemporaryMark) - 1);
    const size_t underscore = rest.find('_');
    const auto digits = [](const std::string& text) {
        return !text.empty() && text.size() <= 10 && text.find_first_not_of("0123456789") == std::string::npos;
    };
    if (underscore == std::string::npos || !digits(rest.substr(0, underscore)) || !digits(rest.substr(underscore + 1)))
        return -1;
    return std::stol(rest.substr(0, underscore));
}

} // namespace

std::string ReadTextFile(const std::string& path)
{
    FileContent content = ReadDataFile(path);
    const size_t zero = content.bytes.find('\0');
    if (zero != std::string::npos)
        content.bytes.resize(zero);
    return std::move(content.bytes);
}

Json::Value ParseJsonText(const std::string& text)
{
    // A zero byte would end the parser's input early and hide what follows it.
    if (text.empty() || text.find('\0') != std::string::npos)
        return {};
    Json::CharReaderBuilder builder;
    builder["allowComments"] = true;
    builder["collectComments"] = true;
    builder["stackLimit"] = kMaxJsonDepth;
    builder["failIfExtra"] = true;
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

JsonDocument ReadJsonDocument(const std::string& path)
{
    JsonDocument document;
    const FileContent content = ReadDataFile(path);
    switch (content.status) {
    case FileContent::Status::Missing:
        DebugOut(path);
        document.state = JsonDocument::State::Missing;
        return document;
    case FileContent::Status::NotRegular:
        DebugOut(path);
        document.state = JsonDocument::State::NotAFile;
        return document;
    case FileContent::Status::TooLarge:
    case FileContent::Status::Unreadable:
        DebugOut(path);
        document.state = JsonDocument::State::Unusable;
        return document;
    case FileContent::Status::Read:
        break;
    }
    if (content.bytes.find_first_not_of(" \t\r\n") == std::string::npos) {
        DebugOut(path);
        document.state = JsonDocument::State::Blank;
        return document;
    }
    document.value = ParseJsonText(content.bytes);
    document.state = document.value.isNull() && !IsNullLiteral(content.bytes) ? JsonDocument::State::Unusable
                                                                               : JsonDocument::State::Parsed;
    return document;
}

Json::Value ReadJsonFile(const std::string& path)
{
    return ReadJsonDocument(path).value;
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

bool WriteJsonFile(const std::string& requestedPath, const Json::Value& value, WriteStatus* status)
{
    std::string text;
    try {
        text = StyledJsonText(value);
    } catch (const std::exception&) {
        TraceWriteFailure(ResolveTarget(requestedPath), "format", ENOMEM);
        if (status)
            *status = WriteStatus::Failed;
        return false;
    }
    return WriteFileAtomically(requestedPath, text, status);
}

bool WriteFileAtomically(const std::string& requestedPath, const std::string& text, WriteStatus* status)
{
    WriteStatus ignored;
    WriteStatus& result = status ? *status : ignored;
    result = WriteStatus::Failed;
    if (requestedPath.empty()) {
        result = WriteStatus::NothingToWrite;
        return false;
    }
    static std::atomic<unsigned> counter{0};
    const std::string path = ResolveTarget(requestedPath);
    if (text.size() > kMaxDataFileSize) {
        // The next start would refuse to read it: keep the file as it is.
        DebugOutF("WriteJsonFile refused: %s would be %zu bytes, more than %zu", path.c_str(), text.size(),
                  kMaxDataFileSize);
        result = WriteStatus::TooLarge;
        return false;
    }

    // The temporary file sits in the target's folder so that the rename cannot cross file systems.
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = TemporaryName(path, counter++);
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
    result = WriteStatus::Written;
    return true;
}

bool IsTemporaryFileName(const std::string& name)
{
    return TemporaryFileOwner(name) >= 0;
}

int RemoveStaleTemporaryFiles(const std::string& folder)
{
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return 0;
    int removed = 0;
    const long self = static_cast<long>(getpid());
    const time_t now = time(nullptr);
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        const long owner = TemporaryFileOwner(name);
        if (owner < 0 || owner == self)
            continue;
        struct stat info {};
        if (fstatat(dirfd(dir), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode))
            continue;
        // A write in progress takes well under a second: a recent file of a live process is
        // being written (another program of the same user); an old one belongs to a reused pid.
        const bool ownerGone =
            owner == 0 || owner > INT32_MAX || (kill(static_cast<pid_t>(owner), 0) != 0 && errno == ESRCH);
        if (!ownerGone && now - info.st_mtime < kStaleTemporaryAge)
            continue;
        if (unlinkat(dirfd(dir), name.c_str(), 0) == 0) {
            DebugOutF("removed the temporary file %s%s left by an interrupted save", folder.c_str(), name.c_str());
            ++removed;
        }
    }
    closedir(dir);
    return removed;
}

} // namespace nq
