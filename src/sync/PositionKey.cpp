// Fractional position keys; see PositionKey.h.
#include "sync/PositionKey.h"

#include <cassert>
#include <utility>

namespace synchro {

namespace {

constexpr int kBase = 62;

int Digit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 36;
    return -1;
}

char Character(int digit) {
    return digit < 10   ? static_cast<char>('0' + digit)
           : digit < 36 ? static_cast<char>('A' + digit - 10)
                        : static_cast<char>('a' + digit - 36);
}

}  // namespace

bool IsValidKey(std::string_view key) {
    if (key.empty() || key.size() > kMaxKeyBytes || key.back() == '0')
        return false;
    for (const char c : key)
        if (Digit(c) < 0)
            return false;
    return true;
}

std::string KeyBetween(std::string_view low, std::string_view high, KeyBias bias) {
    assert(high.empty() || low < high);
    std::string key;
    bool highOpen = high.empty();
    for (;;) {
        if (!highOpen) {
            // The digits both bounds share (low read with trailing zeros) are the key's too.
            std::size_t shared = 0;
            while (shared < high.size() &&
                   (shared < low.size() ? low[shared] : '0') == high[shared])
                ++shared;
            key.append(high.substr(0, shared));
            low.remove_prefix(std::min(shared, low.size()));
            high.remove_prefix(shared);
        }
        const int a = low.empty() ? 0 : Digit(low.front());
        const int b = highOpen ? kBase : Digit(high.front());
        if (b - a > 1) {
            const int digit = bias == KeyBias::NearLow    ? a + 1
                              : bias == KeyBias::NearHigh ? b - 1
                                                          : (a + b + 1) / 2;
            key.push_back(Character(digit));
            return key;
        }
        // Neighbouring digits: the high bound's first digit alone lies between when more follows
        // it; otherwise take the low digit and go on above the rest of low.
        if (!highOpen && high.size() > 1) {
            key.push_back(high.front());
            return key;
        }
        key.push_back(Character(a));
        if (!low.empty())
            low.remove_prefix(1);
        highOpen = true;
    }
}

std::vector<std::string> KeysBetween(std::string_view low, std::string_view high,
                                     std::size_t count) {
    std::vector<std::string> keys(count);
    // Halving the gap: the middle key first, then each half; an explicit stack, as count may be
    // large. Each entry: the slots [first, last) to fill between two bounds.
    struct Gap {
        std::size_t first, last;
        std::string low, high;
    };
    std::vector<Gap> gaps;
    if (count > 0)
        gaps.push_back({0, count, std::string(low), std::string(high)});
    while (!gaps.empty()) {
        Gap gap = std::move(gaps.back());
        gaps.pop_back();
        const std::size_t middle = gap.first + (gap.last - gap.first) / 2;
        keys[middle] = KeyBetween(gap.low, gap.high);
        if (middle + 1 < gap.last)
            gaps.push_back({middle + 1, gap.last, keys[middle], gap.high});
        if (gap.first < middle)
            gaps.push_back({gap.first, middle, std::move(gap.low), keys[middle]});
    }
    return keys;
}

}  // namespace synchro
