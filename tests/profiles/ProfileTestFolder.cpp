#include "ProfileTestFolder.h"

#include "common/DebugLog.h"
#include "profiles/JsonFile.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

void ProfileTestFolder::SetUp()
{
    std::string pattern = (fs::temp_directory_path() / "nq501-profiles-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    m_root = pattern + "/";
    for (const char* name : {"XDG_DATA_HOME", "HOME", "TMPDIR"}) {
        const char* value = getenv(name);
        m_savedEnvironment.emplace_back(name, value ? value : std::string("\x01"));
    }
    setenv("XDG_DATA_HOME", (m_root + "data").c_str(), 1);
    setenv("HOME", (m_root + "home").c_str(), 1);
    setenv("TMPDIR", (m_root + "tmp").c_str(), 1);
    nq::SetDebugLogCallback([this](const std::string& line) { m_trace.push_back(line); });
}

void ProfileTestFolder::TearDown()
{
    nq::SetDebugLogCallback({});
    for (const auto& [name, value] : m_savedEnvironment) {
        if (value == "\x01")
            unsetenv(name.c_str());
        else
            setenv(name.c_str(), value.c_str(), 1);
    }
    std::error_code error;
    // Read-only folders made by a test must not keep their content from being removed.
    for (auto it = fs::recursive_directory_iterator(m_root, error); !error && it != fs::recursive_directory_iterator();
         it.increment(error))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
    fs::remove_all(m_root, error);
}

std::string ProfileTestFolder::WriteRaw(const std::string& name, const std::string& bytes) const
{
    const std::string path = Path(name);
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    return path;
}

std::string ProfileTestFolder::ReadRaw(const std::string& path) const
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

Json::Value ProfileTestFolder::Parse(const std::string& text)
{
    Json::Value value = nq::ParseJsonText(text);
    EXPECT_FALSE(value.isNull()) << "does not parse: " << text;
    return value;
}

bool ProfileTestFolder::Traced(const std::string& text) const
{
    return std::any_of(m_trace.begin(), m_trace.end(),
                       [&](const std::string& line) { return line.find(text) != std::string::npos; });
}

std::vector<std::string> ProfileTestFolder::List(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

int ProfileTestFolder::AsOrdinaryUser(const std::function<bool()>& body)
{
    if (geteuid() != 0)
        return body() ? 1 : 0;
    const pid_t child = fork();
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0)
            _exit(2);
        _exit(body() ? 1 : 0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) > 1)
        return -1;
    return WEXITSTATUS(status);
}
