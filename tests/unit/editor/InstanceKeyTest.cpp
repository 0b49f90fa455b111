// The directory key by which one editor per data directory is found.
#include "editor/rules/InstanceKey.h"

#include <gtest/gtest.h>

namespace editor {
namespace {

TEST(InstanceKey, SameForEverySpellingOfOneDirectoryOnly) {
    const std::string key = InstanceKey(L"C:\\Program Files\\SRF\\");
    EXPECT_EQ(key.size(), 16u);
    EXPECT_EQ(InstanceKey(L"c:/program files/srf"), key);
    EXPECT_EQ(InstanceKey(L"C:\\PROGRAM FILES\\SRF"), key);
    EXPECT_NE(InstanceKey(L"C:\\Program Files\\SRF2\\"), key);
    // Only ASCII letters fold; names that code page 936 cannot hold stay apart.
    EXPECT_NE(InstanceKey(L"C:\\\u00E9"), InstanceKey(L"C:\\\u00C9"));
    EXPECT_NE(InstanceKey(L"C:\\\uAC00\uB098\uB2E4\\"), InstanceKey(L"C:\\\uB77C\uB9C8\uBC14\\"));
}

}  // namespace
}  // namespace editor
