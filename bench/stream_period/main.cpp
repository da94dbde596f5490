// stream_period: how steadily a running nq501 streams the lighting frames of one device.
//
// The benchmark runs the device simulator in its own process, starts nq501 on it (or waits for
// one started by hand), and timestamps every lighting report (command 18, first chunk, offset 0)
// the program writes to the measured device, on the simulator thread as the report arrives on
// the wire. It prints the periods between consecutive frames: mean, standard deviation, min/max,
// percentiles and the share within 50 +- 5 ms.
//
//   stream_period [--seconds N] [--warmup N] [--device KIND]... [--all] [--program PATH]
//                 [--manual] [--histogram] [-- PROGRAM-ARGS...]
//
// The first --device is measured (default: mouse); --all plugs the demo's devices besides (one of
// each kind with a page of its own).
// The program defaults to nq501 beside this binary, run with QT_QPA_PLATFORM=offscreen (unless
// set) and a private HOME / XDG folders so that it does not meet a running instance.
#include "devsim/SimDeviceSetup.h"
#include "devsim/Simulator.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Options {
    double seconds = 30;
    double warmup = 3;
    std::vector<std::string> devices;
    bool all = false;
    std::string program;
    bool manual = false;
    bool histogram = false;
    std::vector<std::string> programArgs;
};

constexpr uint8_t kStreamCommand = 18;
constexpr double kTargetMs = 50;
constexpr double kToleranceMs = 5;

void Usage()
{
    std::fprintf(stderr,
                 "usage: stream_period [--seconds N] [--warmup N] [--device KIND]... [--all]\n"
                 "                     [--program PATH] [--manual] [--histogram] [-- PROGRAM-ARGS...]\n"
                 "  KIND: keyboard mouse rxmouse mousepad chargepad headset (first one is measured)\n");
}

bool ParseOptions(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](const char* name) -> const char* {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "stream_period: %s needs a value\n", name);
                return nullptr;
            }
            return argv[++i];
        };
        if (a == "--") {
            o.programArgs.assign(argv + i + 1, argv + argc);
            break;
        } else if (a == "--seconds" || a == "--warmup") {
            const char* v = value(a.c_str());
            if (!v)
                return false;
            (a == "--seconds" ? o.seconds : o.warmup) = std::atof(v);
        } else if (a == "--device") {
            const char* v = value("--device");
            if (!v)
                return false;
            o.devices.push_back(v);
        } else if (a == "--program") {
            const char* v = value("--program");
            if (!v)
                return false;
            o.program = v;
        } else if (a == "--all") {
            o.all = true;
        } else if (a == "--manual") {
            o.manual = true;
        } else if (a == "--histogram") {
            o.histogram = true;
        } else {
            Usage();
            return false;
        }
    }
    if (o.devices.empty())
        o.devices.push_back("mouse");
    if (o.seconds <= 0)
        o.seconds = 30;
    if (o.program.empty()) {
        std::error_code ec;
        auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
        o.program = (ec ? std::filesystem::path(".") : self.parent_path()) / "nq501";
    }
    return true;
}

// "> PATH 04 cs cs 12 len off off 00 ..." -> true for the first chunk of a lighting frame.
bool IsFrameStart(const std::string& line, const std::set<std::string>& paths)
{
    if (line.size() < 3 || line[0] != '>')
        return false;
    const size_t pathEnd = line.find(' ', 2);
    if (pathEnd == std::string::npos || !paths.count(line.substr(2, pathEnd - 2)))
        return false;
    // Byte k of the report starts at pathEnd + 1 + 3k.
    auto byteAt = [&](size_t k) -> int {
        const size_t at = pathEnd + 1 + 3 * k;
        if (at + 2 > line.size())
            return -1;
        return static_cast<int>(std::strtol(line.substr(at, 2).c_str(), nullptr, 16));
    };
    return byteAt(0) == 4 && byteAt(3) == kStreamCommand && byteAt(5) == 0 && byteAt(6) == 0;
}

