#pragma once
// Keeping a user's file that cannot be used before it is replaced, so that nothing the user had is
// lost without a trace. The backups of FILE sit beside it: FILE.broken for the first, then
// FILE.broken.1, FILE.broken.2, ... (the highest number is the newest). A later backup never
// replaces an earlier one; only the number of backups per file is bounded, and when a new one
// goes beyond the bound the oldest are removed first.
#include <string>
#include <vector>

namespace nq {

class FileBackup {
public:
    static constexpr int kMaxBackups = 10;

    // Keeps what `path` holds as its newest backup. A regular file is moved there (nothing is
    // read, however large it is); a symbolic link stays where it is and the content of the file it
    // points at is copied, so the link keeps pointing where the user made it point. Returns the
    // backup's path, empty when nothing was kept: no file there, or it could not be moved or copied
    // (the caller must not replace the file then).
    static std::string Keep(const std::string& path, int maxBackups = kMaxBackups);

    // The backups of `path`, oldest first.
    static std::vector<std::string> List(const std::string& path);
};

} // namespace nq
