#include "KeyboardTestRig.h"

#include "profiles/JsonFile.h"

#include <filesystem>

namespace nqtest {

void KeyboardSimTest::SetUp()
{
    MouseSimTest::SetUp();
    std::filesystem::create_directories(KeyboardFolder());
    std::filesystem::copy_file(std::string(NQ501_SOURCE_DIR) + "/DefaultData/keyboard.Json",
                               folders->DefaultFolder() + "keyboard.Json");
    std::filesystem::copy_file(std::string(NQ501_SOURCE_DIR) + "/DefaultData/default_light.json",
                               folders->DefaultFolder() + "default_light.json",
                               std::filesystem::copy_options::overwrite_existing);
    keyboard = std::make_unique<nq::CKelvaskKeyboardDevice>();
    keyboard->SetProfileName("profile_k");
    keyboard->SetLightConfigName("drovo_light");
}

void KeyboardSimTest::ConnectKeyboard()
{
    StartSim({"keyboard"});
    m_device = "keyboard";
    m_vendorPath = SimPath("keyboard", 1, 4);
    ASSERT_FALSE(m_vendorPath.empty());
    ASSERT_TRUE(keyboard->Channel().Open(m_vendorPath));
    ClearSent();
}

void KeyboardSimTest::Poke(uint8_t command, uint16_t offset, const Bytes& bytes)
{
    nq::CommandChannel& channel = keyboard->Channel();
    int result = nq::kOk;
    if (command == 9) {
        ASSERT_EQ(offset, 0);
        const uint16_t previous = channel.TransferLength();
        Bytes table = Area("keymap");
        std::copy(bytes.begin(), bytes.end(), table.begin());
        channel.SetTransferLength(126 * 3);
        result = channel.WriteKeymap(table.data(), 0);
        channel.SetTransferLength(previous);
    } else {
        result = channel.WriteConfig(bytes.data(), bytes.size(), offset);
    }
    ASSERT_EQ(result, nq::kOk);
    ClearSent();
}

} // namespace nqtest
