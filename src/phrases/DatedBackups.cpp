// The dated copies of srf_pub.dat; see DatedBackups.h.
#include "phrases/DatedBackups.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "phrases/DataFileCheck.h"
#include "phrases/TreeFile.h"

namespace phrases {

namespace {

constexpr std::string_view kSuffix = ".bak";

}  // namespace

BackupDate Today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

std::string DatedBackupName(BackupDate date) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%04d%02d%02d", date.year, date.month, date.day);
    return kDatedBackupPrefix + std::string(digits) + std::string(kSuffix);
}

std::optional<BackupDate> DateOfBackupName(std::string_view name) {
    const std::string_view prefix = kDatedBackupPrefix;
    if (name.size() != prefix.size() + 8 + kSuffix.size() || !name.starts_with(prefix) ||
        !name.ends_with(kSuffix))
        return std::nullopt;
    const std::string_view digits = name.substr(prefix.size(), 8);
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const auto number = [&](std::size_t at, std::size_t count) {
        int value = 0;
        for (const char c : digits.substr(at, count))
            value = value * 10 + (c - '0');
        return value;
    };
    const BackupDate date{number(0, 4), number(4, 2), number(6, 2)};
    if (date.month < 1 || date.month > 12 || date.day < 1 || date.day > 31)
        return std::nullopt;
    return date;
}

DatedBackupPlan PlanDatedBackup(const std::vector<std::string>& names, BackupDate today, int kept) {
    struct Dated {
        BackupDate date;
        std::string name;
    };
    std::vector<Dated> dated;
    for (const std::string& name : names)
        if (const std::optional<BackupDate> date = DateOfBackupName(name))
            dated.push_back({*date, name});
    DatedBackupPlan plan;
    if (std::none_of(dated.begin(), dated.end(), [&](const Dated& d) { return d.date == today; })) {
        plan.write = DatedBackupName(today);
        dated.push_back({today, *plan.write});
    }
    std::sort(dated.begin(), dated.end(),
              [](const Dated& a, const Dated& b) { return a.date > b.date; });
    for (std::size_t at = dated.size(); at > static_cast<std::size_t>(std::max(kept, 1)); --at) {
        if (plan.write && dated[at - 1].name == *plan.write)
            plan.write.reset();  // today's copy would go at once: a clock far behind
        else
            plan.remove.push_back(dated[at - 1].name);
    }
    return plan;
}

BackupEntry DescribeBackup(std::string name, std::string_view bytes) {
    BackupEntry entry;
    entry.date = DateOfBackupName(name);
    entry.name = std::move(name);
    entry.size = bytes.size();
    if (phrases::CheckTreeFile(bytes).NeedsConversion()) {
        entry.readable = false;
        return entry;
    }
    try {
        phrases::ForEachTreeLine(bytes, [&](std::string_view, int level) {
            if (level > 0)
                ++entry.phrases;
        });
    } catch (const std::exception&) {
        entry.readable = false;
    }
    return entry;
}

void SortBackups(std::vector<BackupEntry>& entries) {
    std::stable_sort(entries.begin(), entries.end(),
                     [](const BackupEntry& a, const BackupEntry& b) {
                         if (!a.date || !b.date)
                             return !a.date && b.date;
                         return *a.date > *b.date;
                     });
}

}  // namespace phrases
