#include "tool/ToolCommands.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "phrases/DatedBackups.h"
#include "phrases/DictionaryBytes.h"
#include "phrases/TableBytes.h"
#include "platform/FileSystem.h"

namespace tool {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

// GB2312 characters: chang yong ni hao xie, di zhi, bei jing.
const std::string kChang = "\xB3\xA3", kYong = "\xD3\xC3", kNi = "\xC4\xE3", kHao = "\xBA\xC3";
const std::string kXie = "\xD0\xBB", kDi = "\xB5\xD8", kZhi = "\xD6\xB7", kBei = "\xB1\xB1";
const std::string kJing = "\xBE\xA9";

// 常用 [你好 谢谢] 地址 [北京]
const std::string kTree = kChang + kYong + "\r\n\t" + kNi + kHao + "\r\n\t" + kXie + kXie + "\r\n" +
                          kDi + kZhi + "\r\n\t" + kBei + kJing + "\r\n";

class ToolCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("tool-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        MakeData("data", kTree);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    // A data directory with the tree and a table of every character above but 京.
    std::string MakeData(const std::string& name, const std::string& tree) {
        fs::create_directories(m_dir / name);
        Write(name + "/srf_pub.dat", tree);
        Write(name + "/srf_pub.zc",
              phrases::testing::TableBytes({kChang, kYong, kNi, kHao, kXie, kBei}));
        return Path(name);
    }
    std::string Path(const std::string& name) const { return (m_dir / name).string(); }
    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(Path(name), std::ios::binary) << bytes;
    }
    std::string Read(const std::string& name) const { return platform::ReadWholeFile(Path(name)); }

    int Run(const std::vector<std::string>& args) {
        std::ostringstream out, err;
        const int code = RunTool(args, out, err);
        m_out = out.str();
        m_err = err.str();
        return code;
    }

    fs::path m_dir;
    std::string m_out, m_err;
};

TEST_F(ToolCommandsTest, CompileThenDumpGivesTheCompiledPhrases) {
    Write("data/srf_pub.zc",
          phrases::testing::TableBytes({kChang, kYong, kNi, kHao, kXie, kBei, kJing}));
    ASSERT_EQ(Run({"compile", Path("data")}), kExitOk) << m_err;
    EXPECT_EQ(m_out, "srf_pub.usr: 3 phrases compiled, 0 left out\n");
    EXPECT_EQ(Read("data/srf_pub.usr"), std::string("\x02\x03\x00\x04\x00\x02\x05\x00\x05\x00"
                                                    "\x02\x06\x00\x07\x00\x00",
                                                    16));

    ASSERT_EQ(Run({"dump", Path("data/srf_pub.usr"), "--table", Path("data/srf_pub.zc")}), kExitOk)
        << m_err;
    EXPECT_EQ(m_out, "你好\n谢谢\n北京\n");
}

// The compile reads the phrase file without building its tree; its errors stay those of the
// tree's load, which comes before the table's.
TEST_F(ToolCommandsTest, CompileReportsALineTooDeepBeforeAMissingTable) {
    MakeData("deep", "c\r\n\t\tdeep\r\n");
    for (int run = 0; run < 2; ++run) {
        EXPECT_EQ(Run({"compile", Path("deep")}), kExitError);
        EXPECT_EQ(m_err.substr(0, m_err.find('\n')), "Invalid level (2) for item \"deep\"");
        fs::remove(m_dir / "deep" / "srf_pub.zc");
    }
    EXPECT_FALSE(fs::exists(m_dir / "deep" / "srf_pub.usr"));
}

TEST_F(ToolCommandsTest, CheckListsWhatTheCompileLeavesOut) {
    EXPECT_EQ(Run({"check", Path("data")}), kExitLeftOut);
    EXPECT_EQ(m_out,
              "srf_pub.dat:5: 北京: character 京 (BEA9) at 2 not in srf_pub.zc\n"
              "1 of 3 phrases left out\n");

    MakeData("fine", kChang + kYong + "\r\n\t" + kNi + kHao + "\r\n");
    EXPECT_EQ(Run({"check", Path("fine")}), kExitOk);
    EXPECT_EQ(m_out, "0 of 1 phrases left out\n");
}

TEST_F(ToolCommandsTest, ExportsUtf8WithMarkOrGb2312AsTheFileHoldsIt) {
    ASSERT_EQ(Run({"export", Path("data")}), kExitOk);
    EXPECT_EQ(m_out, "\xEF\xBB\xBF常用\r\n\t你好\r\n\t谢谢\r\n地址\r\n\t北京\r\n");
    ASSERT_EQ(Run({"export", Path("data") + kSeparator, "--gb2312"}), kExitOk);
    EXPECT_EQ(m_out, kTree);
}

