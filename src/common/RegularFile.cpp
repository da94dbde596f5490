#include "common/RegularFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nq {

FileContent RegularFile::Read(const std::string& path, uint64_t maxSize)
{
    FileContent content;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        content.error = errno;
        content.status = errno == ENOENT || errno == ENOTDIR ? FileContent::Status::Missing
                                                             : FileContent::Status::Unreadable;
        return content;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0) {
        content.error = errno;
        content.status = FileContent::Status::Unreadable;
    } else if (!S_ISREG(info.st_mode)) {
        content.status = FileContent::Status::NotRegular;
    } else if (static_cast<uint64_t>(info.st_size) > maxSize) {
        content.size = static_cast<uint64_t>(info.st_size);
        content.status = FileContent::Status::TooLarge;
    } else {
        content.size = static_cast<uint64_t>(info.st_size);
        content.bytes.resize(static_cast<size_t>(content.size));
        size_t done = 0;
        bool failed = false;
        while (done < content.bytes.size()) {
            const ssize_t n = read(fd, content.bytes.data() + done, content.bytes.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                content.error = n < 0 ? errno : 0;
                failed = true;
                break;
            }
            done += static_cast<size_t>(n);
        }
        // A file that shrank or grew while it was read is not taken half.
        char extra = 0;
        if (!failed && read(fd, &extra, 1) != 0)
            failed = true;
        if (failed) {
            content.bytes.clear();
            content.status = FileContent::Status::Unreadable;
        } else {
            content.status = FileContent::Status::Read;
        }
    }
    close(fd);
    return content;
}

} // namespace nq
