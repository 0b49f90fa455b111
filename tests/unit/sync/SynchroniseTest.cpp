// The rules of synchronisation that the property test cannot pin exactly.
#include "sync/Synchronise.h"

#include <gtest/gtest.h>

#include "sync/SyncTestKit.h"

namespace synchro {
namespace {

using testing::Computer;
using testing::MemoryFolder;

TEST(SynchroniseTest, TwoComputersShareTheirPhrases) {
    MemoryFolder folder;
    Computer a("A", "k[x y]");
    Computer b("B", "k[z] m[w]");
    a.Sync(folder, 1000);
    b.Sync(folder, 2000);
    a.Sync(folder, 3000);
    EXPECT_EQ(a.Dump(), b.Dump());
    EXPECT_EQ(a.Dump(), "k[z x y] m[w]");  // z went before x, as on B
}

}  // namespace
}  // namespace synchro