TEST_F(ToolCommandsTest, ExportsOtherInputMethodsDictionariesWithReadings) {
    Write("data/srf_pub.pinyin.txt", "谢谢\txie xie\r\n");
    ASSERT_EQ(Run({"export", Path("data"), "--format", "rime"}), kExitOk) << m_err;
    EXPECT_NE(m_out.find("你好\tni hao"), std::string::npos) << m_out;
    EXPECT_NE(m_out.find("# 分类：常用"), std::string::npos);  // the category, as a comment

    EXPECT_EQ(Run({"export", Path("data"), "--format", "gboard"}), kExitUsage);  // binary
    ASSERT_EQ(Run({"export", Path("data"), "--format", "gboard", "--category", "地址", "--output",
                   Path("dict.zip")}),
              kExitOk)
        << m_err;
    MakeData("back", "");
    ASSERT_EQ(Run({"import", Path("back"), Path("dict.zip"), "--category", "词"}), kExitOk)
        << m_err;
    EXPECT_EQ(Read("back/srf_pub.dat"), "\xB4\xCA\r\n\t" + kBei + kJing + "\r\n");
    // Never over the data directory's own files.
    EXPECT_EQ(Run({"export", Path("data"), "--format", "rime", "--output",
                   Path("data/srf_pub.dat")}),
              kExitError);
    EXPECT_EQ(Read("data/srf_pub.dat"), kTree);
}

TEST_F(ToolCommandsTest, ExportThenImportIntoAnEmptyTreeGivesTheSameFile) {
    for (const char* option : {"", "--gb2312"}) {
        std::vector<std::string> args = {"export", Path("data")};
        if (*option)
            args.push_back(option);
        ASSERT_EQ(Run(args), kExitOk);
        Write("exported.txt", m_out);
        fs::remove_all(m_dir / "empty");
        MakeData("empty", "");
        ASSERT_EQ(Run({"import", Path("empty"), Path("exported.txt")}), kExitOk) << m_err;
        EXPECT_EQ(Read("empty/srf_pub.dat"), kTree) << option;
        ASSERT_EQ(Run({"compile", Path("data")}), kExitOk);
        EXPECT_EQ(Read("empty/srf_pub.usr"), Read("data/srf_pub.usr"));
    }
}

TEST_F(ToolCommandsTest, ImportPrintsTheSummaryAndMergesUnlessDryRun) {
    Write("new.txt", "地址\n\t北京\n\t上海\n\t😀\n新\n\t你好\n");
    ASSERT_EQ(Run({"import", Path("data"), Path("new.txt"), "--dry-run"}), kExitOk) << m_err;
    EXPECT_EQ(m_out.substr(0, m_out.find('\n')), "将增加语料 1 条，新增分类 1 个。");
    EXPECT_NE(m_out.find(Path("new.txt") + ":4: 😀 [😀]: 含GB2312没有的字\n"), std::string::npos)
        << m_out;
    EXPECT_EQ(Read("data/srf_pub.dat"), kTree);
    EXPECT_FALSE(fs::exists(m_dir / "data/srf_pub.usr"));

    ASSERT_EQ(Run({"import", Path("data"), Path("new.txt")}), kExitOk) << m_err;
    // 上海 at the end of 地址, the new category 新 last.
    EXPECT_EQ(Read("data/srf_pub.dat"), kTree + "\t\xC9\xCF\xBA\xA3\r\n\xD0\xC2\r\n");
    // Kept as the editor keeps it: an import of the wrong file can be taken back.
    EXPECT_EQ(Read("data/srf_pub.dat.bak"), kTree);
    EXPECT_EQ(Read("data/" + phrases::DatedBackupName(phrases::Today())), kTree);
    EXPECT_EQ(Read("data/srf_pub.usr"),
              std::string("\x02\x03\x00\x04\x00\x02\x05\x00\x05\x00\x00", 11));
}

