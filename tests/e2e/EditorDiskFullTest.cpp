// The phrase editor on a full disk: the program and its data live on a small tmpfs that
// tests/e2e/with_small_disk.sh mounts and names in SRF_SMALL_DISK. The test fills it, makes a
// change and checks that nothing was lost; after space is freed the next change writes it all.
#include <gtest/gtest.h>

#include <cstdlib>

#include "DriverEditor.h"
#include "editor/commands/EditorCommandIds.h"

using namespace driver;
namespace fs = std::filesystem;

namespace {

// Larger than this, the directory is not the small disk: filling it would fill the machine.
constexpr ULONGLONG kLargestDisk = 64ull * 1024 * 1024;

// The small disk as this program sees it (Wine shows the Unix root as drive Z:), or empty.
fs::path SmallDisk() {
    const char* unixPath = std::getenv("SRF_SMALL_DISK");
    if (!unixPath || !*unixPath)
        return {};
    return fs::path(std::string("Z:") + unixPath).make_preferred();
}

struct DiskSpace {
    ULONGLONG total = 0;
    ULONGLONG free = 0;
};

DiskSpace SpaceOf(const fs::path& directory) {
    ULARGE_INTEGER available{}, total{}, free{};
    if (!GetDiskFreeSpaceExW(directory.c_str(), &available, &total, &free))
        return {};
    return {total.QuadPart, available.QuadPart};
}

// Writes the file until the disk takes no further byte, halving the block at every refusal.
void FillDisk(const fs::path& file) {
    const HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE) << "cannot create the filler: error " << GetLastError();
    const std::string block(64 * 1024, 'x');
    for (DWORD size = static_cast<DWORD>(block.size()); size > 0; size /= 2) {
        DWORD written = 0;
        while (WriteFile(handle, block.data(), size, &written, nullptr) && written == size) {
        }
    }
    FlushFileBuffers(handle);
    CloseHandle(handle);
}

TEST(EditorDiskFull, AFailedSaveLosesNothingAndTheNextChangeWritesTheWholeTree) {
    const fs::path disk = SmallDisk();
    ASSERT_FALSE(disk.empty())
        << "SRF_SMALL_DISK is not set: run this suite through tests/e2e/with_small_disk.sh, "
           "which mounts the small disk that the test fills";
    ASSERT_TRUE(fs::is_directory(disk)) << "SRF_SMALL_DISK names no directory: " << disk.string();
    const DiskSpace before = SpaceOf(disk);
    ASSERT_GT(before.total, 0u) << "cannot ask the size of " << disk.string();
    ASSERT_LE(before.total, kLargestDisk)
        << disk.string() << " holds " << before.total << " bytes: not a small disk, not filling it";

    EditorRun run(disk);
    run.Start();
    if (HasFatalFailure())
        return;
    const fs::path filler = disk / "filler";
    FillDisk(filler);
    ASSERT_EQ(SpaceOf(disk).free, 0u) << "the disk is not full";

    run.New(L"其他", L"上好");
    // The backup takes no room (the old file kept under a second name): the new srf_pub.dat is
    // the write that fails.
    run.ExpectErrorBox(L"Cannot write file " + run.ProgramPath("srf_pub.dat") + L".");
    // Save writes the change the failed save left again, which fails the same way, and no
    // congratulation follows.
    SendCommand(run.Main(), editor::IDM_SAVE);
    run.ExpectErrorBox(L"Cannot write file " + run.ProgramPath("srf_pub.dat") + L".");
    run.ExpectNoBox();
    EXPECT_EQ(run.File("srf_pub.dat"), EditorTree());
    EXPECT_EQ(run.File("srf_pub.usr"), EditorCompiled());
    EXPECT_EQ(run.Names(), EditorFileNames(false))
        << "a temporary file was left beside the data files";
    EXPECT_EQ(run.Texts(),
              (std::vector<std::wstring>{L"问候", L"你好", L"早上好", L"其他", L"上好"}));

    fs::remove(filler);
    run.New(L"你好", L"早上");
    run.WaitForFile("srf_pub.dat", EditorTreeAfterBoth());
    run.WaitForFile("srf_pub.usr", EditorCompiledAfterBoth());
    EXPECT_EQ(run.File("srf_pub.dat.bak"), EditorTree());
    EXPECT_EQ(run.Names(), EditorFileNames(true));
}

}  // namespace
