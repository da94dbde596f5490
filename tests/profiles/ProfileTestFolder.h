#pragma once
// A fixture for tests that touch files: a fresh temporary folder per test, with XDG_DATA_HOME,
// HOME and TMPDIR pointing into it (so nothing reaches the real home folder), and the
// diagnostics sink captured.
#include <gtest/gtest.h>
#include <json/value.h>

#include <functional>
#include <string>
#include <vector>

class ProfileTestFolder : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Absolute path of a file or folder inside the test folder.
    std::string Path(const std::string& name) const { return m_root + name; }
    // Writes raw bytes to a file of the test folder and returns its path.
    std::string WriteRaw(const std::string& name, const std::string& bytes) const;
    std::string ReadRaw(const std::string& path) const;
    // Parses JSON text; fails the test when it does not parse.
    static Json::Value Parse(const std::string& text);
    // True when a diagnostic line containing `text` was written.
    bool Traced(const std::string& text) const;
    // Runs `body` with the rights of an ordinary user: root ignores file permissions, so under root
    // it runs in a child process that has given up its rights. Returns 1 or 0 for what `body`
    // returned, -1 when the rights could not be given up.
    static int AsOrdinaryUser(const std::function<bool()>& body);
    // Names of the entries of a folder, sorted.
    static std::vector<std::string> List(const std::string& folder);

    std::string m_root;  // ends with "/"
    std::vector<std::string> m_trace;

private:
    std::vector<std::pair<std::string, std::string>> m_savedEnvironment;
};
