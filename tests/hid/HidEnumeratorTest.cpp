// The hidraw walk over a sysfs-shaped folder tree (this machine has no hidraw class to walk).
#include "DescriptorSamples.h"

#include "devsim/SimDescriptors.h"
#include "hid/HidDevice.h"
#include "hid/HidEnumerator.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class HidrawTree : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/nq501-sysfs-XXXXXX";
        ASSERT_TRUE(::mkdtemp(pattern));
        root = pattern;
        fs::create_directories(root + "/class/hidraw");
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    // A HID device below a USB interface (usbInterface >= 0) or on another bus.
    void AddNode(const std::string& name, const std::string& hidId, const std::vector<uint8_t>& descriptor,
                 int usbInterface, const std::string& bcdDevice)
    {
        std::string dev = root + "/devices/" + name;
        std::string hid = usbInterface >= 0 ? dev + "/usbdev/usbdev:1." + std::to_string(usbInterface) + "/hid" : dev + "/hid";
        fs::create_directories(hid);
        if (usbInterface >= 0) {
            std::ofstream(dev + "/usbdev/bcdDevice") << bcdDevice << "\n";
            char num[8];
            std::snprintf(num, sizeof(num), "%02x\n", usbInterface);
            std::ofstream(dev + "/usbdev/usbdev:1." + std::to_string(usbInterface) + "/bInterfaceNumber") << num;
        }
        std::ofstream(hid + "/uevent") << "DRIVER=hid-generic\nHID_ID=" << hidId << "\nHID_NAME=Test\n";
        std::ofstream(hid + "/report_descriptor", std::ios::binary)
            .write(reinterpret_cast<const char*>(descriptor.data()), static_cast<std::streamsize>(descriptor.size()));
        fs::create_directories(root + "/class/hidraw/" + name);
        fs::create_directory_symlink(hid, root + "/class/hidraw/" + name + "/device");
    }
    std::string root;
};

TEST_F(HidrawTree, OnePathPerCollectionWithUsbInterfaceAndVersion)
{
    AddNode("hidraw10", "0003:0000046D:0000C52B", samples::kBootMouse, 0, "1201");
    AddNode("hidraw2", "0003:0000320F:00005041", nqsim::MultiCollectionDescriptor(), 1, "0102");
    AddNode("hidraw3", "0018:000004F3:00002A5A", samples::kBootKeyboard, -1, "");      // I2C: no USB interface
    AddNode("hidraw4", "0003:0000320F:00005041", {0x05, 0x01, 0xA1, 0x01}, 2, "0102"); // unbalanced: no paths
    std::vector<nq::HidNodeInfo> nodes;
    nq::HidEnumerator::ListHidrawNodes(root + "/class/hidraw", "/dev/", nodes);
    ASSERT_EQ(nodes.size(), 4u);
    EXPECT_EQ(nodes[0].node, "/dev/hidraw2"); // numeric order: 2, 3, 4, 10
    EXPECT_EQ(nodes[3].node, "/dev/hidraw10");
    EXPECT_EQ(nodes[0].version, 0x0102);
    EXPECT_EQ(nodes[0].interfaceNumber, 1);
    EXPECT_EQ(nodes[1].interfaceNumber, -1);

    std::vector<std::string> paths;
    for (const auto& n : nodes)
        for (const auto& p : nq::HidEnumerator::PathsOf(n))
            paths.push_back(p);
    const std::vector<std::string> expected = {
        "/dev/hidraw2?vid_320f&pid_5041&mi_01&col01", "/dev/hidraw2?vid_320f&pid_5041&mi_01&col02",
        "/dev/hidraw2?vid_320f&pid_5041&mi_01&col03", "/dev/hidraw2?vid_320f&pid_5041&mi_01&col04",
        "/dev/hidraw3?vid_04f3&pid_2a5a",             "/dev/hidraw10?vid_046d&pid_c52b&mi_00",
    };
    EXPECT_EQ(paths, expected);
    EXPECT_EQ(nq::HidDevice::ParseCollectionNumber(paths[3]), 4);
    EXPECT_EQ(nq::HidDevice::ParseInterfaceNumber(paths[4]), 0);
}

TEST_F(HidrawTree, MissingClassFolderIsAnEmptyMachine)
{
    std::vector<nq::HidNodeInfo> nodes;
    nq::HidEnumerator::ListHidrawNodes(root + "/nothing", "/dev/", nodes);
    EXPECT_TRUE(nodes.empty());
}

} // namespace
