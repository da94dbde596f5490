// nq501-devsim: runs the device simulator as a daemon and controls a running one.
#include "common/DebugLog.h"
#include "devsim/SimDeviceSetup.h"
#include "devsim/Simulator.h"
#include "hid/HidSeqPacket.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

namespace {

const char* kUsage =
    "usage: nq501-devsim [--dir DIR] COMMAND [ARGS]\n"
    "\n"
    "  start [--background] [--state DIR] [DEVICE...]\n"
    "        run the simulator with these devices (default: one of each kind) until 'stop',\n"
    "        Ctrl-C or SIGTERM; --state loads DIR/NAME.mem at start and saves it at the end\n"
    "  add DEVICE...          add and plug devices in a running simulator\n"
    "  remove NAME            remove a device\n"
    "  plug NAME [LINK]       plug a device (or one link: wired, receiver)\n"
    "  unplug NAME [LINK]     unplug a device (or one link)\n"
    "  list                   devices, links and interface paths\n"
    "  button NAME            press the on-board profile button\n"
    "  notice NAME USAGE      send a consumer-control notice (1025, 1028, ...)\n"
    "  dump NAME              print the device memory\n"
    "  save NAME FILE         save the device memory to FILE\n"
    "  load NAME FILE         load the device memory from FILE\n"
    "  fw NAME ARGS...        pass a command to the device firmware (refuse, delay, profile, ...)\n"
    "  stop                   stop the simulator\n"
    "\n"
    "DEVICE is KIND[:NAME][@VID:PID[,VID:PID]] with KIND one of keyboard, mouse, rxmouse,\n"
    "mousepad, chargepad, headset. Each kind has an identity of its own (320F:5041 keyboard,\n"
    "320F:5F10 mouse, 320F:5F11/5F12 rxmouse wired/receiver, 320F:5F13 mousepad, 320F:5F14\n"
    "chargepad, 320F:5F15 headset); a second VID:PID is an rxmouse's receiver link.\n"
    "DIR defaults to $NQ501_SIM_DIR, else $XDG_RUNTIME_DIR/nq501-sim, else /tmp/nq501-sim-UID.\n"
    "Point the program at it with NQ501_SIM_DIR=DIR.\n";

std::string DefaultFolder()
{
    if (const char* d = std::getenv("NQ501_SIM_DIR"); d && *d)
        return d;
    if (const char* r = std::getenv("XDG_RUNTIME_DIR"); r && *r)
        return std::string(r) + "/nq501-sim";
    return "/tmp/nq501-sim-" + std::to_string(::getuid());
}

std::string WithSlash(std::string folder)
{
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

// Sends one command to the running simulator; prints its answer.
int RunRemote(const std::string& folder, const std::vector<std::string>& args)
{
    int fd = nq::HidSeqPacket::Connect(folder + "control");
    if (fd < 0) {
        std::cerr << "nq501-devsim: no simulator running in " << folder << "\n";
        return 2;
    }
    std::string request;
    for (const auto& a : args)
        request.append(a).push_back('\0');
    pollfd p{fd, POLLOUT, 0};
    ::poll(&p, 1, 5000);
    if (::send(fd, request.data(), request.size(), MSG_NOSIGNAL) < 0) {
        std::cerr << "nq501-devsim: cannot send the command\n";
        ::close(fd);
        return 2;
    }
    p = {fd, POLLIN, 0};
    if (::poll(&p, 1, 30000) <= 0) {
        std::cerr << "nq501-devsim: no answer\n";
        ::close(fd);
        return 2;
    }
    std::vector<char> reply(1 << 20);
    ssize_t n = ::recv(fd, reply.data(), reply.size(), 0);
    ::close(fd);
    if (n <= 0) {
        std::cerr << "nq501-devsim: no answer\n";
        return 2;
    }
    std::string text(reply.data() + 1, static_cast<size_t>(n - 1));
    bool ok = reply[0] == '0';
    if (!text.empty())
        (ok ? std::cout : std::cerr) << text << (text.back() == '\n' ? "" : "\n");
    return ok ? 0 : 1;
}

int RunStart(const std::string& folder, std::vector<std::string> args)
{
    bool background = false;
    std::string state;
    std::vector<std::string> devices;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--background") {
            background = true;
        } else if (args[i] == "--state" && i + 1 < args.size()) {
            state = WithSlash(args[++i]);
        } else if (args[i].rfind("--", 0) == 0) {
            std::cerr << kUsage;
            return 2;
        } else {
            devices.push_back(args[i]);
        }
    }
    if (devices.empty() || (devices.size() == 1 && devices[0] == "all"))
        devices = nqsim::SimKindNames();
    for (const auto& d : devices) {
        std::string error;
        if (!nqsim::MakeSimDeviceSetup(d, &error)) {
            std::cerr << "nq501-devsim: " << error << "\n";
            return 2;
        }
    }
    {
        int probe = nq::HidSeqPacket::Connect(folder + "control");
        if (probe >= 0) {
            ::close(probe);
            std::cerr << "nq501-devsim: a simulator is already running in " << folder << "\n";
            return 1;
        }
    }

