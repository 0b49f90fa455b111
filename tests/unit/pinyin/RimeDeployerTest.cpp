// The exported Rime dictionary in the hands of a real Rime: Debian's rime_deployer (librime-bin)
// builds a minimal schema over it, and must report success, collect every entry, complain about
// nothing in the file, and leave the built table.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "phrases/TreeFile.h"
#include "pinyin/DictionaryExport.h"

namespace pinyin {
namespace {

namespace fs = std::filesystem;

#ifndef _WIN32
constexpr const char* kDeployer = "/usr/bin/rime_deployer";

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}
#endif

TEST(RimeDeployerTest, BuildsASchemaOverTheExportedDictionary) {
#ifdef _WIN32
    GTEST_SKIP() << "rime_deployer is a Linux program";
#else
    if (!fs::exists(kDeployer))
        GTEST_SKIP() << kDeployer << " is missing: apt-get install librime-bin (tools/test does)";
    phrases::TTreeNodes tree;
    // 常用 [你好 银行 卡拉OK 策略 女儿 还长] 地名 [北京 重庆]
    phrases::ParseTree(
        tree, phrases::ConvertToGb2312("常用\r\n\t你好\r\n\t银行\r\n\t卡拉OK\r\n\t策略\r\n\t女儿"
                                       "\r\n\t还长\r\n地名\r\n\t北京\r\n\t重庆\r\n",
                                       phrases::TextEncoding::Utf8)
                  .bytes);
    const DictionaryExportPlan plan = PlanDictionaryExport(tree, phrases::SourceFormat::Rime);
    ASSERT_EQ(plan.entries.size(), 8u);
    const ExportFile file = WriteDictionary(plan);

    const fs::path root = fs::temp_directory_path() / ("srf_rime_" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "shared");
    fs::create_directories(root / "user");
    WriteFile(root / "shared" / file.name, file.bytes);
    WriteFile(root / "shared" / "default.yaml", "schema_list:\n  - schema: srf_test\n");
    WriteFile(root / "shared" / "srf_test.schema.yaml",
              "schema:\n  schema_id: srf_test\n  name: srf test\n  version: \"1.0\"\n"
              "engine:\n  processors: [speller, selector, express_editor]\n"
              "  segmentors: [abc_segmentor]\n  translators: [script_translator]\n"
              "speller:\n  alphabet: zyxwvutsrqponmlkjihgfedcba\n"
              "translator:\n  dictionary: srf_phrases\n");

    const std::string command = "GLOG_logtostderr=1 " + std::string(kDeployer) + " --build '" +
                                (root / "user").string() + "' '" + (root / "shared").string() +
                                "' '" + (root / "user" / "build").string() + "' 2>&1";
    std::string log;
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char buffer[4096];
    while (const std::size_t got = std::fread(buffer, 1, sizeof buffer, pipe))
        log.append(buffer, got);
    const int status = ::pclose(pipe);

    EXPECT_EQ(status, 0) << log;
    EXPECT_NE(log.find("finished updating schemas: 1 success, 0 failure"), std::string::npos)
        << log;
    EXPECT_NE(log.find("Pass 1: total 8 entries collected"), std::string::npos) << log;
    // glog marks errors E and warnings W at the start of the line: none may name the file.
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);)
        if (line.starts_with('E') || line.starts_with('F') ||
            (line.starts_with('W') && line.find(file.name) != std::string::npos))
            ADD_FAILURE() << line;
    EXPECT_TRUE(fs::exists(root / "user" / "build" / "srf_phrases.table.bin")) << log;
    fs::remove_all(root);
#endif
}

}  // namespace
}  // namespace pinyin
