// Noticing another program's writes to a file.
#include "phrases/DiskChangeWatch.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "shared/TestDirectory.h"

namespace phrases {
namespace {

namespace fs = std::filesystem;

class DiskChangeWatchTest : public ::testing::Test {
protected:
    DiskChangeWatchTest() {
        fs::remove(path);
        Write("one");
    }
    ~DiskChangeWatchTest() override { fs::remove(path); }
    void Write(const std::string& bytes) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    }
    // Moves the write time on, as a later write would, whatever the clock's granularity.
    void Touch(int seconds) {
        fs::last_write_time(path, fs::last_write_time(path) + std::chrono::seconds(seconds));
    }

    testsupport::TestDirectory directory{"disk-change-watch"};
    std::string path = directory.Path("srf_pub.dat");
    DiskChangeWatch watch{path};
};

TEST_F(DiskChangeWatchTest, NothingCountsBeforeTheFileIsKnown) {
    Write("two");
    EXPECT_FALSE(watch.Changed());
}

TEST_F(DiskChangeWatchTest, OtherBytesAreAChangeTheSameBytesUnderANewTimeAreNot) {
    watch.Remember("one");
    EXPECT_FALSE(watch.Changed());
    Touch(5);  // touched or copied over with the same bytes
    EXPECT_FALSE(watch.Changed());
    Write("two");  // same size, other bytes
    Touch(10);
    EXPECT_TRUE(watch.Changed());
    EXPECT_TRUE(watch.Changed());  // stays changed until dealt with
    watch.Accept();
    EXPECT_FALSE(watch.Changed());
    Write("longer");
    EXPECT_TRUE(watch.Changed());
}

TEST_F(DiskChangeWatchTest, AFileThatGoesOrComesIsAChange) {
    watch.Remember("one");
    fs::remove(path);
    EXPECT_TRUE(watch.Changed());
    watch.RememberMissing();
    EXPECT_FALSE(watch.Changed());
    Write("new");
    EXPECT_TRUE(watch.Changed());
}

}  // namespace
}  // namespace phrases