TEST_F(ToolCommandsTest, ADirectoryThatNeedsAttentionIsReportedAndNeverImportedInto) {
    const std::string withNul = kTree + std::string("\0\tlost\r\n", 8);
    Write("data/srf_pub.dat", withNul);
    Write("new.txt", "\xB5\xD8\xD6\xB7\r\n\t\xC4\xE3\xC4\xE3\r\n");
    EXPECT_EQ(Run({"check", Path("data")}), kExitAttention);  // wins over the left-out 北京
    EXPECT_NE(m_out.find("byte 34 is NUL and 7 bytes follow it"), std::string::npos) << m_out;
    EXPECT_EQ(Run({"compile", Path("data")}), kExitAttention);
    EXPECT_TRUE(fs::exists(m_dir / "data/srf_pub.usr"));
    EXPECT_EQ(Run({"import", Path("data"), Path("new.txt")}), kExitAttention);
    EXPECT_EQ(Read("data/srf_pub.dat"), withNul);
    EXPECT_FALSE(fs::exists(m_dir / "data/srf_pub.dat.bak"));

    // A table cut in the middle: the same code, with what was read.
    Write("data/srf_pub.dat", kTree);
    Write("data/srf_pub.zc", phrases::testing::TableBytes({kChang, kYong}, 6));
    EXPECT_EQ(Run({"compile", Path("data")}), kExitAttention);
    EXPECT_NE(m_err.find("it should hold 6 characters, only 2 were read"), std::string::npos);
}

TEST_F(ToolCommandsTest, ConvertTurnsAUtf8TreeFileIntoGb2312AndKeepsTheOriginal) {
    // 地址 / 北京 한 as Notepad saves it.
    const std::string utf8 = "\xEF\xBB\xBF地址\r\n\t北京한\r\n";
    Write("data/srf_pub.dat", utf8);
    ASSERT_EQ(Run({"check", Path("data")}), kExitAttention);
    EXPECT_NE(m_out.find("UTF-8"), std::string::npos);
    ASSERT_EQ(Run({"convert", Path("data")}), kExitOk) << m_err;
    EXPECT_NE(m_out.find("srf_pub.dat:2: \t北京한: 한 (U+D55C) left out"), std::string::npos)
        << m_out;
    EXPECT_EQ(Read("data/srf_pub.dat"), kDi + kZhi + "\r\n\t" + kBei + kJing + "\r\n");
    EXPECT_EQ(Read("data/srf_pub.dat.unreadable"), utf8);
    ASSERT_EQ(Run({"convert", Path("data")}), kExitOk);  // GB2312 now: left as it is
    EXPECT_FALSE(fs::exists(m_dir / "data/srf_pub.dat.unreadable.1"));
}

TEST_F(ToolCommandsTest, PlainLinesNeedTheirCategory) {
    Write("plain.txt", "北京\r\n你们\r\n");
    EXPECT_EQ(Run({"import", Path("data"), Path("plain.txt")}), kExitUsage);
    EXPECT_TRUE(m_err.starts_with("srf_tool import: the file holds plain lines")) << m_err;
    ASSERT_EQ(Run({"import", Path("data"), Path("plain.txt"), "--category", "地址"}), kExitOk);
    EXPECT_EQ(Read("data/srf_pub.dat"), kTree + "\t\xC4\xE3\xC3\xC7\r\n");
}

TEST_F(ToolCommandsTest, ImportsOtherInputMethodsDictionaries) {
    using namespace phrases::testing::dictionary;
    // A Sogou cell dictionary goes into a category of its name; its single character is counted.
    Write("cell.scel", Scel(u"地名", {{u"你们", u"你好"}, {u"京"}}));
    ASSERT_EQ(Run({"import", Path("data"), Path("cell.scel")}), kExitOk) << m_err;
    EXPECT_TRUE(m_out.starts_with("格式：搜狗细胞词库 (.scel)\n将增加语料 1 条，新增分类 1 个。"))
        << m_out;
    EXPECT_NE(m_out.find("跳过单字 1 条"), std::string::npos) << m_out;
    EXPECT_EQ(Read("data/srf_pub.dat"), kTree + kDi + "\xC3\xFB\r\n\t" + kNi + "\xC3\xC7\r\n");

    // Forced, the same lines read as Rime entries into the named category.
    Write("rime.txt", "北北\tbei bei\n");
    ASSERT_EQ(Run({"import", Path("data"), Path("rime.txt"), "--format", "rime", "--category",
                   "常用", "--dry-run"}),
              kExitOk)
        << m_err;
    EXPECT_TRUE(m_out.starts_with("格式：Rime 词库 (dict.yaml)\n将增加语料 1 条，新增分类 0 个。"));
    EXPECT_EQ(Run({"import", Path("data"), Path("rime.txt"), "--format", "word"}), kExitUsage);
    ASSERT_EQ(Run({"import", "--help"}), kExitOk);
    EXPECT_NE(m_out.find("  mspy-dat "), std::string::npos);

    // A damaged file changes nothing.
    const std::string before = Read("data/srf_pub.dat");
    Write("bad.dat", MsPinyin({{u"nh", u"你们"}}).substr(0, 0x48));
    EXPECT_EQ(Run({"import", Path("data"), Path("bad.dat")}), kExitError);
    EXPECT_EQ(m_err, "文件格式不正确: " + Path("bad.dat") + "\n");
    EXPECT_EQ(Read("data/srf_pub.dat"), before);

    ASSERT_EQ(Run({"export", Path("data"), "--word-list"}), kExitOk);
    EXPECT_EQ(m_out, "\xEF\xBB\xBF你好\r\n谢谢\r\n北京\r\n你们\r\n");
}

