// A stop request always works: taken by the event loop when it runs, and ending the process
// anyway when the loop does not take it (start-up still building, or stuck).
#include "app/CTerminationSignals.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace {

// Waits for the child to end; -1 when it has not ended within the bound (it is then killed).
int WaitForEnd(pid_t child, int& status)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline) {
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child)
            return 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    return -1;
}

TEST(TerminationSignals, ARequestTheEventLoopNeverTakesStillEndsTheProcess)
{
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Start-up that blocks before the event loop runs.
        nq::app::CTerminationSignals handlers;
        const char ok = handlers.IsInstalled() ? '1' : '0';
        if (write(ready[1], &ok, 1) != 1)
            _exit(3);
        for (;;)
            pause();
    }
    close(ready[1]);
    char installed = 0;
    ASSERT_EQ(read(ready[0], &installed, 1), 1);
    close(ready[0]);
    ASSERT_EQ(installed, '1');

    ASSERT_EQ(kill(child, SIGTERM), 0);
    int status = 0;
    ASSERT_EQ(WaitForEnd(child, status), 0) << "SIGTERM was swallowed";
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGTERM);
}

} // namespace
