// A sync folder held in memory: what a sync service would carry, for the tests, the fuzzer and the
// benchmarks of synchronisation.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sync/Synchronise.h"

namespace synchro::testing {

class MemoryFolder : public SyncFolder {
public:
    std::vector<std::string> ListNames() override {
        std::vector<std::string> names;
        for (const auto& [name, bytes] : files)
            names.push_back(name);
        return names;
    }
    std::optional<std::string> Read(const std::string& name) override {
        const auto found = files.find(name);
        if (found == files.end())
            return std::nullopt;
        return found->second;
    }
    void Write(const std::string& name, std::string_view bytes) override {
        files[name] = std::string(bytes);
        ++writes;
    }

    std::map<std::string, std::string> files;
    int writes = 0;
};

}  // namespace synchro::testing
