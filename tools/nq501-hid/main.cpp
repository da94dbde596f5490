// nq501-hid: the HID interfaces the program sees, and what a report descriptor describes.
#include "common/DebugLog.h"
#include "hid/ChannelCall.h"
#include "hid/HidDescriptorReport.h"

#include <json/writer.h>

#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace {

const char* kUsage =
    "usage: nq501-hid list [--json]\n"
    "       nq501-hid describe FILE\n"
    "       nq501-hid call PATH OPERATION [ARGS] [--wireless]\n"
    "\n"
    "list      every HID interface path (one per top-level collection) with vendor/product ID,\n"
    "          version, interface, collection, usage page and usage and the report lengths;\n"
    "          the simulator's interfaces when NQ501_SIM_DIR is set\n"
    "describe  the capabilities of each top-level collection of a report descriptor given as a\n"
    "          binary file or as hex text, as JSON\n"
    "call      one command channel operation on a vendor interface (nq501-hid call --help)\n";

void PrintJson(const Json::Value& value)
{
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "  ";
    std::unique_ptr<Json::StreamWriter> writer(builder.newStreamWriter());
    writer->write(value, &std::cout);
    std::cout << "\n";
}

} // namespace

int main(int argc, char** argv)
{
    nq::InitDebugLogFromEnvironment();
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "help") {
        std::cout << kUsage;
        return args.empty() ? 2 : 0;
    }
    if (args[0] == "list") {
        bool json = args.size() == 2 && args[1] == "--json";
        if (args.size() > 2 || (args.size() == 2 && !json)) {
            std::cerr << kUsage;
            return 2;
        }
        auto rows = nq::HidDescriptorReport::ListInterfaces();
        if (json)
            PrintJson(nq::HidDescriptorReport::ToJson(rows));
        else
            std::cout << nq::HidDescriptorReport::FormatTable(rows);
        return 0;
    }
    if (args[0] == "call")
        return nq::ChannelCall::Run(std::vector<std::string>(args.begin() + 1, args.end()), std::cout, std::cerr);
    if (args[0] == "describe" && args.size() == 2) {
        std::vector<uint8_t> bytes;
        std::string error;
        if (!nq::HidDescriptorReport::ReadDescriptorFile(args[1], bytes, &error)) {
            std::cerr << "nq501-hid: " << error << "\n";
            return 1;
        }
        nq::HidReportDescriptor descriptor;
        if (!descriptor.Parse(bytes)) {
            std::cerr << "nq501-hid: invalid report descriptor: " << descriptor.Error() << "\n";
            return 1;
        }
        PrintJson(nq::HidDescriptorReport::Describe(descriptor));
        return 0;
    }
    std::cerr << kUsage;
    return 2;
}
