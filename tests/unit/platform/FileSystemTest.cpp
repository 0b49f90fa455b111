// The file layer on a real disk: whole files read, files replaced safely, and every failure with
// its message and without a temporary file left behind.
#include "platform/FileSystem.h"

#include <gtest/gtest.h>
#if !defined(_WIN32)
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
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

    // Empties the directory, whatever permissions its files were given.
    void Clear() {
        TearDown();
        for (const auto& entry : fs::directory_iterator(m_dir))
            fs::remove_all(entry.path());
    }

    testsupport::TestDirectory m_directory{"platform-fs"};
    const fs::path& m_dir = m_directory.Root();
};

// A file made of bytes block by block; before its first block, first() runs.
FileFiller FillFrom(const std::string& bytes, std::function<void()> first = {}) {
    return [&bytes, first, at = std::size_t{0}](char* buffer, std::size_t capacity) mutable {
        if (at == 0 && first)
            first();
        const std::size_t size = std::min(capacity, bytes.size() - at);
        std::copy_n(bytes.data() + at, size, buffer);
        at += size;
        return size;
    };
}

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

TEST_F(FileSystemTest, A32BitBuildRefusesAFileOver256MegabytesBeforeReadingIt) {
    if (sizeof(void*) != 4)
        GTEST_SKIP() << "a 64-bit build reads a file of any size";
    {
        // Sparse: one byte is written, after a hole of 256 MB.
        std::ofstream file(Path("large"), std::ios::binary);
        file.seekp(static_cast<std::streamoff>(kLargestFileRead));
        file.put('x');
    }
    ASSERT_EQ(fs::file_size(Path("large")), kLargestFileRead + 1);
    const std::string message = "Cannot open file " + Path("large") + ": larger than 256 MB";
    EXPECT_EQ(testsupport::ErrorMessage([&] { ReadWholeFile(Path("large")); }), message);
    EXPECT_EQ(testsupport::ErrorMessage([&] { ReadFileBytes(Path("large")); }), message);
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

// Runs check while directory refuses every change: by its permissions for an ordinary user; for
// the superuser, whom permissions do not stop, by a read-only mount of it over itself.
void WithoutWriteAccess(const fs::path& directory, const std::function<void()>& check) {
    if (::geteuid() != 0) {
        fs::permissions(directory, fs::perms::owner_read | fs::perms::owner_exec);
        check();
        fs::permissions(directory, fs::perms::owner_all);
        return;
    }
    std::string refused;
    // A mount namespace belongs to a thread: this one, and the mount made in it, end with it.
    std::thread([&] {
        const char* dir = directory.c_str();
        const char* step =
            ::unshare(CLONE_NEWNS) != 0 ? "unshare(CLONE_NEWNS)"
            : ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
                ? "making the mounts private"
            : ::mount(dir, dir, nullptr, MS_BIND, nullptr) != 0 ? "mount --bind"
            : ::mount(nullptr, dir, nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0
                ? "remount read-only"
                : nullptr;
        if (step) {
            refused = std::string(step) + ": " + std::strerror(errno);
            return;
        }
        check();
        ::umount(dir);
    }).join();
    ASSERT_EQ(refused, "") << "run as root, this test makes the directory read-only by a mount in "
                              "a mount namespace of its own, which this machine refused";
}

TEST_F(FileSystemTest, ADirectoryWithoutWriteAccessKeepsTheOldFile) {
    Write("out", "old bytes");
    Write("out.bak", "older");
    WithoutWriteAccess(m_dir, [&] {
        const std::pair<std::function<void()>, std::string> cases[] = {
            {[&] { ReplaceFileSafely(Path("out"), "new"); }, Path("out")},
            {[&] { ReplaceFileSafely(Path("new"), "new"); }, Path("new")},
            {[&] { ReplaceFileKeepingBackup(Path("out"), "new", Path("out.bak")); }, Path("out")},
            {[&] { KeepCopy(Path("out"), Path("day")); }, Path("day")},
        };
        for (const auto& [call, named] : cases)
            EXPECT_EQ(testsupport::ErrorMessage(call), "Cannot create file " + named);
    });
    EXPECT_EQ(ReadWholeFile(Path("out")), "old bytes");
    EXPECT_EQ(ReadWholeFile(Path("out.bak")), "older");
    EXPECT_EQ(Names(), (std::vector<std::string>{"out", "out.bak"}));
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

// The backup is the replaced file itself under a second name, not a copy of its bytes, unless the
// volume refuses links; a file that does not exist yet leaves no backup. The day's copy shares the
// backup's file, and later saves replace the backup's name, never its bytes. A backup that already
// is the file being replaced (linked by hand) stays that file.
TEST_F(FileSystemTest, ReplacingKeepsTheReplacedFileAsTheBackup) {
    for (const bool refuseLinks : {false, true}) {
        SCOPED_TRACE(refuseLinks ? "links refused" : "links");
        testsupport::FailingWrite faults(0, refuseLinks);
        const auto save = [&](const FileFiller& fill) {
            ReplaceFileKeepingBackup(Path("out"), fill, Path("out.bak"), &faults);
        };
        const std::string first = "first", second(kFileBlockSize + 10, 's'), third = "third";
        save(FillFrom(first));
        EXPECT_EQ(Names(), std::vector<std::string>{"out"});
        fs::create_hard_link(Path("out"), Path("witness"));

        save(FillFrom(second));
        EXPECT_EQ(ReadWholeFile(Path("out")), second);
        EXPECT_EQ(ReadWholeFile(Path("out.bak")), first);
        EXPECT_EQ(IsSameFile(Path("out.bak"), Path("witness")), !refuseLinks);
        KeepCopy(Path("out.bak"), Path("day"), &faults);
        EXPECT_EQ(IsSameFile(Path("out.bak"), Path("day")), !refuseLinks);

        ReplaceFileKeepingBackup(Path("out"), third, Path("out.bak"), &faults);
        EXPECT_EQ(ReadWholeFile(Path("out.bak")), second);
        EXPECT_EQ(ReadWholeFile(Path("day")), first);

        KeepCopy(Path("out"), Path("out.bak"), &faults);
        save(FillFrom(first));
        EXPECT_EQ(ReadWholeFile(Path("out")), first);
        EXPECT_EQ(ReadWholeFile(Path("out.bak")), third);
        EXPECT_EQ(Names(), (std::vector<std::string>{"day", "out", "out.bak", "witness"}));
        Clear();
    }
}

// Whatever stops a save, the file and its backup are as they were and no temporary name is left:
// the message names the file that could not be made or written.
TEST_F(FileSystemTest, AFailedSaveLeavesTheFileAndItsBackupAsTheyWere) {
    const auto readOnly = [&](const char* name) {
        return [this, name] { fs::permissions(Path(name), fs::perms::owner_read); };
    };
    const auto folderAsBackup = [&] {
        fs::remove(Path("out.bak"));
        fs::create_directory(Path("out.bak"));
    };
    const struct {
        const char* what;
        std::function<void()> before, during;  // before the save; while its new file is written
        std::string failure;
    } cases[] = {
        {"read-only file", readOnly("out"), {}, "Cannot create file " + Path("out")},
        {"read-only backup", readOnly("out.bak"), {}, "Cannot create file " + Path("out.bak")},
        {"directory as backup", folderAsBackup, {}, "Cannot create file " + Path("out.bak")},
        {"backup turned directory", {}, folderAsBackup, "Cannot create file " + Path("out.bak")},
    };
    const std::string bytes = "new";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Clear();
        Write("out", "old");
        Write("out.bak", "older");
        if (c.before)
            c.before();
        EXPECT_EQ(testsupport::ErrorMessage([&] {
                      ReplaceFileKeepingBackup(Path("out"), FillFrom(bytes, c.during),
                                               Path("out.bak"));
                  }),
                  c.failure);
        EXPECT_EQ(ReadWholeFile(Path("out")), "old");
        if (!fs::is_directory(Path("out.bak"))) {
            EXPECT_EQ(ReadWholeFile(Path("out.bak")), "older");
        }
        EXPECT_EQ(Names(), (std::vector<std::string>{"out", "out.bak"}));
    }

    // Every write in turn fails, the new file's and, where links are refused, the copy's.
    std::string large;
    for (int i = 0; large.size() < 300000; ++i)
        large += std::to_string(i) + "\r\n";
    for (const bool refuseLinks : {false, true}) {
        Clear();
        Write("out", large);
        Write("out.bak", "older");
        int k = 1;
        for (std::string failure;; ++k) {
            ASSERT_LT(k, 100);
            testsupport::FailingWrite faults(k, refuseLinks);
            failure = testsupport::ErrorMessage(
                [&] { ReplaceFileKeepingBackup(Path("out"), "new", Path("out.bak"), &faults); });
            if (failure.empty())
                break;
            EXPECT_EQ(failure, "Cannot write file " + Path(k == 1 ? "out" : "out.bak")) << k;
            EXPECT_EQ(ReadWholeFile(Path("out")), large) << k;
            EXPECT_EQ(ReadWholeFile(Path("out.bak")), "older") << k;
            EXPECT_EQ(Names(), (std::vector<std::string>{"out", "out.bak"})) << k;
        }
        EXPECT_EQ(k, refuseLinks ? 7 : 2);  // the copy takes five writes of 64 KB
        EXPECT_EQ(ReadWholeFile(Path("out.bak")), large);
    }
}

TEST_F(FileSystemTest, AKeptCopyIsWholeOrAsItWas) {
    Write("out", std::string(300000, 'x'));
    Write("day", "older");
    fs::create_directory(Path("folder"));
    const struct {
        const char* source;
        const char* target;
        int failingWrite;
        std::string failure;
    } cases[] = {
        {"missing", "day", 0, "Cannot open file " + Path("missing")},
        {"out", "folder", 0, "Cannot create file " + Path("folder")},
        {"out", "day", 1, "Cannot write file " + Path("day")},
        {"out", "day", 5, "Cannot write file " + Path("day")},
    };
    for (const auto& c : cases) {
        testsupport::FailingWrite faults(c.failingWrite, true);
        EXPECT_EQ(testsupport::ErrorMessage(
                      [&] { KeepCopy(Path(c.source), Path(c.target), &faults); }),
                  c.failure);
        EXPECT_EQ(ReadWholeFile(Path("day")), "older");
        EXPECT_EQ(Names(), (std::vector<std::string>{"day", "folder", "out"}));
    }
    KeepCopy(Path("out"), Path("day"));
    EXPECT_EQ(ReadWholeFile(Path("day")), std::string(300000, 'x'));
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
