#include "ProfileTestFolder.h"

#include "profiles/DataFolders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace {

using DataFolders = ProfileTestFolder;

bool IsFolder(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

TEST_F(DataFolders, UserFoldersAreMadeWhenAskedFor)
{
    EXPECT_FALSE(IsFolder(Path("data")));
    EXPECT_EQ(nq::GetAppDataFolder(), Path("data/NQ501/"));
    EXPECT_TRUE(IsFolder(Path("data/NQ501/")));

    const std::string keyboard = nq::GetUserFolder("keyboard");
    EXPECT_EQ(keyboard, Path("data/NQ501/keyboard/"));
    EXPECT_TRUE(IsFolder(keyboard));
    struct stat info {};
    ASSERT_EQ(stat(keyboard.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    // Removed while running: made again on the next request.
    std::filesystem::remove_all(Path("data"));
    EXPECT_EQ(nq::GetUserFolder("HD"), Path("data/NQ501/HD/"));
    EXPECT_TRUE(IsFolder(Path("data/NQ501/HD/")));
}

TEST_F(DataFolders, HomeIsUsedWithoutAnAbsoluteDataHome)
{
    for (const char* value : {"", "relative/path"}) {
        SCOPED_TRACE(value);
        setenv("XDG_DATA_HOME", value, 1);
        EXPECT_EQ(nq::GetAppDataFolder(), Path("home/.local/share/NQ501/"));
    }
    unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(nq::GetUserFolder("mouse"), Path("home/.local/share/NQ501/mouse/"));
    EXPECT_TRUE(IsFolder(Path("home/.local/share/NQ501/mouse/")));
}

TEST_F(DataFolders, FolderCreationFailureStillGivesThePath)
{
    // A file where the data folder should be: nothing can be created below it.
    WriteRaw("data", "not a folder");
    EXPECT_EQ(nq::GetUserFolder("mouse"), Path("data/NQ501/mouse/"));
    EXPECT_TRUE(Traced("create folder failed"));
}

TEST_F(DataFolders, DownloadFolderIsInTheTemporaryFolderAndOwnedByTheUser)
{
    EXPECT_EQ(nq::GetDownloadFolder(), Path("tmp/UpdateData/"));
    EXPECT_TRUE(IsFolder(Path("tmp/UpdateData/")));

    // A folder of that name that others may write into is not used.
    std::filesystem::remove_all(Path("tmp/UpdateData"));
    std::filesystem::create_directories(Path("tmp/UpdateData"));
    chmod(Path("tmp/UpdateData").c_str(), 0777);
    const std::string fallback = nq::GetDownloadFolder();
    EXPECT_EQ(fallback, Path("tmp/UpdateData-" + std::to_string(getuid()) + "/"));
    EXPECT_TRUE(IsFolder(fallback));
}

TEST_F(DataFolders, DefaultFolderIsBesideTheProgramData)
{
    setenv("NQ501_DATA_DIR", Path("install").c_str(), 1);
    EXPECT_EQ(nq::GetDefaultFolder(), Path("install/DefaultData/"));
    EXPECT_EQ(nq::GetDefaultProfilePath("keyboard"), Path("install/DefaultData/keyboard.Json"));
    unsetenv("NQ501_DATA_DIR");
    EXPECT_FALSE(IsFolder(Path("install")));  // the default folder is never created
}

} // namespace
