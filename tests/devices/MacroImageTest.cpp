// The macro image (the mouse's and the keyboard's) from the macro files of a folder.
#include "devices/MouseMacroImage.h"
#include "devices/MouseMacroList.h"
#include "profiles/JsonFile.h"

#include "support/TempFolderTest.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

struct Built {
    int overflow = 0;
    size_t length = 0;
    std::vector<uint8_t> bytes;
};

// As the devices' WriteMacrosToDevice builds it for a memory of `capacity` bytes.
Built FromFolder(const std::string& folder, size_t capacity)
{
    Built built;
    const auto list = nq::MouseMacroList::Load(folder);
    if (list.Count() == 0)
        return built;
    const auto blocks = list.ReadAllEvents();
    built.length = nq::MouseMacroImage::Length(blocks);
    built.overflow = nq::MouseMacroImage::Overflow(built.length, capacity);
    if (built.overflow == 0)
        built.bytes = nq::MouseMacroImage::Build(blocks);
    return built;
}

class MacroImageFolder : public nqtest::TempFolderTest {
protected:
    void WriteMacros(const std::vector<int>& counts)
    {
        Json::Value list;
        for (size_t m = 0; m < counts.size(); ++m) {
            list["MacroInfo"][Json::ArrayIndex(m)]["MacroName"] = "m";
            list["MacroInfo"][Json::ArrayIndex(m)]["Guid"] = "g" + std::to_string(m);
            Json::Value doc;
            for (int e = 0; e < counts[m]; ++e) {
                Json::Value event;
                event["Type"] = 10;
                event["Button"] = 4 + e;
                event["Action"] = e % 2 ? "up" : "down";
                event["Delay"] = std::to_string(e * 300);
                doc["Events"].append(event);
            }
            if (counts[m] >= 0)
                ASSERT_TRUE(nq::WriteJsonFile(folder + "g" + std::to_string(m) + ".mac", doc));
        }
        ASSERT_TRUE(nq::WriteJsonFile(folder + "macro.config", list));
    }
};

TEST_F(MacroImageFolder, TwoMacrosLaidOutInListOrder)
{
    WriteMacros({10, 20});
    const auto built = FromFolder(folder, 4096);
    ASSERT_EQ(built.overflow, 0);
    ASSERT_EQ(built.bytes.size(), 148u);
    const auto& b = built.bytes;
    EXPECT_EQ((std::vector<uint8_t>(b.begin(), b.begin() + 20)),
              (std::vector<uint8_t>{0xAA, 0x55, 148, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 20, 0, 64, 0}));
    EXPECT_EQ((std::vector<uint8_t>(b.begin() + 20, b.begin() + 32)),
              (std::vector<uint8_t>{10, 0, 0, 0, 0, 0, 0x8A, 4, 0x2C, 0x01, 0x0A, 5}));
    EXPECT_EQ(b[64], 20);
}

TEST_F(MacroImageFolder, TooLargeForTheMemoryOrNothingToWrite)
{
    WriteMacros({10, 20});
    const auto built = FromFolder(folder, 128);
    EXPECT_EQ(built.overflow, 6); // (148 - 128) / 4 + 1
    EXPECT_TRUE(built.bytes.empty());

    WriteMacros({});
    EXPECT_EQ(FromFolder(folder, 128).length, 0u);
    std::filesystem::remove(folder + "g0.mac");
    WriteMacros({-1}); // a macro whose event file is missing
    EXPECT_EQ(FromFolder(folder, 128).bytes.size(), 16u + 6u);
}

} // namespace
