// Test helpers shared by the native and the Windows suites: a directory of the running test's own,
// and the message of the error a call of the core throws.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/Error.h"
#include "platform/FileSystem.h"

namespace testsupport {

// A fresh, empty directory under the system's temporary folder, named after the prefix, the run's
// random seed and the running test, so that tests and runs never share one; removed with everything
// in it on destruction.
class TestDirectory {
public:
    explicit TestDirectory(const std::string& prefix)
        : m_root(std::filesystem::temp_directory_path() /
                 (prefix + "-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                  "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
        std::filesystem::remove_all(m_root);
        std::filesystem::create_directories(m_root);
    }
    ~TestDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }
    TestDirectory(const TestDirectory&) = delete;
    TestDirectory& operator=(const TestDirectory&) = delete;

    const std::filesystem::path& Root() const { return m_root; }
    std::string Path(const std::string& name) const { return (m_root / name).string(); }
    // The directory as a data directory takes it: with its separator at the end.
    std::string WithSeparator() const { return (m_root / "").string(); }
    void Write(const std::string& name, std::string_view bytes) const {
        std::ofstream(m_root / name, std::ios::binary) << bytes;
    }
    // The file's bytes; empty for a file that is not there.
    std::string Read(const std::string& name) const {
        std::ifstream file(m_root / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }

private:
    std::filesystem::path m_root;
};

// A character table of two characters, 啊 and 阿, numbers 1 and 2.
inline std::string TwoCharacterTable() {
    return std::string("\0\0\0\0\2\0\0\0\0\0\xB0\xA1\xB0\xA2", 14);
}

// Runs the call and returns the message of the platform::Error it throws, or "" when it succeeds.
template <class Call>
std::string ErrorMessage(Call call) {
    try {
        call();
        return "";
    } catch (const platform::Error& error) {
        return error.what();
    }
}

// Fails the k-th write from its making (1 = the first; 0 none); with refuseLinks, every hard link
// is refused as on a volume without them.
class FailingWrite : public platform::WriteFaults {
public:
    explicit FailingWrite(int k, bool refuseLinks = false)
        : m_left(k), m_refuseLinks(refuseLinks) {}
    bool FailNextWrite() override { return m_left > 0 && --m_left == 0; }
    bool RefuseLink() override { return m_refuseLinks; }

private:
    int m_left;
    bool m_refuseLinks;
};

// Replaces the file with the bytes and returns the message of the failure, or "" when it succeeded;
// with failingWrite, that write fails as on a full disk.
inline std::string ReplaceFailure(const std::string& path, std::string_view bytes,
                                  int failingWrite = 0) {
    FailingWrite faults(failingWrite);
    return ErrorMessage([&] { platform::ReplaceFileSafely(path, bytes, &faults); });
}

}  // namespace testsupport
