#include "installer/InstallPlan.h"

#include <gtest/gtest.h>

#include <set>

#include "phrases/TextEncoding.h"

using namespace installer;

namespace {

using Names = std::vector<std::string>;

std::string Gb(std::string_view utf8) {
    return phrases::ConvertToGb2312(utf8, phrases::TextEncoding::Utf8).bytes;
}

const std::string kPrefix = "\xD6\xD0\xCE\xC4\xA3\xA8\xBC\xF2\xCC\xE5\xA3\xA9\x2D\x20";

TEST(LayoutText, IsTheFourteenBytePrefixFollowedDirectlyByTheDisplayName) {
    EXPECT_EQ(LayoutText(""), kPrefix);
    EXPECT_EQ(LayoutText("Lumo"), kPrefix + "Lumo");
    EXPECT_EQ(LayoutText(" \xC2\xB7\xC4\xA3 "), kPrefix + " \xC2\xB7\xC4\xA3 ");
}

TEST(InstallMessages, QuoteTheNameBetweenHalfWidthBrackets) {
    const std::string name = "\xC2\xB7\xC4\xA3";
    EXPECT_EQ(InUseWarning(name).substr(0, 6), "\xD7\xA2\xD2\xE2: ");  // "注意: "
    for (const std::string& text :
         {InUseWarning(name), OverwriteQuestion(name), RefusedNameNotice(name)})
        EXPECT_NE(text.find("[" + name + "]"), std::string::npos);
    EXPECT_NE(InUseWarning("").find("[]"), std::string::npos);
    EXPECT_EQ(OverwriteQuestion("x").substr(OverwriteQuestion("x").size() - 2), "!!");
    EXPECT_EQ(RefusedNameNotice("..").substr(RefusedNameNotice("..").size() - 1), "!");
}

TEST(InstallMessages, TheOtherBitnessNoticeNamesBothAndTheProgramToUse) {
    EXPECT_EQ(OtherBitnessNotice("srf_ime", 32, 64),
              Gb("注意: 输入法文件[srf_ime]是32位的, 而这个srf_user.exe是64位的. 请用32位的"
                 "srf_user.exe安装, 安装已取消!"));
}

TEST(BaseNameCheck, RefusesNamesThatReachOutsideTheCurrentDirectoryOrWindowsCannotHold) {
    for (const char* name :
         {"", ".", "..", "..\\..\\x", "C:\\dir\\x", "C:x", "a/b", "dir\\", "\\x", ":"})
        EXPECT_FALSE(IsAcceptableBaseName(name)) << name;
    for (const char* name : {"a<b",
                             "a>b",
                             "a\"b",
                             "a|b",
                             "a?b",
                             "a*b",
                             "a\tb",
                             "a\x1F",
                             "a\x7F",
                             "...",
                             "x.",
                             "x ",
                             "\xCA\xE4\xC8\xEB.",
                             "CON",
                             "con",
                             "Prn",
                             "AUX",
                             "nul.ime",
                             "NUL.tar.gz",
                             "con .x",
                             "COM1",
                             "com9.ime",
                             "LPT1",
                             "lpt9"})
        EXPECT_FALSE(IsAcceptableBaseName(name)) << name;
    for (const char* name :
         {"srf_py", "SRF_PY", "x", ".x", "a b", " x", "x.ime", "\xCA\xE4\xC8\xEB", "\x81\x5C",
          "\x81\x7C", "COM", "COM0", "COM10", "LPT", "console", "xcon", "auxiliary.x", "nul_"})
        EXPECT_TRUE(IsAcceptableBaseName(name)) << name;
}

TEST(DataFiles, AreTheElevenMovesInTheirOrder) {
    std::vector<std::pair<std::string, std::string>> moves;
    for (const DataFile& file : DataFiles("srf_py"))
        moves.emplace_back(file.packaged, file.installed);
    const std::vector<std::pair<std::string, std::string>> expected =
        {{"srf_ime", "srf_py.ime"},  {"srf_set", "srf_py.set"},  {"srf_zc", "srf_pub.zc"},
         {"srf_py", "srf_pub.py"},   {"srf_pys", "srf_pub.pys"}, {"srf_lm", "srf_pub.lm"},
         {"srf_pym", "srf_pub.pym"}, {"srf_kv", "srf_pub.kv"},   {"srf_usr", "srf_pub.usr"},
         {"srf_dat", "srf_pub.dat"}, {"srf_zy", "srf_pub.zy"}};
    EXPECT_EQ(moves, expected);
}

struct DeletionCase {
    const char* baseName;
    const char* argument4;
    Names deleted;
};

class DeletionPlan : public testing::TestWithParam<DeletionCase> {};

TEST_P(DeletionPlan, DeletesWhatTheVariantAndArgumentFourReplace) {
    const DeletionCase& c = GetParam();
    EXPECT_EQ(FilesToDelete(c.baseName, c.argument4, [](const std::string&) { return true; }),
              c.deleted);
}

INSTANTIATE_TEST_SUITE_P(
    Variants, DeletionPlan,
    testing::Values(
        DeletionCase{"srf_pylm",
                     "",
                     {"srf_pylm.ime", "srf_pylm.set", "srf_pub.zc", "srf_pub.py", "srf_pub.pys",
                      "srf_pub.lm"}},
        DeletionCase{"srf_kvlm",
                     "",
                     {"srf_kvlm.ime", "srf_kvlm.set", "srf_pub.zc", "srf_pub.lm", "srf_pub.kv",
                      "srf_pub.pym"}},
        DeletionCase{"srf_py",
                     "",
                     {"srf_py.ime", "srf_py.set", "srf_pub.zc", "srf_pub.py", "srf_pub.pys"}},
        DeletionCase{"srf_lm",
                     "",
                     {"srf_lm.ime", "srf_lm.set", "srf_pub.zc", "srf_pub.lm", "srf_pub.pym"}},
        DeletionCase{"srf_kv",
                     "",
                     {"srf_kv.ime", "srf_kv.set", "srf_pub.zc", "srf_pub.kv", "srf_pub.pym"}},
        DeletionCase{"other", "", {"other.ime", "other.set", "srf_pub.zc"}},
        DeletionCase{"SRF_PY", "", {"SRF_PY.ime", "SRF_PY.set", "srf_pub.zc"}},
        DeletionCase{"srf_pY", "", {"srf_pY.ime", "srf_pY.set", "srf_pub.zc"}},
        DeletionCase{"srf_py ", "", {"srf_py .ime", "srf_py .set", "srf_pub.zc"}},
        DeletionCase{"srf_py",
                     "zy",
                     {"srf_py.ime", "srf_py.set", "srf_pub.zc", "srf_pub.py", "srf_pub.pys",
                      "srf_pub.zy"}},
        DeletionCase{"other", "ZY", {"other.ime", "other.set", "srf_pub.zc", "srf_pub.zy"}},
        DeletionCase{"other", "Zy", {"other.ime", "other.set", "srf_pub.zc", "srf_pub.zy"}},
        DeletionCase{"other", "zY", {"other.ime", "other.set", "srf_pub.zc", "srf_pub.zy"}},
        DeletionCase{"other", "zy ", {"other.ime", "other.set", "srf_pub.zc"}},
        DeletionCase{"other", "zyx", {"other.ime", "other.set", "srf_pub.zc"}},
        DeletionCase{"other", "z", {"other.ime", "other.set", "srf_pub.zc"}},
        // Only ASCII letters change case: the full-width "ｚｙ" in GB2312 is not "zy".
        DeletionCase{"other", "\xA3\xFA\xA3\xF9", {"other.ime", "other.set", "srf_pub.zc"}}));

TEST(DeletionPlan, NeverDeletesTheUsersPhraseFiles) {
    for (const char* base :
         {"srf_pylm", "srf_kvlm", "srf_py", "srf_lm", "srf_kv", "srf_pub", "x"}) {
        const Names deleted = FilesToDelete(base, "zy", [](const std::string&) { return true; });
        const std::set<std::string> names(deleted.begin(), deleted.end());
        EXPECT_EQ(names.count("srf_pub.dat") + names.count("srf_pub.usr"), 0u) << base;
    }
}

TEST(DeletionPlan, KeepsAnInstalledFileWhosePackagedReplacementIsMissing) {
    const std::set<std::string> missing = {"srf_zc", "srf_ime", "srf_pys", "srf_zy"};
    const auto present = [&](const std::string& packaged) { return missing.count(packaged) == 0; };
    EXPECT_EQ(FilesToDelete("srf_py", "zy", present), (Names{"srf_py.set", "srf_pub.py"}));
    EXPECT_EQ(FilesToDelete("srf_kv", "", [](const std::string&) { return false; }), Names{});
}

TEST(DeletionPlan, AsksForThePackagedNameOfEachReplacement) {
    Names asked;
    FilesToDelete("srf_kvlm", "zy", [&](const std::string& packaged) {
        asked.push_back(packaged);
        return true;
    });
    EXPECT_EQ(asked,
              (Names{"srf_ime", "srf_set", "srf_zc", "srf_lm", "srf_kv", "srf_pym", "srf_zy"}));
}

struct IdentifierCase {
    Names names;
    const char* expected;
};

class NewIdentifier : public testing::TestWithParam<IdentifierCase> {};

TEST_P(NewIdentifier, IsOneStepAboveTheLargestWithChineseAsLanguage) {
    EXPECT_EQ(NewLayoutIdentifier(LargestLayoutIdentifier(GetParam().names)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, NewIdentifier,
    testing::Values(
        IdentifierCase{{"E0220804"}, "E0230804"}, IdentifierCase{{"E00E0411"}, "E00F0804"},
        IdentifierCase{{"00010409"}, "00020804"}, IdentifierCase{{"FFFF0804"}, "00000804"},
        IdentifierCase{{"00000409", "00000804", "E0200804", "E0210804"}, "E0220804"},
        IdentifierCase{{"E0220804", "e0230804"}, "E0240804"},
        IdentifierCase{{"e0230804", "E0220804"}, "E0240804"},
        IdentifierCase{{"E0210804", "00000409", "E0200804"}, "E0220804"},
        IdentifierCase{{"a0000409", "0000040A"}, "A0010804"}, IdentifierCase{{"409"}, "00010804"},
        // Beyond eight digits the comparison is still numeric; only the low 32 bits count.
        IdentifierCase{{"E0200804", "100000000"}, "00010804"}));

TEST(LayoutIdentifier, ReadsHexadecimalNamesInEitherCase) {
    EXPECT_EQ(ReadLayoutIdentifier("E0220804"), 0xE0220804);
    EXPECT_EQ(ReadLayoutIdentifier("e0220804"), 0xE0220804);
    EXPECT_EQ(ReadLayoutIdentifier("00000409"), 0x409);
    EXPECT_EQ(ReadLayoutIdentifier("0000000000000000ABCDEF"), 0xABCDEF);
    for (const char* name :
         {"", "E022080G", "0x409", " 409", "409 ", "-409", "\xCA\xE4", "11112222333344445"})
        EXPECT_EQ(ReadLayoutIdentifier(name), std::nullopt) << name;
}

TEST(LayoutIdentifier, FailsWithoutNamesOrWithANameThatIsNoNumber) {
    EXPECT_THROW(LargestLayoutIdentifier({}), InstallFailure);
    EXPECT_THROW(LargestLayoutIdentifier({"00000409", "Foo", "E0200804"}), InstallFailure);
    EXPECT_THROW(LargestLayoutIdentifier({"Foo"}), InstallFailure);
}

TEST(LayoutTextMatch, ComparesStringValuesByteForByteUpToTheirFirstZero) {
    const std::string text = kPrefix + "Lumo";
    EXPECT_TRUE(IsSameLayoutText(kStringType, 20, text, text));
    EXPECT_TRUE(IsSameLayoutText(kExpandableStringType, 20, text, text));
    EXPECT_TRUE(IsSameLayoutText(kStringType, 30, text + std::string("\0junk", 5), text));
    EXPECT_FALSE(IsSameLayoutText(kStringType, 20, kPrefix + "lumo", text));
    EXPECT_FALSE(IsSameLayoutText(kStringType, 20, text + " ", text));
    // A missing or empty value reads as empty text: it matches only an empty layout text.
    EXPECT_FALSE(IsSameLayoutText(0, 0, "", text));
    EXPECT_TRUE(IsSameLayoutText(0, 0, "", ""));
}

TEST(LayoutTextMatch, FailsOnAValueWithDataOfAnotherType) {
    constexpr std::uint32_t kBinary = 3, kNumber = 4, kMultiString = 7;
    for (std::uint32_t type : {0u, kBinary, kNumber, kMultiString})
        EXPECT_THROW(IsSameLayoutText(type, 4, "abcd", "abcd"), InstallFailure) << type;
    EXPECT_FALSE(IsSameLayoutText(kNumber, 0, "", "x"));
}

}  // namespace
