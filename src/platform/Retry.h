// The one wait for a file that another program holds for a moment (a virus scanner, an indexer).
#pragma once

#include <chrono>
#include <thread>

namespace platform {

inline constexpr int kBusyAttempts = 10;
inline constexpr std::chrono::milliseconds kBusyRetryDelay{10};

// Calls attempt until it returns true, kBusyRetryDelay apart. After each failure busy() is asked
// whether the failure may pass (a sharing violation); the retries stop when it says no or after
// kBusyAttempts attempts. Returns whether an attempt succeeded; nothing runs after the last
// failure's busy(), so what the system reported for it is still there.
template <typename Attempt, typename Busy>
bool RetryWhileBusy(Attempt&& attempt, Busy&& busy) {
    for (int count = 1;; ++count) {
        if (attempt())
            return true;
        if (!busy() || count == kBusyAttempts)
            return false;
        std::this_thread::sleep_for(kBusyRetryDelay);
    }
}

}  // namespace platform
