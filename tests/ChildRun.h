#pragma once
// Runs part of a test in a forked child process under a deadline and, when asked, a limit on its
// address space. A regression that blocks (a read of a FIFO) or fills memory then fails the test
// instead of hanging it or the machine. The child's own GoogleTest failures print as usual; the
// parent sees them through the child's exit status.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <exception>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#if defined(__SANITIZE_ADDRESS__)
#define MORVANE_TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MORVANE_TEST_ASAN 1
#endif
#endif

// AddressSanitizer reserves terabytes of address space for its shadow memory, so a limit set with
// RLIMIT_AS stops it from working at all: tests that need one skip themselves there.
#ifdef MORVANE_TEST_ASAN
inline constexpr bool kAddressSpaceLimitWorks = false;
#else
inline constexpr bool kAddressSpaceLimitWorks = true;
#endif

// The address space the process maps now, in bytes (VmSize); 0 when it cannot be read.
inline size_t MappedBytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.compare(0, 7, "VmSize:") == 0) return static_cast<size_t>(std::stoull(line.substr(7))) * 1024;
    return 0;
}

// Failed checks of the running test so far.
inline int FailedChecks() {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    if (!test) return 0;
    int failed = 0;
    for (int i = 0; i < test->result()->total_part_count(); ++i) failed += test->result()->GetTestPartResult(i).failed();
    return failed;
}

// Runs `body` in a child process. With `moreBytes` > 0 the child may map only that many bytes
// beyond what it maps at the start. Succeeds when the child ends within `deadlineMs` with no
// failure; a child still running then is killed.
inline ::testing::AssertionResult RunInChild(const std::function<void()>& body, int deadlineMs, size_t moreBytes = 0) {
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid < 0) return ::testing::AssertionFailure() << "fork failed";
    if (pid == 0) {
        if (moreBytes > 0) {
            const size_t mapped = MappedBytes();
            const rlimit limit{mapped + moreBytes, mapped + moreBytes};
            if (mapped == 0 || setrlimit(RLIMIT_AS, &limit) != 0) _exit(3);
        }
        int code = 0;
        const int failedBefore = FailedChecks();
        try {
            body();
            code = FailedChecks() > failedBefore ? 1 : 0;
        } catch (const std::exception& e) {
            std::printf("exception in the child: %s\n", e.what());
            code = 2;
        }
        std::fflush(nullptr);
        _exit(code);
    }
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(deadlineMs);
    int status = 0;
    pid_t done;
    while ((done = waitpid(pid, &status, WNOHANG)) == 0) {
        if (std::chrono::steady_clock::now() > until) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return ::testing::AssertionFailure() << "the child did not finish within " << deadlineMs << " ms";
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (done < 0) return ::testing::AssertionFailure() << "the child was lost";
    if (WIFSIGNALED(status)) return ::testing::AssertionFailure() << "the child ended by signal " << WTERMSIG(status);
    const int code = WEXITSTATUS(status);
    if (code == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << (code == 1   ? "the child's checks failed (printed above)"
                                             : code == 2 ? "the child threw (printed above)"
                                                         : "the child could not limit its address space");
}
