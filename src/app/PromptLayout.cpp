// The input box's geometry and byte limit; see PromptLayout.h.
#include "app/PromptLayout.h"

#include <algorithm>
#include <vector>

namespace app {

namespace {

// n * numerator / denominator to the nearest whole number, halves away from zero.
int RoundedRatio(int n, int numerator, int denominator) {
    const long long product = static_cast<long long>(n) * numerator;
    const long long half = denominator / 2;
    const long long result =
        product >= 0 ? (product + half) / denominator : -((-product + half) / denominator);
    return static_cast<int>(result);
}

// The byte offsets at which the characters of GB2312 text start, and its size at the end.
std::vector<std::size_t> CharacterStarts(std::string_view text) {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < text.size();) {
        starts.push_back(i);
        i += (static_cast<unsigned char>(text[i]) >= 0x81 && i + 1 < text.size()) ? 2 : 1;
    }
    starts.push_back(text.size());
    return starts;
}

}  // namespace

DialogBaseUnits BaseUnitsFromText(int widthOf52Letters, int height) {
    return {widthOf52Letters / 52, height};
}

int HorizontalPixels(int units, DialogBaseUnits base) { return RoundedRatio(units, base.x, 4); }
int VerticalPixels(int units, DialogBaseUnits base) { return RoundedRatio(units, base.y, 8); }

PromptGeometry LayOutPrompt(DialogBaseUnits base, int promptWidth, int lineHeight, int editHeight) {
    auto across = [&](int units) { return HorizontalPixels(units, base); };
    auto down = [&](int units) { return VerticalPixels(units, base); };
    PromptGeometry geometry;
    // A long prompt (the reading's) widens the box rather than being cut.
    const int extra = std::max(0, 2 * across(8) + promptWidth - across(180));
    geometry.clientWidth = across(180) + extra;
    geometry.clientHeight = down(63);
    geometry.prompt = {across(8), down(8), promptWidth, lineHeight};
    geometry.edit = {across(8), down(19), across(164) + extra, editHeight};
    geometry.ok = {across(38) + extra / 2, down(41), across(50), down(14)};
    geometry.cancel = {across(92) + extra / 2, down(41), across(50), down(14)};
    return geometry;
}

LimitedText LimitInsertion(std::string_view before, std::string_view after, std::size_t limit) {
    if (after.size() <= limit || after.size() <= before.size())
        return {std::string(after), after.size()};
    // The unchanged start and end, in whole characters of after; what lies between was typed.
    const std::vector<std::size_t> starts = CharacterStarts(after);
    std::size_t prefix = 0;
    for (std::size_t start : starts) {
        if (start > before.size() || after.substr(0, start) != before.substr(0, start))
            break;
        prefix = start;
    }
    std::size_t suffix = 0;  // bytes at the end shared with before, not overlapping the prefix
    for (auto it = starts.rbegin(); it != starts.rend(); ++it) {
        const std::size_t length = after.size() - *it;
        if (*it < prefix || length > before.size() - prefix ||
            after.substr(*it) != before.substr(before.size() - length))
            break;
        suffix = length;
    }
    const std::size_t insertedEnd = after.size() - suffix;
    const std::size_t room = limit > prefix + suffix ? limit - prefix - suffix : 0;
    // Keep the inserted characters that fit whole.
    std::size_t kept = prefix;
    for (std::size_t start : starts)
        if (start >= prefix && start <= insertedEnd && start - prefix <= room)
            kept = start;
    LimitedText result;
    result.text = std::string(after.substr(0, kept)) + std::string(after.substr(insertedEnd));
    result.caret = kept;
    return result;
}

}  // namespace app
