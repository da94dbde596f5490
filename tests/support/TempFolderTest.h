#pragma once
// A test with a fresh temporary folder ("/tmp/nq501-test-XXXXXX/", with its trailing "/"),
// removed with everything in it afterwards.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <stdlib.h>

namespace nqtest {

class TempFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/nq501-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = std::string(pattern) + "/";
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string folder;
};

} // namespace nqtest
