#pragma once
// The process entry of NQ501: options, diagnostics, the single-instance rule, fonts, style,
// message and control registration, the main window and the event loop.
namespace nq::app {

class CApplication {
public:
    // Returns the process exit code: 0 for a normal run and for a second start; for
    // "--message" 0 when delivered and 1 when no instance runs; 2 for a bad command line.
    static int Run(int argc, char** argv);
    // Applies "style.qss" of the skin folder to the application; false when it is missing.
    static bool ApplyStyleSheet();
};

} // namespace nq::app
