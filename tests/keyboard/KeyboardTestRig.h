#pragma once
// A keyboard against the simulated keyboard: the mouse rig's data folders and wire-log reading,
// with the keyboard's default profile (the installed one) in the program data folder.
#include "../mouse/MouseTestRig.h"

#include "devices/CKelvaskKeyboardDevice.h"

#include <memory>
#include <string>

namespace nqtest {

class KeyboardSimTest : public MouseSimTest {
protected:
    void SetUp() override;
    // Starts the simulated keyboard and opens the keyboard's command channel on it.
    void ConnectKeyboard();
    // The keyboard's user folder.
    std::string KeyboardFolder() const { return folders->Root() + "data/NQ501/keyboard/"; }
    // Writes bytes into the firmware's memory through the command channel (outside any test's
    // report list): command 9 for the key table, 6 for configuration memory.
    void Poke(uint8_t command, uint16_t offset, const Bytes& bytes);

    std::unique_ptr<nq::CKelvaskKeyboardDevice> keyboard;
};

} // namespace nqtest
