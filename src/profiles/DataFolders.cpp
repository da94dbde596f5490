#include "profiles/DataFolders.h"

#include "common/DebugLog.h"
#include "common/InstallPaths.h"
#include "profiles/JsonFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace nq {
namespace {

// "/a/b" and "/a/b/" both give "/a/b/".
std::string FolderPath(const std::string& path)
{
    return !path.empty() && path.back() == '/' ? path : path + "/";
}

std::string Environment(const char* name)
{
    const char* value = getenv(name);
    return value ? value : "";
}

// The base of per-user data: $XDG_DATA_HOME when it is an absolute path, else $HOME/.local/share,
// else the home folder of the user's account; the temporary folder as a last resort.
std::string UserDataBase()
{
    const std::string xdg = Environment("XDG_DATA_HOME");
    if (!xdg.empty() && xdg.front() == '/')
        return FolderPath(xdg);
    std::string home = Environment("HOME");
    if (home.empty() || home.front() != '/') {
        home.clear();
        struct passwd entry {};
        struct passwd* found = nullptr;
        char buffer[4096];
        if (getpwuid_r(getuid(), &entry, buffer, sizeof(buffer), &found) == 0 && found && found->pw_dir)
            home = found->pw_dir;
    }
    if (!home.empty() && home.front() == '/')
        return FolderPath(home) + ".local/share/";
    DebugOut("GetAppDataFolder: no home folder, using the temporary folder");
    return FolderPath(Environment("TMPDIR").empty() ? std::string("/tmp") : Environment("TMPDIR")) + "NQ501-" +
           std::to_string(getuid()) + "/";
}

int RemoveInterruptedSavesIn(const std::string& folder, int depth)
{
    int removed = RemoveStaleTemporaryFiles(folder);
    if (depth <= 1)
        return removed;
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return removed;
    std::vector<std::string> below;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        struct stat info {};
        if (name != "." && name != ".." && fstatat(dirfd(dir), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISDIR(info.st_mode))
            below.push_back(folder + name + "/");
    }
    closedir(dir);
    for (const std::string& sub : below)
        removed += RemoveInterruptedSavesIn(sub, depth - 1);
    return removed;
}

} // namespace

int RemoveInterruptedSaves()
{
    return RemoveInterruptedSavesIn(UserDataBase() + "NQ501/", kCleanDepth);
}

bool EnsureFolder(const std::string& path)
{
    if (path.empty())
        return false;
    struct stat info {};
    if (stat(path.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode);
    // Create each missing level from the top.
    for (size_t slash = path.find('/', 1); ; slash = path.find('/', slash + 1)) {
        const std::string level = slash == std::string::npos ? path : path.substr(0, slash);
        if (!level.empty() && mkdir(level.c_str(), 0700) != 0 && errno != EEXIST) {
            DebugOutF("create folder failed: %s: %s", level.c_str(), strerror(errno));
            return false;
        }
        if (slash == std::string::npos || slash + 1 >= path.size())
            break;
    }
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string GetProgramFolder()
{
    return FolderPath(ProgramDataFolder());
}

std::string GetDefaultFolder()
{
    return GetProgramFolder() + "DefaultData/";
}

std::string GetDefaultProfilePath(const std::string& folderName)
{
    return GetDefaultFolder() + folderName + ".Json";
}

std::string GetAppDataFolder()
{
    const std::string folder = UserDataBase() + "NQ501/";
    EnsureFolder(folder);
    return folder;
}

std::string GetUserFolder(const std::string& folderName)
{
    const std::string folder = GetAppDataFolder() + folderName + "/";
    EnsureFolder(folder);
    return folder;
}

std::string GetDownloadFolder()
{
    std::string temp = Environment("TMPDIR");
    if (temp.empty() || temp.front() != '/')
        temp = "/tmp";
    // The temporary folder is shared by all users: a download folder that someone else made (or a
    // link planted in its place) is not used; this user's own folder beside it is used instead.
    const auto ownFolder = [](const std::string& folder) {
        EnsureFolder(folder);
        struct stat info {};
        return lstat(folder.substr(0, folder.size() - 1).c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
               info.st_uid == getuid() && (info.st_mode & 022) == 0;
    };
    const std::string folder = FolderPath(temp) + "UpdateData/";
    if (ownFolder(folder))
        return folder;
    const std::string fallback = FolderPath(temp) + "UpdateData-" + std::to_string(getuid()) + "/";
    ownFolder(fallback);
    return fallback;
}

} // namespace nq
