// The file layer on a real disk: whole files read, files replaced safely, and every failure with
// its message and without a temporary file left behind.
#include "platform/FileSystem.h"

#include <gtest/gtest.h>
#if !defined(_WIN32)
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Error.h"
#include "shared/TestDirectory.h"

namespace platform {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using testsupport::ReplaceFailure;

class FileSystemTest : public ::testing::Test {
protected:
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(m_dir, fs::perms::owner_all, fs::perm_options::add, ignored);
        for (const auto& entry : fs::directory_iterator(m_dir, ignored))
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }

    std::string Path(const std::string& name) const { return m_directory.Path(name); }
    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(Path(name), std::ios::binary) << bytes;
    }
    // Only the files the test itself made: no temporary file may be left behind.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_dir))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    testsupport::TestDirectory m_directory{"platform-fs"};
    const fs::path& m_dir = m_directory.Root();
};

TEST_F(FileSystemTest, ReadWholeFileReadsEveryByte) {
    const std::string bytes = "a\0b\r\n\xFF"s + std::string(200000, 'z');
    Write("data", bytes);
    EXPECT_EQ(ReadWholeFile(Path("data")), bytes);
    Write("empty", "");
    EXPECT_EQ(ReadWholeFile(Path("empty")), "");

    // Into a large block too: beyond a large page, and empty.
    const std::string large = bytes + std::string(kLargePageSize * 2, 'y') + "end";
    Write("large", large);
    EXPECT_EQ(ReadFileBytes(Path("large")).View(), large);
    EXPECT_EQ(ReadFileBytes(Path("data")).View(), bytes);
    EXPECT_EQ(ReadFileBytes(Path("empty")).View(), "");
}

TEST_F(FileSystemTest, ReadWholeFileNamesTheFileItCannotOpen) {
    const std::string missing = Path("missing");
    try {
        ReadWholeFile(missing);
        FAIL();
    } catch (const Error& error) {
        EXPECT_EQ(error.what(), "Cannot open file " + missing);
        EXPECT_EQ(error.Kind(), "FileOpenError");
        // The path itself goes with the message, for a box to show as the system names it.
        ASSERT_TRUE(error.NamedPath());
        EXPECT_EQ(error.NamedPath()->path, platform::Path(missing));
        EXPECT_EQ(std::string(error.what())
                      .substr(error.NamedPath()->at, error.NamedPath()->length),
                  missing);
    }
    EXPECT_THROW(ReadWholeFile(m_dir.string()), Error);  // a directory
}

TEST_F(FileSystemTest, ReplaceFileCreatesAndReplaces) {
    ReplaceFileSafely(Path("out"), "first");
    EXPECT_EQ(ReadWholeFile(Path("out")), "first");
    ReplaceFileSafely(Path("out"), "second, longer");
    EXPECT_EQ(ReadWholeFile(Path("out")), "second, longer");
    ReplaceFileSafely(Path("out"), "");
    EXPECT_EQ(ReadWholeFile(Path("out")), "");
    EXPECT_EQ(Names(), std::vector<std::string>{"out"});
}

TEST_F(FileSystemTest, ALeftoverTemporaryFileIsOverwritten) {
    Write("out", "old");
    Write("out.tmp", std::string(100000, 'x'));
    fs::permissions(Path("out.tmp"), fs::perms::owner_read);
    ReplaceFileSafely(Path("out"), "new");
    EXPECT_EQ(ReadWholeFile(Path("out")), "new");
    EXPECT_EQ(Names(), std::vector<std::string>{"out"});
}

TEST_F(FileSystemTest, ATargetThatCannotBeReplacedKeepsItsBytes) {
    Write("readonly", "old bytes");
    fs::permissions(Path("readonly"), fs::perms::owner_read | fs::perms::group_read);
    fs::create_directory(Path("folder"));

    EXPECT_EQ(ReplaceFailure(Path("readonly"), "new"), "Cannot create file " + Path("readonly"));
    EXPECT_EQ(ReadWholeFile(Path("readonly")), "old bytes");
    EXPECT_EQ(ReplaceFailure(Path("folder"), "new"), "Cannot create file " + Path("folder"));
    const std::string nowhere = Path("no such directory/out");
    EXPECT_EQ(ReplaceFailure(nowhere, "new"), "Cannot create file " + nowhere);
    EXPECT_EQ(Names(), (std::vector<std::string>{"folder", "readonly"}));
}

