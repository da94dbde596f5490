// The keyboard picture's layout data: the installed file and files that must give no picture.
#include "devices/KeyboardPictureLayout.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>

using namespace nq;

TEST(KeyboardPictureLayout, InstalledFileDrawsAFullSizeKeyboard)
{
    const KeyboardPictureLayout layout =
        KeyboardPictureLayout::Load(std::string(NQ501_SOURCE_DIR) + "/skin/" + KeyboardPictureLayout::kFile);
    ASSERT_EQ(layout.keys.size(), 113u);
    EXPECT_EQ(layout.logo.size(), 15u);
    EXPECT_EQ(layout.side.size(), 6u);
    std::set<int> drawn;
    for (const auto& cap : layout.keys) {
        drawn.insert(cap.index);
        // Every cap lies inside the case.
        EXPECT_GE(cap.x, layout.outline.x) << cap.index;
        EXPECT_LE(cap.x + cap.w, layout.outline.x + layout.outline.w) << cap.index;
        EXPECT_LE(cap.y + cap.h, layout.outline.y + layout.outline.h) << cap.index;
    }
    for (int p : {20, 62, 79, 80, 81, 82, 83, 85, 101, 102, 103, 104, 125}) // no key on this keyboard
        EXPECT_EQ(drawn.count(p), 0u) << p;
}

TEST(KeyboardPictureLayout, MalformedEntriesGiveNoPicture)
{
    char pattern[] = "/tmp/nq501-layout-XXXXXX";
    const std::string folder = std::string(::mkdtemp(pattern)) + "/";
    auto write = [&](const char* keysJson) {
        std::ofstream(folder + "layout.json") << "{\"keys\":" << keysJson << ",\"logo\":[],\"side\":[]}";
        return KeyboardPictureLayout::Load(folder + "layout.json");
    };
    EXPECT_EQ(write(R"([{"position":0,"x":0,"y":0,"w":1,"h":1,"legend":"Esc"}])").keys.size(), 1u);
    for (const char* bad : {R"([{"position":126,"x":0,"y":0,"w":1,"h":1}])",          // no such position
                            R"([{"position":1,"x":0,"y":0,"w":1,"h":1},{"position":1,"x":1,"y":0,"w":1,"h":1}])",
                            R"([{"position":2,"x":0,"y":0,"w":0,"h":1}])",            // no width
                            R"([{"position":3,"x":"a","y":0,"w":1,"h":1}])",
                            R"([{"position":4,"x":1e9,"y":0,"w":1,"h":1}])"})
        EXPECT_TRUE(write(bad).Empty()) << bad;
    EXPECT_TRUE(KeyboardPictureLayout::Load(folder + "missing.json").Empty());
    std::filesystem::remove_all(folder);
}
