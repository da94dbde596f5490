#pragma once
// Lists the HID nodes of the machine (hidraw through sysfs) or of the device simulator (the
// sockets in the folder named by NQ501_SIM_DIR), and turns each into one path per top-level
// collection: NODE?vid_XXXX&pid_XXXX[&mi_NN][&colNN].
#include <cstdint>
#include <string>
#include <vector>

namespace nq {

struct HidNodeInfo {
    std::string node;            // /dev/hidrawN, or the simulator socket
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t version = 0;
    int interfaceNumber = -1;    // -1 when the node is not a USB interface
    std::vector<uint8_t> descriptor;
};

class HidEnumerator {
public:
    // The simulator folder from NQ501_SIM_DIR ("/" appended), or empty when unset.
    static std::string SimulatorFolder();
    // Every node present, in a stable order. False only when the listing itself failed.
    static bool ListNodes(std::vector<HidNodeInfo>& nodes);
    // Identity and descriptor of one node (hidraw node or simulator socket).
    static bool DescribeNode(const std::string& node, HidNodeInfo& info);
    // NODE?vid_XXXX&pid_XXXX[&mi_NN]: the path of a node without the collection tag.
    static std::string NodePath(const HidNodeInfo& info);
    // The paths of a node, one per top-level collection of its descriptor (none when it does not parse).
    static std::vector<std::string> PathsOf(const HidNodeInfo& info);
    // The hidraw nodes of a sysfs class folder ("/sys/class/hidraw"), in node number order,
    // named devFolder + "hidrawN"; a USB node's interface number and version come from the
    // USB interface and device folders above its HID device folder.
    static void ListHidrawNodes(const std::string& classFolder, const std::string& devFolder,
                                std::vector<HidNodeInfo>& nodes);
    // The node part of a path (before '?').
    static std::string NodeOf(const std::string& path);
};

} // namespace nq
