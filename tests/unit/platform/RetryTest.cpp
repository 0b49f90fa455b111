#include "platform/Retry.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(RetryWhileBusy, RetriesAPassingFailureUpToItsLimitAndStopsAtAnyOther) {
    int attempts = 0;
    EXPECT_TRUE(RetryWhileBusy([&] { return ++attempts == 3; }, [] { return true; }));
    EXPECT_EQ(attempts, 3);
    attempts = 0;
    EXPECT_FALSE(RetryWhileBusy([&] { return ++attempts, false; }, [] { return true; }));
    EXPECT_EQ(attempts, kBusyAttempts);
    attempts = 0;
    EXPECT_FALSE(RetryWhileBusy([&] { return ++attempts, false; }, [] { return false; }));
    EXPECT_EQ(attempts, 1);
}

}  // namespace
}  // namespace platform
