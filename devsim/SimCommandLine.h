#pragma once
// The command language of nq501-devsim, as the simulator's control socket runs it:
//   list | add DEVICE... | remove DEV | plug DEV [LINK] | unplug DEV [LINK] | button DEV | dump DEV |
//   save DEV FILE | load DEV FILE | notice DEV USAGE | fw DEV ARGS... | stop
#include <string>
#include <vector>

namespace nqsim {

class Simulator;

class SimCommandLine {
public:
    // Runs one command; returns the text to print, ok tells success.
    static std::string Execute(Simulator& sim, const std::vector<std::string>& args, bool* ok);
};

} // namespace nqsim
