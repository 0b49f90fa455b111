// Paths outside code page 936: the data directory cut from the executable's path, files in a
// folder of such a name read and replaced, and the error box naming that folder as it is.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/Application_win.h"
#include "app/ErrorText.h"
#include "platform/Error.h"
#include "platform/FileStamp.h"
#include "platform/FileSystem.h"
#include "platform/TextConversion_win.h"

namespace {

namespace fs = std::filesystem;
using platform::Path;

TEST(DataDirectoryOf, CutsByTheDoubleByteRuleWhereCodePage936HoldsThePathAndAsUtf16Elsewhere) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"C:\\srf\\srf_user.exe", L"C:\\srf\\"},
        {L"C:\\srf_user.exe", L"C:\\"},
        {L"C:\\\u4E57\\srf_user.exe", L"C:\\\u4E57\\"},  // 乗 is 81 5C in code page 936
        {L"C:\\\uAC00\uB098\uB2E4\\srf_user.exe", L"C:\\\uAC00\uB098\uB2E4\\"},
        {L"C:\\\u4E2D\u6587\\\u4E57\uAC00\\srf_user.exe", L"C:\\\u4E2D\u6587\\\u4E57\uAC00\\"},
        {L"D:\U0001F600srf_user.exe", L"D:"},
        {L"srf_user.exe", L""},
    };
    for (const auto& [module, directory] : cases)
        EXPECT_EQ(app::DataDirectoryOf(module).Native(), directory);
}

TEST(PathWin, FilesInAFolderNamedOutsideCodePage936AreReadReplacedAndNamedAsTheyAre) {
    const fs::path folder = fs::temp_directory_path() / L"srf-\uAC00\uB098\uB2E4-\U0001F600";
    fs::remove_all(folder);
    fs::create_directory(folder);
    const Path directory = Path::FromNative(folder.wstring() + L"\\");

    platform::ReplaceFileSafely(directory + "srf_pub.dat", "first");
    platform::ReplaceFileSafely(directory + "srf_pub.dat", "second");
    EXPECT_EQ(platform::ReadWholeFile(directory + "srf_pub.dat"), "second");
    EXPECT_TRUE(platform::StampOf(directory + "srf_pub.dat").exists);
    EXPECT_FALSE(fs::exists(folder / L"srf_pub.dat.tmp"));

    const std::wstring missing = folder.wstring() + L"\\srf_pub.zc";
    try {
        platform::ReadWholeFile(directory + "srf_pub.zc");
        ADD_FAILURE() << "read a missing file";
    } catch (const platform::Error& error) {
        // The error box and the last-resort box quote the message within texts of their own.
        EXPECT_EQ(platform::ToWideMessage(app::WithFullStop(error.what()), error),
                  L"Cannot open file " + missing + L".");
        EXPECT_EQ(
            platform::ToWideMessage(app::LastResortText("FileOpenError", "srf_user.exe", 0,
                                                        error.what()),
                                    error),
            L"Exception FileOpenError in module srf_user.exe at 00000000.\nCannot open file " +
                missing + L".");
    }
    fs::remove_all(folder);
}

}  // namespace