TEST_F(ToolCommandsTest, ErrorsGoToStandardErrorWithTheirExitCodes) {
    const std::string missing = Path("missing");
    // A file error ends with the system's code: ENOENT, or ERROR_FILE_NOT_FOUND and, for a file in
    // a missing folder, ERROR_PATH_NOT_FOUND on Windows.
    const std::string noFile = " (system error 2)";
#ifdef _WIN32
    const std::string noFolder = " (system error 3)";
#else
    const std::string noFolder = noFile;
#endif
    const struct {
        std::vector<std::string> args;
        int code;
        std::string err;  // the first line
    } cases[] = {
        {{"compile", missing},
         kExitError,
         "Cannot open file " + missing + kSeparator + "srf_pub.dat" + noFolder},
        {{"import", Path("data"), missing}, kExitError, "Cannot open file " + missing + noFile},
        {{"dump", missing, "--table", Path("data/srf_pub.zc")},
         kExitError,
         "Cannot open file " + missing + noFile},
        {{"dump", Path("data/srf_pub.dat"), "--table", Path("data/srf_pub.zc")},
         kExitError,
         "Record at offset 0 runs past the end of " + Path("data/srf_pub.dat")},
        {{}, kExitUsage, "Usage: srf_tool COMMAND [ARGUMENTS]"},
        {{"frobnicate"}, kExitUsage, "srf_tool: unknown command frobnicate"},
        {{"compile"}, kExitUsage, "srf_tool compile: missing argument"},
        {{"check", "a", "b"}, kExitUsage, "srf_tool check: unexpected argument b"},
        {{"export", "a", "--utf16"}, kExitUsage, "srf_tool export: unknown option --utf16"},
        {{"dump", "a.usr"}, kExitUsage, "srf_tool dump: missing --table FILE.zc"},
        {{"dump", "a.usr", "--table"}, kExitUsage, "srf_tool dump: option --table needs a value"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Run(c.args), c.code);
        EXPECT_EQ(m_err.substr(0, m_err.find('\n')), c.err);
        EXPECT_EQ(m_out, "");
    }
}

#ifndef _WIN32
// A pipe or a device may never end and a huge file would fill the memory: such sources are
// refused before anything is read, like any file that cannot be read.
TEST_F(ToolCommandsTest, SourcesThatCannotBeReadSafelyAreRefused) {
    ASSERT_EQ(::mkfifo(Path("pipe").c_str(), 0600), 0);
    Write("huge.txt", "");
    fs::resize_file(Path("huge.txt"), (std::uintmax_t{256} << 20) + 1);  // sparse: no data
    const struct {
        std::vector<std::string> args;
        std::string err;
    } cases[] = {
        {{"import", Path("data"), Path("pipe")},
         "Cannot open file " + Path("pipe") + ": not a regular file\n"},
        {{"import", Path("data"), "/dev/urandom"},
         "Cannot open file /dev/urandom: not a regular file\n"},
        {{"import", Path("data"), Path("huge.txt")},
         "Cannot open file " + Path("huge.txt") + ": larger than 256 MB\n"},
        {{"dump", Path("huge.txt"), "--table", "/dev/zero"},
         "Cannot open file /dev/zero: not a regular file\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Run(c.args), kExitError);
        EXPECT_EQ(m_err, c.err);
        EXPECT_EQ(m_out, "");
    }
    EXPECT_EQ(Read("data/srf_pub.dat"), kTree);
}
#endif

TEST_F(ToolCommandsTest, EveryCommandHasHelp) {
    for (const std::string command : {"compile", "check", "export", "import", "dump"}) {
        EXPECT_EQ(Run({command, "--help"}), kExitOk);
        EXPECT_TRUE(m_out.starts_with("Usage: srf_tool " + command)) << m_out;
    }
    EXPECT_EQ(Run({"--help"}), kExitOk);
    EXPECT_TRUE(m_out.starts_with("Usage: srf_tool COMMAND"));
}

}  // namespace
}  // namespace tool
