// Nothing the user had is lost: unusable files are kept beside them (every backup, up to a bound),
// large files are kept without being read, links keep pointing where they did, and temporary
// files of an interrupted save do not pile up.
#include "ProfileTestFolder.h"

#include "profiles/CBasicProfiledata.h"
#include "profiles/DataFolders.h"
#include "profiles/FileBackup.h"
#include "profiles/JsonFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ctime>

#include <algorithm>

namespace {

using FileBackup = ProfileTestFolder;

TEST_F(FileBackup, EveryBackupIsKeptUpToTheBoundOldestRemovedFirst)
{
    const std::string path = Path("p.Json");
    std::vector<std::string> kept;
    for (int i = 0; i < 7; ++i) {
        WriteRaw("p.Json", "content " + std::to_string(i));
        kept.push_back(nq::FileBackup::Keep(path, 5));
        ASSERT_FALSE(kept.back().empty());
        EXPECT_NE(access(path.c_str(), F_OK), 0) << "a regular file is moved, not copied";
    }
    EXPECT_EQ(kept[0], path + ".broken");
    EXPECT_EQ(kept[1], path + ".broken.1");
    EXPECT_EQ(kept[6], path + ".broken.6");

    const std::vector<std::string> left = nq::FileBackup::List(path);
    ASSERT_EQ(left.size(), 5u);
    for (size_t i = 0; i < left.size(); ++i) {
        EXPECT_EQ(left[i], path + ".broken." + std::to_string(i + 2));
        EXPECT_EQ(ReadRaw(left[i]), "content " + std::to_string(i + 2));
    }

    // Nothing to keep: no file, or not a regular file.
    EXPECT_EQ(nq::FileBackup::Keep(Path("absent.Json")), "");
    ASSERT_EQ(mkdir(Path("folder.Json").c_str(), 0700), 0);
    EXPECT_EQ(nq::FileBackup::Keep(Path("folder.Json")), "");
    // Names that only look like backups are neither counted nor removed.
    WriteRaw("p.Json.broken.x", "other");
    WriteRaw("p.Json.broken.01", "other");
    WriteRaw("p.Json", "content 7");
    nq::FileBackup::Keep(path, 5);
    EXPECT_EQ(nq::FileBackup::List(path).size(), 5u);
    EXPECT_EQ(ReadRaw(Path("p.Json.broken.x")), "other");
    EXPECT_EQ(ReadRaw(Path("p.Json.broken.01")), "other");
}

class ProfileBackup : public ProfileTestFolder {
protected:
    void SetUp() override
    {
        ProfileTestFolder::SetUp();
        Json::Value defaults;
        defaults["Device"][0]["Marker"] = "default";
        WriteRaw("DefaultData/mouse.Json", nq::StyledJsonText(defaults));
        m_profile.SetDefaultPath(Path("DefaultData/mouse.Json"));
    }
    bool HoldsDefault(const std::string& path) const
    {
        return nq::ReadJsonFile(path)["Device"][0]["Marker"].asString() == "default";
    }

    nq::CBasicProfiledata m_profile;
};

TEST_F(ProfileBackup, ASecondBrokenStartKeepsTheFirstBackup)
{
    const std::string path = WriteRaw("user/p.Json", "{ first broken file");
    m_profile.Load(path);
    WriteRaw("user/p.Json", "{ second broken file");
    m_profile.Load(path);

    EXPECT_EQ(ReadRaw(path + ".broken"), "{ first broken file");
    EXPECT_EQ(ReadRaw(path + ".broken.1"), "{ second broken file");
    EXPECT_TRUE(HoldsDefault(path));
}

// A file far larger than any profile is kept as it is, at once, without being read or parsed.
TEST_F(ProfileBackup, AnOversizedFileIsKeptWithoutReadingIt)
{
    const std::string path = WriteRaw("user/p.Json", "");
    ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(nq::kMaxDataFileSize) * 4), 0);
    struct stat before {};
    ASSERT_EQ(stat(path.c_str(), &before), 0);

    EXPECT_EQ(m_profile.Load(path)["Marker"].asString(), "default");

    struct stat kept {};
    ASSERT_EQ(stat((path + ".broken").c_str(), &kept), 0);
    EXPECT_EQ(kept.st_ino, before.st_ino) << "moved, not copied";
    EXPECT_EQ(kept.st_size, before.st_size);
    EXPECT_TRUE(HoldsDefault(path));
}

// A save that would be too large to read back is refused; the file keeps what it had and the
// caller learns why.
TEST_F(ProfileBackup, ASaveTooLargeToReadBackIsRefused)
{
    const std::string path = Path("user/p.Json");
    WriteRaw("user/.keep", "");
    m_profile.SetProfilePath(path);
    m_profile.Load(path);
    const std::string before = ReadRaw(path);

    Json::Value node = m_profile.GetNode();
    node["Huge"] = std::string(nq::kMaxDataFileSize, 'x');
    m_profile.SetNode(node);
    EXPECT_FALSE(m_profile.Save());
    EXPECT_EQ(m_profile.LastSaveStatus(), nq::WriteStatus::TooLarge);
    EXPECT_EQ(ReadRaw(path), before);

    node.removeMember("Huge");
    m_profile.SetNode(node);
    EXPECT_TRUE(m_profile.Save());
    EXPECT_EQ(m_profile.LastSaveStatus(), nq::WriteStatus::Written);

    // The profile path is a folder: nothing is replaced.
    m_profile.SetProfilePath(Path("user"));
    EXPECT_FALSE(m_profile.Save());
    EXPECT_EQ(m_profile.LastSaveStatus(), nq::WriteStatus::Failed);
}

