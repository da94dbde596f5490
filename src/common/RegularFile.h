#pragma once
// Reading a whole data file safely. The file is opened non-blocking, so a FIFO or a device node in
// its place never blocks the reader; anything that is not a regular file is refused, and a file
// larger than the caller's limit is refused before a byte of it is read, so memory stays bounded.
#include <cstdint>
#include <string>

namespace nq {

struct FileContent {
    enum class Status {
        Read,       // `bytes` holds the whole file
        Missing,    // no such file (or a folder on the way is missing)
        NotRegular, // a folder, FIFO, socket or device node
        TooLarge,   // larger than the limit; not read
        Unreadable, // could not be opened or read (permissions, I/O error, changed while read)
    };
    Status status = Status::Missing;
    int error = 0;     // errno of the failed open or read; 0 otherwise
    uint64_t size = 0; // size on disk when it could be learnt (also when too large)
    std::string bytes;

    bool IsRead() const { return status == Status::Read; }
};

class RegularFile {
public:
    // The whole content of the regular file at `path` when it holds at most `maxSize` bytes.
    static FileContent Read(const std::string& path, uint64_t maxSize);
};

} // namespace nq
