// One data directory's synchronisation on real files: the setting, the order of its writes, the
// readings travelling with the phrases, and no synchronisation from a tree that is not whole.
#include "sync/DirectorySync.h"

#include <gtest/gtest.h>

#include "shared/TestDirectory.h"
#include "sync/SyncTestKit.h"

namespace synchro {
namespace {

class DirectorySyncTest : public ::testing::Test {
protected:
    // A data directory of its own in a subfolder of the test's directory.
    struct Member {
        Member(const testsupport::TestDirectory& root, const std::string& name,
               const std::string& tree)
            : directory(root.Root() / name), files((directory / "").string()) {
            std::filesystem::create_directories(directory);
            Write("srf_pub.zc", testsupport::TwoCharacterTable());
            Write("srf_pub.dat", tree);
            try {
                files.LoadTree(observer);
            } catch (const std::exception&) {
                // a tree that fails to load: the test asks what follows
            }
            files.LoadTable();
        }
        void Write(const std::string& name, const std::string& bytes) {
            std::ofstream(directory / name, std::ios::binary) << bytes;
        }
        std::string Read(const std::string& name) {
            std::ifstream file(directory / name, std::ios::binary);
            return std::string(std::istreambuf_iterator<char>(file), {});
        }
        SyncReport Sync(SyncFolder& folder, std::int64_t now) {
            Here here{"PC", directory.string(), now, std::hash<std::string>{}(directory.string())};
            return sync.Synchronise(here, folder, observer);
        }

        std::filesystem::path directory;
        phrases::DataDirectory files;
        phrases::TreeObserver observer;
        DirectorySync sync{files};
    };

    testsupport::TestDirectory root{"directory-sync"};
    testing::MemoryFolder folder;
};

TEST_F(DirectorySyncTest, PhrasesAndReadingsTravelAndTheSettingIsRemembered) {
    Member a(root, "a", "c\r\n\t\xB0\xA1\xB0\xA2\r\n");
    Member b(root, "b", "");
    EXPECT_EQ(a.sync.Folder(), "");
    a.sync.SetFolder("/srv/\xE5\x90\x8C\xE6\xAD\xA5");  // a name beyond ASCII, UTF-8
    EXPECT_EQ(DirectorySync(a.files).Folder(), "/srv/\xE5\x90\x8C\xE6\xAD\xA5");

    a.Write("srf_pub.pinyin.txt", "\xE5\x95\x8A\xE9\x98\xBF\ta a\r\n");  // 啊阿 a a
    a.Sync(folder, 1000);
    const SyncReport report = b.Sync(folder, 2000);
    EXPECT_TRUE(report.treeChanged);
    EXPECT_EQ(b.Read("srf_pub.dat"), "c\r\n\t\xB0\xA1\xB0\xA2\r\n");
    EXPECT_EQ(b.Read("srf_pub.pinyin.txt"), "\xE5\x95\x8A\xE9\x98\xBF\ta a\r\n");
    EXPECT_FALSE(b.Read("srf_pub.usr").empty());
    EXPECT_FALSE(b.Read("srf_pub.sync.state").empty());
    // The readings' category stands in the tree only while a synchronisation runs.
    EXPECT_EQ(b.files.Tree().NodeCount(), 2);

    a.sync.SetFolder("");
    EXPECT_EQ(a.sync.Folder(), "");
}

TEST_F(DirectorySyncTest, NothingGoesOutFromATreeThatIsNotWhole) {
    Member a(root, "a", "c\r\n\t\t\xB0\xA1\r\n");  // a line too deep: the load fails part way
    EXPECT_EQ(a.Sync(folder, 1000).status, SyncStatus::NotLoaded);
    Member b(root, "b", std::string("c\r\n\t\xB0\xA1\xB0\xA2\r\n\0x", 12));  // bytes after a NUL
    EXPECT_EQ(b.Sync(folder, 1000).status, SyncStatus::NeedsAttention);
    EXPECT_TRUE(folder.files.empty());
}

}  // namespace
}  // namespace synchro