pid_t Launch(const Options& o, const std::string& simFolder, const std::string& home)
{
    pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    ::setenv("NQ501_SIM_DIR", simFolder.c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", std::getenv("QT_QPA_PLATFORM") ? std::getenv("QT_QPA_PLATFORM") : "offscreen", 1);
    ::setenv("HOME", home.c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", (home + "/run").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    if (!std::getenv("STREAM_PERIOD_VERBOSE")) {
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
    }
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(o.program.c_str()));
    for (const auto& a : o.programArgs)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(o.program.c_str(), argv.data());
    std::_Exit(127);
}

void EndProgram(pid_t pid)
{
    if (pid <= 0)
        return;
    ::kill(pid, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::fprintf(stderr, "stream_period: the program did not end within 5 s of SIGTERM; killed\n");
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

double Percentile(std::vector<double> sorted, double p)
{
    if (sorted.empty())
        return 0;
    const size_t at = static_cast<size_t>(std::lround(p * static_cast<double>(sorted.size() - 1)));
    return sorted[std::min(at, sorted.size() - 1)];
}

void Report(const Options& o, const std::vector<Clock::time_point>& frames)
{
    if (frames.size() < 2) {
        std::printf("frames: %zu - not enough to measure a period (is the device streaming?)\n", frames.size());
        return;
    }
    std::vector<double> periods;
    for (size_t i = 1; i < frames.size(); ++i)
        periods.push_back(std::chrono::duration<double, std::milli>(frames[i] - frames[i - 1]).count());
    double sum = 0;
    for (double p : periods)
        sum += p;
    const double mean = sum / static_cast<double>(periods.size());
    double squares = 0;
    size_t within = 0, late = 0, early = 0;
    for (double p : periods) {
        squares += (p - mean) * (p - mean);
        if (std::fabs(p - kTargetMs) <= kToleranceMs)
            ++within;
        else if (p > kTargetMs)
            ++late;
        else
            ++early;
    }
    const double sd = std::sqrt(squares / static_cast<double>(periods.size()));
    std::vector<double> sorted = periods;
    std::sort(sorted.begin(), sorted.end());
    const double span = std::chrono::duration<double>(frames.back() - frames.front()).count();

    std::printf("device:   %s (%s), %zu frames over %.1f s = %.2f frames/s\n", o.devices.front().c_str(),
                o.all ? "with the demo's devices" : "alone", frames.size(), span,
                static_cast<double>(frames.size() - 1) / span);
    std::printf("period:   mean %.3f ms, sd %.3f ms, min %.3f ms, max %.3f ms\n", mean, sd, sorted.front(),
                sorted.back());
    std::printf("          p1 %.3f  p50 %.3f  p99 %.3f ms\n", Percentile(sorted, 0.01), Percentile(sorted, 0.5),
                Percentile(sorted, 0.99));
    std::printf("within:   %zu of %zu periods in 50 +- 5 ms = %.2f%% (%zu shorter, %zu longer)\n", within,
                periods.size(), 100.0 * static_cast<double>(within) / static_cast<double>(periods.size()), early,
                late);
    // The worst periods with their time from the first frame, to match against other logs.
    std::vector<size_t> order(periods.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(),
              [&](size_t a, size_t b) { return std::fabs(periods[a] - kTargetMs) > std::fabs(periods[b] - kTargetMs); });
    std::printf("worst:   ");
    for (size_t i = 0; i < std::min<size_t>(5, order.size()); ++i)
        std::printf(" %.2f ms at %.2f s%s", periods[order[i]],
                    std::chrono::duration<double>(frames[order[i] + 1] - frames.front()).count(), i + 1 < 5 ? "," : "");
    std::printf("\n");
    if (o.histogram) {
        std::map<long, size_t> bins; // 1 ms bins
        for (double p : periods)
            ++bins[std::lround(std::floor(p))];
        std::printf("histogram (1 ms bins):\n");
        for (const auto& [ms, count] : bins)
            std::printf("  %4ld ms %6zu\n", ms, count);
    }
}

} // namespace

int main(int argc, char** argv)
{
    Options o;
    if (!ParseOptions(argc, argv, o))
        return 2;

    char folderTemplate[] = "/tmp/nq501-stream-XXXXXX";
    if (!::mkdtemp(folderTemplate)) {
        std::perror("stream_period: mkdtemp");
        return 1;
    }
    const std::string work = folderTemplate;
    const std::string simFolder = work + "/sim/";
    const std::string home = work + "/home";
    for (const char* sub : {"/home/run", "/home/config", "/home/data"})
        std::filesystem::create_directories(work + sub);
    std::filesystem::permissions(home + "/run", std::filesystem::perms::owner_all);

    int status = 0;
    {
        nqsim::Simulator sim(simFolder);
        if (!sim.Start()) {
            std::fprintf(stderr, "stream_period: the simulator cannot start in %s\n", simFolder.c_str());
            std::filesystem::remove_all(work);
            return 1;
        }
        std::vector<std::string> setups = o.devices;
        if (o.all)
            for (const auto& kind : nqsim::DemoKindNames())
                if (std::find(setups.begin(), setups.end(), kind) == setups.end())
                    setups.push_back(kind);
        std::string measured;
        for (size_t i = 0; i < setups.size(); ++i) {
            // KIND[:NAME][@VID:PID]; a device without a name gets one, so a kind may be listed twice.
            std::string setup = setups[i];
            const size_t at = std::min(setup.find('@'), setup.size());
            const size_t colon = setup.substr(0, at).find(':');
            std::string name = colon == std::string::npos ? "bench" + std::to_string(i)
                                                           : setup.substr(colon + 1, at - colon - 1);
            if (colon == std::string::npos)
                setup.insert(at, ":" + name);
            if (i == 0)
                measured = name;
            std::string error;
            if (!sim.AddDevice(setup, true, &error)) {
                std::fprintf(stderr, "stream_period: cannot add %s: %s\n", setup.c_str(), error.c_str());
                status = 2;
                break;
            }
        }
        std::set<std::string> paths;
        for (const auto& device : sim.List())
            if (device.name == measured)
                for (const auto& link : device.links)
                    paths.insert(link.paths.begin(), link.paths.end());
        if (status != 0 || paths.empty()) {
            if (status == 0)
                std::fprintf(stderr, "stream_period: the measured device has no interface\n");
            sim.Stop();
            std::filesystem::remove_all(work);
            return status ? status : 1;
        }

        std::mutex mutex;
        std::condition_variable firstFrame;
        std::vector<Clock::time_point> frames;
        bool collecting = false;
        bool seen = false;
        sim.SetWireLogCallback([&](const std::string& line) {
            if (!IsFrameStart(line, paths))
                return;
            const auto now = Clock::now();
            std::lock_guard<std::mutex> lock(mutex);
            if (!seen) {
                seen = true;
                firstFrame.notify_all();
            }
            if (collecting)
                frames.push_back(now);
        });

        pid_t child = -1;
        if (o.manual) {
            std::printf("simulator ready; start the program with\n  NQ501_SIM_DIR=%s nq501\n", simFolder.c_str());
            std::fflush(stdout);
        } else {
            child = Launch(o, simFolder, home);
            if (child < 0) {
                std::perror("stream_period: fork");
                std::filesystem::remove_all(work);
                return 1;
            }
        }

        std::unique_lock<std::mutex> lock(mutex);
        const auto waitLimit = o.manual ? std::chrono::seconds(600) : std::chrono::seconds(30);
        if (!firstFrame.wait_for(lock, waitLimit, [&] { return seen; })) {
            std::fprintf(stderr, "stream_period: no lighting frame reached %s within %lld s\n",
                         o.devices.front().c_str(), static_cast<long long>(waitLimit.count()));
            status = 1;
        } else {
            lock.unlock();
            std::this_thread::sleep_for(std::chrono::duration<double>(o.warmup));
            lock.lock();
            collecting = true;
            lock.unlock();
            std::this_thread::sleep_for(std::chrono::duration<double>(o.seconds));
            lock.lock();
            collecting = false;
            const std::vector<Clock::time_point> taken = frames;
            lock.unlock();
            Report(o, taken);
            lock.lock();
        }
        lock.unlock();
        EndProgram(child);
        sim.SetWireLogCallback({});
        sim.Stop();
    }
    std::filesystem::remove_all(work);
    return status;
}
