// Starting the program at all: the first thing a user does, and what every other end-to-end
// test builds on.
#include <gtest/gtest.h>

#include <ios>

#include "e2e/harness.h"

namespace {

using namespace e2e;

TEST(Smoke, StartsAndThenEndsCleanlyOrShowsAWindow) {
    DistCopy dist;  // declared first: the program must be gone before its folder is removed
    Program tessaro(dist.Exe());
    ASSERT_TRUE(tessaro.Started()) << "CreateProcessW failed with error " << tessaro.Error();

    const bool settled =
        WaitUntil([&] { return !tessaro.IsRunning() || !TopLevelWindows(tessaro.Pid()).empty(); });
    ASSERT_TRUE(settled) << "still running after 10 s without showing any window";
    // Ending on its own is fine; ending with a crash code (0xC0000005 and the like) is not.
    if (const auto code = tessaro.ExitCode()) {
        EXPECT_EQ(0u, *code) << "exit code 0x" << std::hex << *code;
    }
}

}  // namespace
