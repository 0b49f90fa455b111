#include "platform/Retry.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(RetryWhileBusy, RetriesAPassingFailureUpToItsLimitAndStopsAtAnyOther) {
    int attempts = 0, asked = 0;
    EXPECT_TRUE(RetryWhileBusy([&] { return ++attempts == 3; }, [&] { return ++asked, true; }));
    EXPECT_EQ(attempts, 3);
    EXPECT_EQ(asked, 2);

    attempts = asked = 0;
    EXPECT_FALSE(RetryWhileBusy([&] { return ++attempts, false; }, [&] { return ++asked, true; }));
    EXPECT_EQ(attempts, kBusyAttempts);
    EXPECT_EQ(asked, kBusyAttempts) << "the last failure is asked about too";

    attempts = 0;
    EXPECT_FALSE(RetryWhileBusy([&] { return ++attempts, false; }, [] { return false; }));
    EXPECT_EQ(attempts, 1);
}

}  // namespace
}  // namespace platform
