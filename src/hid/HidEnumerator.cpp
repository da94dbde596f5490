#include "hid/HidEnumerator.h"

#include "hid/HidReportDescriptor.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace nq {

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> ReadBinary(const std::string& path, size_t limit)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> data;
    if (!in)
        return data;
    char buf[4096];
    while (in && data.size() <= limit) {
        in.read(buf, sizeof(buf));
        data.insert(data.end(), buf, buf + in.gcount());
    }
    if (data.size() > limit)
        data.resize(limit + 1); // over the limit: the parser refuses it
    return data;
}

std::string ReadText(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool ParseHex(const std::string& text, unsigned long& value)
{
    const char* p = text.c_str();
    char* end = nullptr;
    value = std::strtoul(p, &end, 16);
    return end != p;
}

// "key=value" lines of a simulator identity file.
bool ReadSimIdentity(const std::string& file, HidNodeInfo& info)
{
    std::ifstream in(file);
    if (!in)
        return false;
    std::string line;
    bool vid = false, pid = false;
    while (std::getline(in, line)) {
        auto eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        unsigned long v = 0;
        if (key == "vendor" && ParseHex(value, v))
            info.vendorId = static_cast<uint16_t>(v), vid = true;
        else if (key == "product" && ParseHex(value, v))
            info.productId = static_cast<uint16_t>(v), pid = true;
        else if (key == "version" && ParseHex(value, v))
            info.version = static_cast<uint16_t>(v);
        else if (key == "interface")
            info.interfaceNumber = std::atoi(value.c_str());
    }
    return vid && pid;
}

bool DescribeSysfs(const std::string& classFolder, const std::string& name, HidNodeInfo& info)
{
    std::string sys = classFolder + "/" + name + "/device";
    std::error_code ec;
    if (!fs::exists(sys, ec))
        return false;
    // HID_ID=0003:0000320F:00005041
    std::istringstream uevent(ReadText(sys + "/uevent"));
    std::string line;
    bool found = false;
    while (std::getline(uevent, line)) {
        unsigned bus = 0, vid = 0, pid = 0;
        if (std::sscanf(line.c_str(), "HID_ID=%x:%x:%x", &bus, &vid, &pid) == 3) {
            info.vendorId = static_cast<uint16_t>(vid);
            info.productId = static_cast<uint16_t>(pid);
            found = true;
        }
    }
    if (!found)
        return false;
    info.descriptor = ReadBinary(sys + "/report_descriptor", HidReportDescriptor::kMaxDescriptorSize);
    // A USB HID device sits below its USB interface, which sits below the USB device.
    fs::path real = fs::canonical(sys, ec);
    if (!ec) {
        fs::path usbInterface = real.parent_path();
        unsigned long v = 0;
        if (ParseHex(ReadText((usbInterface / "bInterfaceNumber").string()), v))
            info.interfaceNumber = static_cast<int>(v);
        if (ParseHex(ReadText((usbInterface.parent_path() / "bcdDevice").string()), v))
            info.version = static_cast<uint16_t>(v);
    }
    return true;
}

} // namespace

std::string HidEnumerator::SimulatorFolder()
{
    const char* dir = std::getenv("NQ501_SIM_DIR");
    if (!dir || !*dir)
        return {};
    std::string folder = dir;
    if (folder.back() != '/')
        folder += '/';
    return folder;
}

std::string HidEnumerator::NodeOf(const std::string& path)
{
    return path.substr(0, path.find('?'));
}

bool HidEnumerator::DescribeNode(const std::string& node, HidNodeInfo& info)
{
    info = HidNodeInfo{};
    info.node = node;
    struct stat st{};
    if (::stat(node.c_str(), &st) != 0)
        return false;
    if (S_ISSOCK(st.st_mode)) {
        const std::string suffix = ".sock";
        if (node.size() <= suffix.size() || node.compare(node.size() - suffix.size(), suffix.size(), suffix) != 0)
            return false;
        std::string base = node.substr(0, node.size() - suffix.size());
        if (!ReadSimIdentity(base + ".id", info))
            return false;
        info.descriptor = ReadBinary(base + ".desc", HidReportDescriptor::kMaxDescriptorSize);
        return true;
    }
    return DescribeSysfs("/sys/class/hidraw", fs::path(node).filename().string(), info);
}

void HidEnumerator::ListHidrawNodes(const std::string& classFolder, const std::string& devFolder,
                                    std::vector<HidNodeInfo>& nodes)
{
    std::error_code ec;
    std::vector<std::pair<long, std::string>> numbered;
    for (const auto& e : fs::directory_iterator(classFolder, ec)) {
        std::string name = e.path().filename().string();
        if (name.rfind("hidraw", 0) == 0 && name.size() > 6)
            numbered.emplace_back(std::strtol(name.c_str() + 6, nullptr, 10), name);
    }
    std::sort(numbered.begin(), numbered.end());
    for (const auto& n : numbered) {
        HidNodeInfo info;
        info.node = devFolder + n.second;
        if (DescribeSysfs(classFolder, n.second, info))
            nodes.push_back(std::move(info));
    }
}

bool HidEnumerator::ListNodes(std::vector<HidNodeInfo>& nodes)
{
    nodes.clear();
    std::string sim = SimulatorFolder();
    if (sim.empty()) {
        ListHidrawNodes("/sys/class/hidraw", "/dev/", nodes);
        return true;
    }
    // A missing folder is an empty machine, not a failure.
    std::error_code ec;
    std::vector<std::string> sockets;
    for (const auto& e : fs::directory_iterator(sim, ec)) {
        std::string p = e.path().string();
        if (p.size() > 5 && p.compare(p.size() - 5, 5, ".sock") == 0)
            sockets.push_back(p);
    }
    std::sort(sockets.begin(), sockets.end());
    for (const auto& node : sockets) {
        HidNodeInfo info;
        if (DescribeNode(node, info))
            nodes.push_back(std::move(info));
    }
    return true;
}

std::string HidEnumerator::NodePath(const HidNodeInfo& info)
{
    char base[64];
    std::snprintf(base, sizeof(base), "?vid_%04x&pid_%04x", info.vendorId, info.productId);
    std::string path = info.node + base;
    if (info.interfaceNumber >= 0) {
        char mi[16];
        std::snprintf(mi, sizeof(mi), "&mi_%02x", info.interfaceNumber & 0xFF);
        path += mi;
    }
    return path;
}

std::vector<std::string> HidEnumerator::PathsOf(const HidNodeInfo& info)
{
    std::vector<std::string> paths;
    HidReportDescriptor descriptor;
    if (!descriptor.Parse(info.descriptor))
        return paths;
    const std::string prefix = NodePath(info);
    size_t count = descriptor.Collections().size();
    for (size_t i = 0; i < count; ++i) {
        if (count == 1) {
            paths.push_back(prefix);
        } else {
            char col[24];
            std::snprintf(col, sizeof(col), "&col%02zx", i + 1);
            paths.push_back(prefix + col);
        }
    }
    return paths;
}

} // namespace nq