// Saving over a file that holds a second document keeps the file first instead of dropping it.
TEST_F(ProfileBackup, SavingOverExtraContentKeepsItFirst)
{
    const std::string text = R"({"Device": [{"a": 1}]} {"Device": [{"b": 2}]})";
    const std::string path = WriteRaw("user/p.Json", text);
    m_profile.SetProfilePath(path);
    m_profile.SetNode(Parse(R"({"c": 3})"));
    ASSERT_TRUE(m_profile.Save());
    EXPECT_EQ(ReadRaw(path + ".broken"), text);
    EXPECT_EQ(nq::ReadJsonFile(path)["Device"][0]["c"].asInt(), 3);
}

// The user made the profile a link to a file elsewhere: the link stays, the content it pointed
// at is kept beside the link, and the repaired profile is written where the link points.
TEST_F(ProfileBackup, ALinkToAnUnusableFileKeepsTheLink)
{
    const std::string target = WriteRaw("elsewhere/mine.Json", "not json at all");
    const std::string link = Path("user/p.Json");
    WriteRaw("user/.keep", "");
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);

    EXPECT_EQ(m_profile.Load(link)["Marker"].asString(), "default");

    struct stat info {};
    ASSERT_EQ(lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    char pointsAt[4096] = {};
    ASSERT_GT(readlink(link.c_str(), pointsAt, sizeof(pointsAt) - 1), 0);
    EXPECT_EQ(std::string(pointsAt), target);
    EXPECT_EQ(ReadRaw(link + ".broken"), "not json at all");
    EXPECT_TRUE(HoldsDefault(target));
}

// When the unusable content cannot be kept, the file is not replaced either.
TEST_F(ProfileBackup, ContentThatCannotBeKeptIsNotReplaced)
{
    const std::string path = WriteRaw("locked/p.Json", "{ broken");
    chmod(m_root.c_str(), 0755);
    chmod(Path("DefaultData").c_str(), 0755);
    chmod(Path("DefaultData/mouse.Json").c_str(), 0644);
    chmod(Path("locked").c_str(), 0555);
    const int result = AsOrdinaryUser([&] {
        nq::CBasicProfiledata profile;
        profile.SetDefaultPath(Path("DefaultData/mouse.Json"));
        const bool loadedDefault = profile.Load(path)["Marker"].asString() == "default";
        profile.SetProfilePath(path);
        return loadedDefault && !profile.Save() && profile.LastSaveStatus() == nq::WriteStatus::Failed;
    });
    ASSERT_NE(result, -1);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(ReadRaw(path), "{ broken");
    EXPECT_EQ(List(Path("locked")), std::vector<std::string>{"p.Json"});
}

// What a save killed halfway leaves behind is removed at the next start; nothing else is.
TEST_F(ProfileBackup, TemporaryFilesOfInterruptedSavesAreRemoved)
{
    const std::string data = Path("data/NQ501/");
    const std::string own = ".tmp" + std::to_string(getpid()) + "_0";
    const pid_t gone = fork();  // a process that has ended
    if (gone == 0)
        _exit(0);
    ASSERT_GT(gone, 0);
    waitpid(gone, nullptr, 0);
    const std::string dead = ".tmp" + std::to_string(gone) + "_";
    WriteRaw("data/NQ501/mouse/p.Json", "{}");
    WriteRaw("data/NQ501/mouse/p.Json" + dead + "0", "partial");
    WriteRaw("data/NQ501/mouse/drovo_light/x.light" + dead + "17", "partial");
    // Process 1 lives: its recent file is being written, its old one is stale.
    WriteRaw("data/NQ501/main.ini.tmp1_3", "partial");
    const timespec hourAgo[2] = {{time(nullptr) - 3600, 0}, {time(nullptr) - 3600, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, Path("data/NQ501/main.ini.tmp1_3").c_str(), hourAgo, 0), 0);
    WriteRaw("data/NQ501/mouse/k.Json.tmp1_0", "being written by another process");
    WriteRaw("data/NQ501/mouse/p.Json" + own, "being written by this process");
    WriteRaw("data/NQ501/mouse/notes.tmp", "user's");
    WriteRaw("data/NQ501/mouse/p.Json.tmp12_x", "user's");
    WriteRaw("data/NQ501/mouse/p.Json.tmp_3", "user's");
    ASSERT_EQ(symlink(Path("data/NQ501/mouse/p.Json").c_str(), Path("data/NQ501/mouse/l.Json.tmp5_0").c_str()), 0);
    ASSERT_EQ(mkdir(Path("data/NQ501/d.tmp6_0").c_str(), 0700), 0);

    EXPECT_EQ(nq::RemoveInterruptedSaves(), 3);

    std::vector<std::string> left = {"drovo_light",    "k.Json.tmp1_0",  "l.Json.tmp5_0", "notes.tmp", "p.Json",
                                     "p.Json" + own, "p.Json.tmp12_x", "p.Json.tmp_3"};
    std::sort(left.begin(), left.end());
    EXPECT_EQ(List(data + "mouse"), left);
    EXPECT_TRUE(List(data + "mouse/drovo_light").empty());
    EXPECT_EQ(List(data), (std::vector<std::string>{"d.tmp6_0", "mouse"}));
    EXPECT_TRUE(nq::IsTemporaryFileName("p.Json.tmp1_0"));
    EXPECT_FALSE(nq::IsTemporaryFileName(".tmp1_0"));

    // Without a data folder nothing is created.
    setenv("XDG_DATA_HOME", Path("none").c_str(), 1);
    EXPECT_EQ(nq::RemoveInterruptedSaves(), 0);
    EXPECT_NE(access(Path("none").c_str(), F_OK), 0);
}

} // namespace
