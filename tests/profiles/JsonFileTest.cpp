#include "ProfileTestFolder.h"

#include "profiles/JsonFile.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>


namespace {

using JsonFile = ProfileTestFolder;

Json::Value SampleDocument()
{
    Json::Value doc;
    doc["profilename"] = "Mein Profil – 配置";
    doc["profileUUID"] = "2024_03_05_14_07_09_045";
    Json::Value& node = doc["Device"][0];
    node["LightInfo"]["SelectItem"] = 3;
    node["LightInfo"]["Red"] = 255;
    for (int i = 0; i < 5; ++i)
        node["List"].append(i * 100);
    node["Nested"]["Deeper"]["Flag"] = true;
    node["Negative"] = -12;
    return doc;
}

TEST_F(JsonFile, WrittenFileReadsBackEqualAndEndsWithTwoLineBreaks)
{
    const Json::Value doc = SampleDocument();
    const std::string path = Path("profile.Json");
    ASSERT_TRUE(nq::WriteJsonFile(path, doc));

    EXPECT_EQ(nq::ReadJsonFile(path), doc);
    const std::string text = ReadRaw(path);
    ASSERT_GE(text.size(), 3u);
    EXPECT_EQ(text.substr(text.size() - 2), "\n\n");
    EXPECT_NE(text[text.size() - 3], '\n');
    // Styled output: three-space indentation, short arrays on one line.
    EXPECT_NE(text.find("\n   \"Device\" : ["), std::string::npos) << text;
    EXPECT_NE(text.find("[ 0, 100, 200, 300, 400 ]"), std::string::npos) << text;
    // No temporary file is left beside it.
    EXPECT_EQ(List(m_root), std::vector<std::string>{"profile.Json"});
}

TEST_F(JsonFile, ReplacingKeepsPermissionsAndWritesThroughLinks)
{
    const std::string path = Path("target.Json");
    ASSERT_TRUE(nq::WriteJsonFile(path, Json::Value(1)));
    chmod(path.c_str(), 0640);
    ASSERT_EQ(symlink(path.c_str(), Path("link.Json").c_str()), 0);

    ASSERT_TRUE(nq::WriteJsonFile(Path("link.Json"), Json::Value(2)));

    struct stat info {};
    ASSERT_EQ(lstat(Path("link.Json").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(nq::ReadJsonFile(path), Json::Value(2));
}

TEST_F(JsonFile, CommentsAreAcceptedAndKeptOnRewrite)
{
    const std::string path = WriteRaw("commented.Json", "// made by hand\n{\n  \"a\": 1, /* inline */\n  \"b\": [1,2]\n}\n");
    const Json::Value doc = nq::ReadJsonFile(path);
    ASSERT_TRUE(doc.isObject());
    EXPECT_EQ(doc["a"].asInt(), 1);
    ASSERT_TRUE(nq::WriteJsonFile(path, doc));
    EXPECT_NE(ReadRaw(path).find("// made by hand"), std::string::npos);
}

// Every kind of bad file reads as null, without a crash and without touching the file.
TEST_F(JsonFile, BadFilesReadAsNull)
{
    struct Case {
        const char* name;
        std::string bytes;
    };
    static const char kUtf16[] = "\xFF\xFE{\0\"\0a\0\"\0:\0 \0\x31\0}\0";  // {"a": 1} in UTF-16
    std::string deep(200000, '[');
    std::string deepObjects;
    for (int i = 0; i < 50000; ++i)
        deepObjects += "{\"a\":";
    const std::vector<Case> cases = {
        {"empty", ""},
        {"white space only", " \n\t\r\n   "},
        {"comment only", "// nothing here\n"},
        {"truncated", "{\"Device\": [{\"LightInfo\": {\"SelectItem\": 3, \"Li"},
        {"truncated string", "{\"profilename\": \"abc"},
        {"utf-16 text", std::string(kUtf16, sizeof(kUtf16) - 1)},
        {"binary", std::string("\x00\x01\x02\xFF\xFE", 5)},
        {"deeply nested arrays", deep},
        {"deeply nested objects", deepObjects},
        {"not json", "<xml>profile</xml>"},
        {"a second value after the first", "{\"a\": 1}\n{\"b\": 2}"},
        {"junk after a zero byte", std::string("{\"a\": 1}\0{\"b\"", 14)},
        {"white space, a zero byte and junk", std::string(" \n\0", 3) + std::string(1400, 'j')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = WriteRaw("bad.Json", c.bytes);
        EXPECT_TRUE(nq::ReadJsonFile(path).isNull());
        EXPECT_EQ(ReadRaw(path), c.bytes);
    }
}

TEST_F(JsonFile, OneDocumentWithCommentsAndSpaceAroundItReads)
{
    const std::string path = WriteRaw("ok.Json", "  // made by hand\n{\"a\": 1}\r\n  /* end */\n\n");
    EXPECT_EQ(nq::ReadJsonFile(path)["a"].asInt(), 1);
    EXPECT_EQ(nq::ReadJsonDocument(path).state, nq::JsonDocument::State::Parsed);
    EXPECT_EQ(nq::ReadJsonDocument(WriteRaw("null.Json", "null\n")).state, nq::JsonDocument::State::Parsed);
}

// What a caller that replaces a file learns about it: nothing there, nothing worth keeping,
// content that must be kept, or something that is not a file at all.
TEST_F(JsonFile, DocumentStates)
{
    using State = nq::JsonDocument::State;
    EXPECT_EQ(nq::ReadJsonDocument(Path("absent.Json")).state, State::Missing);
    EXPECT_EQ(nq::ReadJsonDocument(WriteRaw("empty.Json", "")).state, State::Blank);
    EXPECT_EQ(nq::ReadJsonDocument(WriteRaw("blank.Json", " \r\n\t")).state, State::Blank);
    EXPECT_EQ(nq::ReadJsonDocument(WriteRaw("nul.Json", std::string(" \0", 2))).state, State::Unusable);
    EXPECT_EQ(nq::ReadJsonDocument(WriteRaw("two.Json", "1 2")).state, State::Unusable);
    EXPECT_EQ(nq::ReadJsonDocument(m_root).state, State::NotAFile);
    ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0600), 0);
    EXPECT_EQ(nq::ReadJsonDocument(Path("fifo")).state, State::NotAFile);
}

// Reading and writing share one limit: whatever is written reads back, a document that would be
// larger is refused before anything reaches the disk, and a larger file is not read at all.
TEST_F(JsonFile, ReadingAndWritingShareOneSizeLimit)
{
    const std::string path = Path("profile.Json");
    ASSERT_TRUE(nq::WriteJsonFile(path, SampleDocument()));
    const std::string before = ReadRaw(path);

    // The styled text of a string is the quoted string and two line breaks.
    const Json::Value largest(std::string(nq::kMaxDataFileSize - 4, 'a'));
    const Json::Value tooLarge(std::string(nq::kMaxDataFileSize - 3, 'a'));

    nq::WriteStatus status = nq::WriteStatus::Written;
    EXPECT_FALSE(nq::WriteJsonFile(path, tooLarge, &status));
    EXPECT_EQ(status, nq::WriteStatus::TooLarge);
    EXPECT_EQ(ReadRaw(path), before);
    EXPECT_EQ(List(m_root), std::vector<std::string>{"profile.Json"});
    EXPECT_TRUE(Traced("WriteJsonFile refused"));

    ASSERT_TRUE(nq::WriteJsonFile(path, largest, &status));
    EXPECT_EQ(status, nq::WriteStatus::Written);
    EXPECT_EQ(nq::ReadJsonFile(path), largest);

    // One byte more on disk and the file is not read.
    WriteRaw("profile.Json", ReadRaw(path) + " ");
    EXPECT_EQ(nq::ReadJsonDocument(path).state, nq::JsonDocument::State::Unusable);
    EXPECT_TRUE(nq::ReadJsonFile(path).isNull());
}

TEST_F(JsonFile, NestingUpToTheLimitStillReads)
{
    const int depth = nq::kMaxJsonDepth - 1;
    const std::string text = std::string(static_cast<size_t>(depth), '[') + std::string(static_cast<size_t>(depth), ']');
    EXPECT_TRUE(nq::ParseJsonText(text).isArray());
}

TEST_F(JsonFile, InvalidUtf8InsideStringsStillParses)
{
    // A name saved by another program in a legacy code page: the document is kept, the name is
    // repaired only where it is read as text.
    const std::string path = WriteRaw("latin1.Json", "{\"profilename\": \"Caf\xE9\", \"n\": 5}");
    const Json::Value doc = nq::ReadJsonFile(path);
    ASSERT_TRUE(doc.isObject());
    EXPECT_EQ(doc["n"].asInt(), 5);
    // Written back, the text is valid JSON again.
    ASSERT_TRUE(nq::WriteJsonFile(path, doc));
    EXPECT_TRUE(nq::ReadJsonFile(path).isObject());
}

TEST_F(JsonFile, MissingFileTracesTheErrorAndThePath)
{
    const std::string path = Path("absent.Json");
    EXPECT_TRUE(nq::ReadJsonFile(path).isNull());
    EXPECT_TRUE(Traced("readjsonFile 错误吗：：2")) << "ENOENT expected";
    EXPECT_TRUE(Traced(path));

    m_trace.clear();
    nq::ReadTextFile(WriteRaw("present.Json", "{}"));
    EXPECT_TRUE(Traced("readjsonFile 错误吗：：0"));
}

TEST_F(JsonFile, TextStopsAtTheFirstZeroByteAndFoldersReadEmpty)
{
    EXPECT_EQ(nq::ReadTextFile(WriteRaw("zero.txt", std::string("{\"a\":1}\0garbage", 15))), "{\"a\":1}");
    EXPECT_EQ(nq::ReadTextFile(m_root), "");
    ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0600), 0);
    EXPECT_EQ(nq::ReadTextFile(Path("fifo")), "");  // returns at once instead of waiting for a writer
}

