#include "profiles/FileBackup.h"

#include "common/DebugLog.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace nq {
namespace {

const char kSuffix[] = ".broken";

struct Backup {
    unsigned long number; // 0 for FILE.broken, n for FILE.broken.n
    std::string path;
};

std::string BackupName(const std::string& path, unsigned long number)
{
    return number == 0 ? path + kSuffix : path + kSuffix + "." + std::to_string(number);
}

std::vector<Backup> FindBackups(const std::string& path)
{
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string prefix = (slash == std::string::npos ? path : path.substr(slash + 1)) + kSuffix;
    std::vector<Backup> found;
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return found;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.compare(0, prefix.size(), prefix) != 0)
            continue;
        const std::string rest = name.substr(prefix.size());
        if (rest.empty()) {
            found.push_back({0, BackupName(path, 0)});
        } else if (rest.size() >= 2 && rest.size() <= 10 && rest[0] == '.' && rest[1] != '0' &&
                   rest.find_first_not_of("0123456789", 1) == std::string::npos) {
            const unsigned long number = std::stoul(rest.substr(1));
            found.push_back({number, BackupName(path, number)});
        }
    }
    closedir(dir);
    std::sort(found.begin(), found.end(), [](const Backup& a, const Backup& b) { return a.number < b.number; });
    return found;
}

// Moves `from` to `to` unless `to` exists.
bool MoveWithoutReplacing(const std::string& from, const std::string& to)
{
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // A file system without the no-replace rename: a hard link fails on an existing name too.
    if (link(from.c_str(), to.c_str()) != 0)
        return false;
    unlink(from.c_str());
    return true;
}

bool CopyAll(int from, int to)
{
    char buffer[65536];
    for (;;) {
        ssize_t n = read(from, buffer, sizeof(buffer));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = write(to, buffer + done, static_cast<size_t>(n - done));
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0)
                return false;
            done += w;
        }
    }
}

// Copies the content of the regular file `from` (followed through links) to the new file `to`.
// -1 when `to` exists already, 0 on other failures, 1 when copied.
int CopyWithoutReplacing(const std::string& from, const std::string& to)
{
    const int in = open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (in < 0)
        return 0;
    struct stat info {};
    if (fstat(in, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(in);
        return 0;
    }
    const int out = open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (out < 0) {
        const int error = errno;
        close(in);
        return error == EEXIST ? -1 : 0;
    }
    const bool copied = CopyAll(in, out) && fsync(out) == 0;
    close(in);
    if (close(out) != 0 || !copied) {
        unlink(to.c_str());
        return 0;
    }
    return 1;
}

} // namespace

std::string FileBackup::Keep(const std::string& path, int maxBackups)
{
    struct stat info {};
    if (path.empty() || lstat(path.c_str(), &info) != 0)
        return {};
    const bool link = S_ISLNK(info.st_mode);
    if (!link && !S_ISREG(info.st_mode))
        return {};

    std::vector<Backup> existing = FindBackups(path);
    unsigned long number = existing.empty() ? 0 : existing.back().number + 1;
    std::string kept;
    for (int attempt = 0; attempt < 100 && kept.empty(); ++attempt, ++number) {
        const std::string candidate = BackupName(path, number);
        if (link) {
            const int copied = CopyWithoutReplacing(path, candidate);
            if (copied == 0)
                break;
            if (copied == 1)
                kept = candidate;
        } else if (MoveWithoutReplacing(path, candidate)) {
            kept = candidate;
        } else if (errno != EEXIST) {
            break;
        }
    }
    if (kept.empty()) {
        DebugOutF("cannot keep %s aside: %s", path.c_str(), strerror(errno));
        return {};
    }
    DebugOutF("file unusable, kept as %s", kept.c_str());

    // The oldest go first once there are more than the bound.
    existing = FindBackups(path);
    const size_t bound = static_cast<size_t>(std::max(maxBackups, 1));
    for (size_t i = 0; existing.size() - i > bound; ++i)
        if (unlink(existing[i].path.c_str()) == 0)
            DebugOutF("removed the oldest backup %s", existing[i].path.c_str());
    return kept;
}

std::vector<std::string> FileBackup::List(const std::string& path)
{
    std::vector<std::string> paths;
    for (const Backup& backup : FindBackups(path))
        paths.push_back(backup.path);
    return paths;
}

} // namespace nq
