// The Windows file layer against real handles: a file held open without sharing, a read-only
// file, and paths in GB2312; the save that keeps its backup against held and read-only files.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/TextConversion_win.h"
#include "shared/TestDirectory.h"

namespace platform {
namespace {

using testsupport::ReplaceFailure;

class FileSystemWinTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        m_dir = ToGb2312(temp) + "phrases-fs-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name() + "\\";
        CreateDirectoryW(ToWide(m_dir).c_str(), nullptr);
    }
    void TearDown() override {
        for (const std::string& name : m_created) {
            SetFileAttributesW(ToWide(m_dir + name).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(ToWide(m_dir + name).c_str());
        }
        RemoveDirectoryW(ToWide(m_dir).c_str());
    }

    std::string Path(const std::string& name) {
        m_created.push_back(name);
        m_created.push_back(name + ".tmp");
        return m_dir + name;
    }
    static bool Exists(const std::string& path) {
        return GetFileAttributesW(ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    static HANDLE HoldWithoutSharing(const std::string& path) {
        return CreateFileW(ToWide(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    // Replaces path keeping backup; "" or the message of the failure. during runs while the new
    // file is written.
    static std::string SaveFailure(const std::string& path, const std::string& backup,
                                   std::function<void()> during) {
        bool first = true;
        const auto fill = [&](char* buffer, std::size_t) -> std::size_t {
            if (!std::exchange(first, false))
                return 0;
            if (during)
                during();
            buffer[0] = 'n';
            return 1;
        };
        return testsupport::ErrorMessage([&] { ReplaceFileKeepingBackup(path, fill, backup); });
    }

    std::string m_dir;
    std::vector<std::string> m_created;
};

TEST_F(FileSystemWinTest, ReplacesAFileWithAChineseName) {
    const std::string path = Path("\xD3\xC3\xBB\xA7.dat");  // yonghu
    ReplaceFileSafely(path, "first");
    ReplaceFileSafely(path, "second");
    EXPECT_EQ(ReadWholeFile(path), "second");
    EXPECT_FALSE(Exists(path + ".tmp"));
}

TEST_F(FileSystemWinTest, AFileHeldWithoutSharingIsKeptUntilReleased) {
    const std::string path = Path("held.usr");
    ReplaceFileSafely(path, "old bytes");
    const HANDLE holder = HoldWithoutSharing(path);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);

    EXPECT_EQ(ReplaceFailure(path, "new bytes"), "Cannot create file " + path);
    EXPECT_FALSE(Exists(path + ".tmp"));
    try {
        ReadWholeFile(path);
        ADD_FAILURE() << "read a file held without sharing";
    } catch (const Error& error) {
        EXPECT_EQ(error.what(), "Cannot open file " + path);
        EXPECT_EQ(error.SystemCode(), ERROR_SHARING_VIOLATION);
    }

    CloseHandle(holder);
    EXPECT_EQ(ReadWholeFile(path), "old bytes");
    ReplaceFileSafely(path, "new bytes");
    EXPECT_EQ(ReadWholeFile(path), "new bytes");
}

TEST_F(FileSystemWinTest, AReadOnlyFileIsKeptUntilWritable) {
    const std::string path = Path("readonly.dat");
    ReplaceFileSafely(path, "old bytes");
    ASSERT_TRUE(SetFileAttributesW(ToWide(path).c_str(), FILE_ATTRIBUTE_READONLY));

    EXPECT_EQ(ReplaceFailure(path, "new bytes"), "Cannot create file " + path);
    EXPECT_EQ(ReadWholeFile(path), "old bytes");
    EXPECT_FALSE(Exists(path + ".tmp"));

    ASSERT_TRUE(SetFileAttributesW(ToWide(path).c_str(), FILE_ATTRIBUTE_NORMAL));
    ReplaceFileSafely(path, "new bytes");
    EXPECT_EQ(ReadWholeFile(path), "new bytes");
}

TEST_F(FileSystemWinTest, AFailedWriteKeepsTheOldFile) {
    const std::string path = Path("write.dat");
    ReplaceFileSafely(path, "old bytes");
    const std::string bytes(200000, 'x');
    for (int k = 1; k <= 3; ++k) {
        EXPECT_EQ(ReplaceFailure(path, bytes, k), "Cannot write file " + path);
        EXPECT_EQ(ReadWholeFile(path), "old bytes");
        EXPECT_FALSE(Exists(path + ".tmp"));
    }
}

// Held without sharing, read-only, or taken by another program while the new file is written (the
// backup is then checked already, and the old file goes back in place): the save fails naming the
// file in the way, and the file and its backup keep their bytes.
TEST_F(FileSystemWinTest, AFileOrBackupInTheWayStopsTheSaveAndChangesNothing) {
    const std::string path = Path("srf_pub.dat");
    const std::string backup = Path("srf_pub.dat.bak");
    const auto readOnly = [](const std::string& name) {
        return [name] { SetFileAttributesW(ToWide(name).c_str(), FILE_ATTRIBUTE_READONLY); };
    };
    HANDLE lateHolder = INVALID_HANDLE_VALUE;
    const struct {
        const char* what;
        std::string held;
        std::function<void()> before, during;
        std::string named;
    } cases[] = {
        {"file held", path, {}, {}, path},
        {"backup held", backup, {}, {}, backup},
        {"backup read-only", "", readOnly(backup), {}, backup},
        {"backup taken meanwhile",
         "",
         {},
         [&] { lateHolder = HoldWithoutSharing(backup); },
         backup},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ReplaceFileSafely(path, "old");
        ReplaceFileSafely(backup, "older");
        if (c.before)
            c.before();
        const HANDLE holder = c.held.empty() ? INVALID_HANDLE_VALUE : HoldWithoutSharing(c.held);
        EXPECT_EQ(SaveFailure(path, backup, c.during), "Cannot create file " + c.named);
        for (const HANDLE held : {holder, std::exchange(lateHolder, INVALID_HANDLE_VALUE)})
            if (held != INVALID_HANDLE_VALUE)
                CloseHandle(held);
        SetFileAttributesW(ToWide(backup).c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(ReadWholeFile(path), "old");
        EXPECT_EQ(ReadWholeFile(backup), "older");
        EXPECT_FALSE(Exists(path + ".tmp"));
        EXPECT_FALSE(Exists(backup + ".tmp"));
    }
}

}  // namespace
}  // namespace platform