TEST_F(JsonFile, WriteIntoReadOnlyFolderIsReportedAndKeepsTheOldFile)
{
    const std::string folder = Path("locked/");
    const std::string path = folder + "profile.Json";
    ASSERT_TRUE(nq::WriteJsonFile(WriteRaw("locked/profile.Json", "") , SampleDocument()));
    chmod(m_root.c_str(), 0755);
    chmod(folder.c_str(), 0555);
    const std::string before = ReadRaw(path);

    const int written = AsOrdinaryUser([&] { return nq::WriteJsonFile(path, Json::Value("replacement")); });

    EXPECT_EQ(written, 0);
    EXPECT_EQ(ReadRaw(path), before);
    EXPECT_EQ(nq::ReadJsonFile(path), SampleDocument());
    EXPECT_EQ(List(folder), std::vector<std::string>{"profile.Json"});
}

TEST_F(JsonFile, WriteThatFailsHalfwayLeavesThePreviousFileReadable)
{
    const std::string path = Path("profile.Json");
    ASSERT_TRUE(nq::WriteJsonFile(path, SampleDocument()));
    const std::string before = ReadRaw(path);

    // A document far larger than the file size limit set below: the write stops part of the way,
    // as it would on a full disk.
    Json::Value big;
    for (int i = 0; i < 20000; ++i)
        big["Device"][0]["KeyList"][i]["Assignment"] = i;

    struct rlimit saved {};
    getrlimit(RLIMIT_FSIZE, &saved);
    struct rlimit limited = saved;
    limited.rlim_cur = 4096;
    const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const bool written = nq::WriteJsonFile(path, big);
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(ReadRaw(path), before);
    EXPECT_EQ(nq::ReadJsonFile(path), SampleDocument());
    EXPECT_EQ(List(m_root), std::vector<std::string>{"profile.Json"});  // the partial temporary is gone
    EXPECT_TRUE(Traced("WriteJsonFile write failed"));
}

TEST_F(JsonFile, WriteIntoMissingFolderFails)
{
    nq::WriteStatus status = nq::WriteStatus::Written;
    EXPECT_FALSE(nq::WriteJsonFile(Path("no/such/folder/x.Json"), Json::Value(1), &status));
    EXPECT_EQ(status, nq::WriteStatus::Failed);
    EXPECT_FALSE(nq::WriteJsonFile("", Json::Value(1), &status));
    EXPECT_EQ(status, nq::WriteStatus::NothingToWrite);
}

} // namespace
