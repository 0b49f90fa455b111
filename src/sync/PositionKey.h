// Position keys: the order of siblings as strings that compare byte by byte, so that a node can be
// placed between any two others without moving either (fractional indexing).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace synchro {

// A key is the fraction 0.d1d2d3... in base 62, its digits 0-9, A-Z, a-z (ascending in ASCII, so
// byte order is numeric order). It never ends with '0': between any two keys lies another one.
// An empty low bound stands for 0, an empty high bound for 1.
inline constexpr std::size_t kMaxKeyBytes = 200;

bool IsValidKey(std::string_view key);

// Where a single new key goes in the gap: next to the low bound (appending), next to the high
// bound (prepending) or in the middle (inserting between two neighbours). A key near an end keeps
// room for the next append or prepend there, so that repeated appends lengthen keys by one digit
// in 61 steps, not in 6.
enum class KeyBias { Middle, NearLow, NearHigh };

// A key strictly between low and high; low must be below high (or either empty).
std::string KeyBetween(std::string_view low, std::string_view high, KeyBias bias = KeyBias::Middle);

// count ascending keys strictly between low and high, spread over the gap: their lengths grow with
// the logarithm of count, not with count.
std::vector<std::string> KeysBetween(std::string_view low, std::string_view high,
                                     std::size_t count);

}  // namespace synchro
