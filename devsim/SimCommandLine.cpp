#include "devsim/SimCommandLine.h"

#include "devsim/Simulator.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace nqsim {

namespace {

std::string Hex4(uint16_t v)
{
    char buf[8];
    std::snprintf(buf, sizeof(buf), "%04x", v);
    return buf;
}

// A whole decimal or 0x-prefixed number from 0 to 0xFFFF.
bool ParseUsage(const std::string& text, unsigned long& usage)
{
    if (text.empty() || text[0] == '-' || text[0] == '+')
        return false;
    char* end = nullptr;
    errno = 0;
    usage = std::strtoul(text.c_str(), &end, 0);
    return errno == 0 && end && *end == '\0' && usage <= 0xFFFF;
}

std::string Join(const std::vector<std::string>& args)
{
    std::string out;
    for (size_t i = 0; i < args.size(); ++i)
        out += (i ? " " : "") + args[i];
    return out;
}

} // namespace

std::string SimCommandLine::Execute(Simulator& sim, const std::vector<std::string>& args, bool* ok)
{
    bool good = true;
    std::string out;
    auto need = [&](size_t n) {
        if (args.size() < n) {
            good = false;
            out = "missing arguments for " + args[0];
            return false;
        }
        return true;
    };
    if (args.empty()) {
        good = false;
        out = "no command";
    } else if (args[0] == "list") {
        std::ostringstream s;
        for (const auto& d : sim.List())
            for (const auto& l : d.links) {
                s << d.name << (l.name.empty() ? "" : "/" + l.name) << " " << d.kindName << " " << Hex4(l.vendorId) << ":"
                  << Hex4(l.productId) << " " << (l.plugged ? "plugged" : "unplugged") << "\n";
                for (const auto& p : l.paths)
                    s << "  " << p << "\n";
            }
        out = s.str();
    } else if (args[0] == "add") {
        if (need(2))
            for (size_t i = 1; i < args.size() && good; ++i)
                good = sim.AddDevice(args[i], true, &out);
    } else if (args[0] == "remove") {
        if (need(2) && !(good = sim.RemoveDevice(args[1])))
            out = "no such device: " + args[1];
    } else if (args[0] == "plug" || args[0] == "unplug") {
        if (need(2)) {
            std::string link = args.size() > 2 ? args[2] : "";
            good = args[0] == "plug" ? sim.Plug(args[1], link) : sim.Unplug(args[1], link);
            if (!good)
                out = "no such device or link: " + args[1] + (link.empty() ? "" : " " + link);
        }
    } else if (args[0] == "button") {
        if (need(2))
            out = sim.PressButton(args[1], &good);
    } else if (args[0] == "dump") {
        if (need(2))
            out = sim.Dump(args[1], &good);
    } else if (args[0] == "save" || args[0] == "load") {
        if (need(3)) {
            good = args[0] == "save" ? sim.SaveMemory(args[1], args[2]) : sim.LoadMemory(args[1], args[2]);
            if (!good)
                out = "cannot " + args[0] + " the memory of " + args[1] + " (" + args[2] + ")";
        }
    } else if (args[0] == "notice") {
        if (need(3)) {
            unsigned long usage = 0;
            if (!ParseUsage(args[2], usage)) {
                good = false;
                out = "usage: notice DEVICE USAGE (a number from 0 to 65535)";
            } else if (!sim.SendNotice(args[1], static_cast<uint16_t>(usage))) {
                good = false;
                out = "cannot send the notice: no such device or it is not plugged: " + args[1];
            }
        }
    } else if (args[0] == "fw") {
        if (need(3))
            out = sim.FirmwareControl(args[1], std::vector<std::string>(args.begin() + 2, args.end()), &good);
    } else if (args[0] == "stop") {
        sim.RequestStop();
    } else {
        good = false;
        out = "unknown command: " + Join(args);
    }
    if (ok)
        *ok = good;
    return out;
}

} // namespace nqsim
