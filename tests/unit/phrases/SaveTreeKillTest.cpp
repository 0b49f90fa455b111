// A save killed at any moment: a child process saves two large trees in turn and is killed at
// random; the file must then hold one of the two whole, and the next save must succeed.
#ifndef _WIN32

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include "phrases/TreeFile.h"
#include "phrases/TreeNodes.h"
#include "platform/FileSystem.h"

namespace phrases {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

void FillTree(TTreeNodes& tree, const std::string& mark) {
    for (int c = 0; c < 50; ++c) {
        TTreeNode* category =
            tree.InsertLastChild(nullptr, mark + " category " + std::to_string(c));
        for (int p = 0; p < 499; ++p)
            tree.InsertLastChild(category, mark + std::to_string(p));
    }
}

TEST(SaveTreeKillTest, AKilledSaveLeavesTheOldTreeOrTheNewOne) {
    const fs::path dir = fs::temp_directory_path() / ("phrases-kill-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string path = (dir / "srf_pub.dat").string();

    TTreeNodes first;
    TTreeNodes second;
    FillTree(first, "first");
    FillTree(second, "second");
    const std::string firstBytes = FormatTree(first);
    const std::string secondBytes = FormatTree(second);
    ASSERT_EQ(firstBytes.size(), secondBytes.size() - 25000);

    // Kills fall anywhere within a few saves' time, so some land before the first write, some
    // mid-write, some between the rename and the next save.
    const auto started = Clock::now();
    phrases::SaveTree(first, path);
    const auto saveTime = Clock::now() - started;
    const auto window = std::chrono::duration_cast<std::chrono::microseconds>(saveTime * 3) +
                        std::chrono::microseconds(500);

    std::mt19937 random(::testing::UnitTest::GetInstance()->random_seed());
    std::uniform_int_distribution<long long> delay(0, window.count());
    constexpr int kKills = 200;
    const auto deadline = Clock::now() + std::chrono::seconds(60);
    int kills = 0;
    int leftTemporary = 0;
    int sawSecond = 0;
    for (; kills < kKills && Clock::now() < deadline; ++kills) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            try {
                for (;;) {
                    phrases::SaveTree(second, path);
                    phrases::SaveTree(first, path);
                }
            } catch (...) {
            }
            ::_exit(1);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        ASSERT_EQ(::kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saving child stopped by itself";

        const std::string bytes = platform::ReadWholeFile(path);
        ASSERT_TRUE(bytes == firstBytes || bytes == secondBytes)
            << "kill " << kills << ": a file of " << bytes.size() << " bytes, neither tree";
        if (bytes == secondBytes)
            ++sawSecond;
        TTreeNodes loaded;
        phrases::LoadTree(loaded, path);
        ASSERT_EQ(loaded.NodeCount(), first.NodeCount());

        if (fs::exists(path + ".tmp"))
            ++leftTemporary;
        // Whatever the kill left beside the file, the next save goes through and cleans up.
        phrases::SaveTree(first, path);
        ASSERT_EQ(platform::ReadWholeFile(path), firstBytes);
        ASSERT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    }
    RecordProperty("kills_leaving_temporary", leftTemporary);
    RecordProperty("kills_after_new_tree", sawSecond);
    EXPECT_EQ(kills, kKills) << "the time ran out";
    // Without these the kills would have missed the moments that matter.
    EXPECT_GT(leftTemporary, 0);
    EXPECT_GT(sawSecond, 0);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace phrases

#endif  // _WIN32