    int ready[2] = {-1, -1};
    if (background) {
        if (::pipe(ready) != 0)
            return 2;
        pid_t pid = ::fork();
        if (pid < 0)
            return 2;
        if (pid > 0) {
            ::close(ready[1]);
            char c = 0;
            ssize_t n = ::read(ready[0], &c, 1);
            if (n == 1 && c == '0') {
                std::cout << "simulator " << pid << " running in " << folder << "\n"
                          << "export NQ501_SIM_DIR=" << folder << "\n";
                return 0;
            }
            std::cerr << "nq501-devsim: the simulator did not start\n";
            return 1;
        }
        ::close(ready[0]);
        ::setsid();
    }

    // Signals are taken by one thread that asks the simulator to stop.
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &set, nullptr);

    nqsim::Simulator sim(folder);
    bool ok = sim.Start() && sim.ServeControlSocket();
    for (const auto& d : devices) {
        std::string error;
        auto setup = nqsim::MakeSimDeviceSetup(d);
        if (!ok || !sim.AddDevice(d, true, &error)) {
            std::cerr << "nq501-devsim: " << error << "\n";
            ok = false;
            break;
        }
        if (!state.empty() && std::filesystem::exists(state + setup->name + ".mem") &&
            !sim.LoadMemory(setup->name, state + setup->name + ".mem"))
            std::cerr << "nq501-devsim: cannot load " << state << setup->name << ".mem\n";
    }
    if (ready[1] >= 0) {
        char c = ok ? '0' : '1';
        [[maybe_unused]] ssize_t n = ::write(ready[1], &c, 1);
        ::close(ready[1]);
        // Let go of the caller's terminal or pipe: the caller waits for its end otherwise.
        int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
        if (null >= 0) {
            ::dup2(null, 0);
            ::dup2(null, 1);
            ::dup2(null, 2);
            ::close(null);
        }
    }
    if (!ok)
        return 1;
    if (!background)
        std::cout << "simulator running in " << folder << " (NQ501_SIM_DIR=" << folder << "); Ctrl-C stops it\n"
                  << std::flush;

    std::thread signals([&sim, set] {
        int sig = 0;
        sigwait(&set, &sig);
        sim.RequestStop();
    });
    signals.detach();
    sim.WaitForStopRequest();

    if (!state.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(state, ec);
        for (const auto& d : sim.List())
            if (!sim.SaveMemory(d.name, state + d.name + ".mem"))
                std::cerr << "nq501-devsim: cannot save " << state << d.name << ".mem\n";
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    nq::InitDebugLogFromEnvironment();
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string folder = DefaultFolder();
    while (!args.empty() && args[0].rfind("--", 0) == 0) {
        if (args[0] == "--dir" && args.size() > 1) {
            folder = args[1];
            args.erase(args.begin(), args.begin() + 2);
        } else if (args[0] == "--help") {
            std::cout << kUsage;
            return 0;
        } else {
            std::cerr << kUsage;
            return 2;
        }
    }
    if (args.empty()) {
        std::cerr << kUsage;
        return 2;
    }
    if (args[0] == "help") {
        std::cout << kUsage;
        return 0;
    }
    folder = WithSlash(folder);
    if (args[0] == "start")
        return RunStart(folder, std::vector<std::string>(args.begin() + 1, args.end()));
    // save/load name files relative to the caller, not to the daemon.
    if ((args[0] == "save" || args[0] == "load") && args.size() > 2)
        args[2] = std::filesystem::absolute(args[2]).string();
    return RunRemote(folder, args);
}