#if !defined(_WIN32)
TEST_F(FileSystemTest, ReplacementKeepsTheTargetsPermissions) {
    Write("out", "old");
    fs::permissions(Path("out"), fs::perms::owner_read | fs::perms::owner_write);
    ReplaceFileSafely(Path("out"), "new");
    EXPECT_EQ(fs::status(Path("out")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(FileSystemTest, ADirectoryWithoutWriteAccessKeepsTheOldFile) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "the superuser may write to any directory";
    Write("out", "old bytes");
    fs::permissions(m_dir, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(ReplaceFailure(Path("out"), "new"), "Cannot create file " + Path("out"));
    fs::permissions(m_dir, fs::perms::owner_all);
    EXPECT_EQ(ReadWholeFile(Path("out")), "old bytes");
    EXPECT_EQ(Names(), std::vector<std::string>{"out"});
}
#endif

TEST_F(FileSystemTest, AFailedWriteAtAnyPointLosesNothing) {
    // Large enough to need several writes; every one of them is made to fail in turn.
    const std::string old = "the previous content";
    std::string bytes;
    for (int i = 0; bytes.size() < 300000; ++i)
        bytes += std::to_string(i) + "\r\n";
    Write("out", old);

    int k = 1;
    for (;; ++k) {
        ASSERT_LT(k, 100);
        const std::string failure = ReplaceFailure(Path("out"), bytes, k);
        if (failure.empty())
            break;
        EXPECT_EQ(failure, "Cannot write file " + Path("out")) << "write " << k;
        EXPECT_EQ(ReadWholeFile(Path("out")), old) << "write " << k;
        EXPECT_EQ(Names(), std::vector<std::string>{"out"}) << "write " << k;
    }
    EXPECT_GT(k, 2);
    EXPECT_EQ(ReadWholeFile(Path("out")), bytes);
}

// A file made block by block: several blocks, so that they are written on the second thread;
// a failed write anywhere, or a failing maker, leaves the old file and no temporary one.
TEST_F(FileSystemTest, AFileMadeInBlocksIsReplacedAsSafely) {
    std::string bytes;
    for (int i = 0; bytes.size() < 2 * kFileBlockSize + 1000; ++i)
        bytes += std::to_string(i) + "\r\n";
    const auto replace = [&](std::size_t failAt, WriteFaults* faults = nullptr) {
        std::size_t at = 0;
        ReplaceFileSafely(
            Path("out"),
            [&](char* buffer, std::size_t capacity) {
                if (at >= failAt)
                    throw std::runtime_error("maker failed");
                const std::size_t size = std::min(capacity, bytes.size() - at);
                std::copy_n(bytes.data() + at, size, buffer);
                at += size;
                return size;
            },
            faults);
    };
    Write("out", "old");
    for (int k : {1, 40, 60}) {
        testsupport::FailingWrite faults(k);
        EXPECT_EQ(testsupport::ErrorMessage([&] { replace(bytes.size(), &faults); }),
                  "Cannot write file " + Path("out"))
            << k;
        EXPECT_EQ(ReadWholeFile(Path("out")), "old");
        EXPECT_EQ(Names(), std::vector<std::string>{"out"});
    }
    EXPECT_THROW(replace(kFileBlockSize), std::runtime_error);
    EXPECT_EQ(ReadWholeFile(Path("out")), "old");
    EXPECT_EQ(Names(), std::vector<std::string>{"out"});

    replace(bytes.size());
    EXPECT_EQ(ReadWholeFile(Path("out")), bytes);
}

// The system's reason goes with the error beside the program's unchanged message: errno here,
// GetLastError on Windows.
TEST_F(FileSystemTest, AFileErrorKeepsTheSystemsCode) {
#if defined(_WIN32)
    const int notFound = 2, diskFull = 112,
              denied = 5;  // ERROR_FILE_NOT_FOUND, _DISK_FULL, _ACCESS_DENIED
#else
    const int notFound = ENOENT, diskFull = ENOSPC, denied = EACCES;
#endif
    Write("readonly", "old");
    fs::permissions(Path("readonly"), fs::perms::owner_read);
    const struct {
        std::function<void()> call;
        std::string message;
        int code;
    } cases[] = {
        {[&] { ReadWholeFile(Path("missing")); }, "Cannot open file " + Path("missing"), notFound},
        {[&] {
             testsupport::FailingWrite first(1);
             ReplaceFileSafely(Path("out"), "x", &first);
         },
         "Cannot write file " + Path("out"), diskFull},
        {[&] { ReplaceFileSafely(Path("readonly"), "x"); },
         "Cannot create file " + Path("readonly"), denied},
    };
    for (const auto& c : cases) {
        try {
            c.call();
            ADD_FAILURE() << c.message;
        } catch (const Error& error) {
            EXPECT_EQ(error.what(), c.message);
            EXPECT_EQ(error.SystemCode(), c.code) << c.message;
        }
    }
}

}  // namespace
}  // namespace platform
