// Cost of the command channel against the device simulator (run by hand):
//   channel_bench [TRANSACTIONS]
// 1. the raw round trip of one 64-byte report over the simulator socket (HidDevice write + read);
// 2. one Transact through the channel (BatchBegin), so 2 - 1 is the channel's own cost;
// 3. a full 378-byte key map write (126 keys, 7 reports).
// Real hardware moves one 64-byte interrupt report per millisecond each way, so a transaction
// costs about 2 ms on the wire and the key map write about 14 ms.
#include "common/DebugLog.h"
#include "devsim/Simulator.h"
#include "hid/CommandChannel.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Stats {
    double meanUs = 0, medianUs = 0, p99Us = 0;
};

template <typename F>
Stats Measure(int runs, F&& run)
{
    std::vector<double> us;
    us.reserve(runs);
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        if (!run()) {
            std::fprintf(stderr, "channel_bench: operation failed at run %d\n", i);
            std::exit(1);
        }
        us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    std::sort(us.begin(), us.end());
    Stats s;
    for (double v : us)
        s.meanUs += v;
    s.meanUs /= us.size();
    s.medianUs = us[us.size() / 2];
    s.p99Us = us[std::min(us.size() - 1, us.size() * 99 / 100)];
    return s;
}

void Print(const char* what, const Stats& s)
{
    std::printf("%-44s mean %8.1f us   median %8.1f us   p99 %8.1f us\n", what, s.meanUs, s.medianUs, s.p99Us);
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(10, std::atoi(argv[1])) : 2000;
    char folder[] = "/tmp/nq501-bench-XXXXXX";
    if (!mkdtemp(folder)) {
        std::perror("mkdtemp");
        return 1;
    }
    setenv("NQ501_SIM_DIR", folder, 1);
    {
        nqsim::Simulator sim(folder);
        if (!sim.Start() || !sim.AddDevice("keyboard")) {
            std::fprintf(stderr, "channel_bench: cannot start the simulator\n");
            return 1;
        }
        const std::string path = sim.PathOf("keyboard", 1, 4);

        nq::HidDevice raw;
        if (!raw.Open(path, true, true, true, false)) {
            std::fprintf(stderr, "channel_bench: cannot open %s\n", path.c_str());
            return 1;
        }
        uint8_t request[64];
        nq::CommandChannel::BuildRequest(request, nq::CMD_BATCH_BEGIN, 0, 0);
        const Stats rawStats = Measure(runs, [&] {
            uint8_t reply[64];
            return raw.Write(64, request, 1000) && raw.Read(64, reply, 1000);
        });
        raw.Close();

        nq::CommandChannel channel;
        if (!channel.Open(path)) {
            std::fprintf(stderr, "channel_bench: cannot open the channel\n");
            return 1;
        }
        const Stats transact = Measure(runs, [&] { return channel.BatchBegin() == nq::kOk; });

        channel.SetTransferLength(126 * 3);
        std::vector<uint8_t> keymap(126 * 3);
        channel.ReadKeymap(keymap.data());
        const Stats keymapWrite = Measure(std::max(10, runs / 10), [&] {
            return channel.WriteKeymap(keymap.data(), 0) == nq::kOk;
        });

        std::printf("simulator round trips, %d runs (diagnostics off)\n", runs);
        Print("raw report round trip (HidDevice)", rawStats);
        Print("one transaction (CommandChannel::BatchBegin)", transact);
        // Medians: the machine's scheduling noise dwarfs the difference in the means.
        std::printf("%-44s %8.1f us (difference of the medians)\n", "channel's own cost per transaction",
                    transact.medianUs - rawStats.medianUs);
        Print("378-byte key map write (7 reports)", keymapWrite);
        std::printf("USB limit for comparison: 1 report per ms each way = ~2000 us per transaction,\n"
                    "~14000 us for the key map write\n");
    }
    std::filesystem::remove_all(folder);
    return 0;
}
