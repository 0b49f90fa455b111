#include "app/AppPaths.h"
#include "app/ErrorText.h"

#include <gtest/gtest.h>

using namespace app;

TEST(DataDirectory, IsThePathUpToTheLastSeparator) {
    EXPECT_EQ(DataDirectory("C:\\Program Files\\srf\\srf_user.exe"), "C:\\Program Files\\srf\\");
    EXPECT_EQ(DataDirectory("C:\\srf_user.exe"), "C:\\");
    EXPECT_EQ(DataDirectory("C:srf_user.exe"), "C:");
    EXPECT_EQ(DataDirectory("srf_user.exe"), "");
}

TEST(DataDirectory, KeepsADoubleByteCharacterWhoseSecondByteIsABackslash) {
    // In code page 936 a double-byte character may end in 0x5C, which is then no separator.
    EXPECT_EQ(DataDirectory("C:\\\xD5\x5C\\srf_user.exe"), "C:\\\xD5\x5C\\");
    EXPECT_EQ(DataDirectory("C:\\a\xD5\x5Csrf_user.exe"), "C:\\");
}

TEST(ApplicationTitle, IsTheNameWithoutExtensionInLowerCaseAfterItsFirstCharacter) {
    EXPECT_EQ(ApplicationTitle("C:\\srf\\srf_user.exe"), "srf_user");
    EXPECT_EQ(ApplicationTitle("C:\\srf\\SRF_USER.EXE"), "Srf_user");
    EXPECT_EQ(ApplicationTitle("C:\\srf\\srf.user.exe"), "srf");
    EXPECT_EQ(ApplicationTitle("C:\\\xD5\x5C\\My\xD5\x5C"
                               "AB.exe"),
              "My\xD5\x5C"
              "ab");
}

TEST(ErrorBoxText, AddsAFullStopOnlyAfterACharacterAboveTheFullStop) {
    EXPECT_EQ(WithFullStop("Cannot open file C:\\srf_pub.dat"),
              "Cannot open file C:\\srf_pub.dat.");
    EXPECT_EQ(WithFullStop("Invalid level (2) for item \"x\""), "Invalid level (2) for item \"x\"");
    EXPECT_EQ(WithFullStop("Done."), "Done.");
    EXPECT_EQ(WithFullStop("Stop!"), "Stop!");
    EXPECT_EQ(WithFullStop("(x)"), "(x)");
    EXPECT_EQ(WithFullStop("trailing "), "trailing ");
    EXPECT_EQ(WithFullStop(""), "");
    EXPECT_EQ(WithFullStop("\xCE\xC4"), "\xCE\xC4.");
    // A double-byte character whose second byte is below "." still counts as one character.
    EXPECT_EQ(WithFullStop("x\x81\x21"), "x\x81\x21.");
}

TEST(LastResortText, NamesKindModuleAddressAndMessage) {
    EXPECT_EQ(LastResortText("FileError", "srf_user.exe", 0x401A2B, "Cannot open file x"),
              "Exception FileError in module srf_user.exe at 00401A2B.\nCannot open file x.");
    EXPECT_EQ(LastResortText("E", "m.exe", 0, "Done."),
              "Exception E in module m.exe at 00000000.\nDone.");
    // A file error's system code follows the message in short form.
    EXPECT_EQ(
        LastResortText("FileCreateError", "srf_user.exe", 0x401A2B, "Cannot create file x", 32),
        "Exception FileCreateError in module srf_user.exe at 00401A2B.\nCannot create file x. (system error 32)");
}
