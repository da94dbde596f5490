#include "common/InstallPaths.h"

#include "BuildConfig.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace nq {
namespace {

std::string WithSlash(std::string path)
{
    if (path.empty() || path.back() != '/')
        path.push_back('/');
    return path;
}

bool HoldsData(const std::string& folder)
{
    std::error_code error;
    return std::filesystem::is_directory(folder + "skin", error);
}

} // namespace

std::string ExecutableFolder()
{
    char buffer[4096];
    ssize_t length = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    if (length <= 0)
        return "./";
    std::string path(buffer, static_cast<size_t>(length));
    return WithSlash(std::filesystem::path(path).parent_path().string());
}

std::string ProgramDataFolder()
{
    if (const char* overridden = getenv("NQ501_DATA_DIR"); overridden && *overridden)
        return WithSlash(overridden);
    const std::string exeFolder = ExecutableFolder();
    if (HoldsData(exeFolder))
        return exeFolder;
    const std::string installed =
        WithSlash((std::filesystem::path(exeFolder) / ".." / "share" / "nq501").lexically_normal().string());
    if (HoldsData(installed))
        return installed;
    if (HoldsData(NQ501_INSTALL_DATA_DIR))
        return NQ501_INSTALL_DATA_DIR;
    return NQ501_SOURCE_DATA_DIR;
}

} // namespace nq
