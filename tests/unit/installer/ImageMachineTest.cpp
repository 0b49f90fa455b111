#include "installer/ImageMachine.h"

#include <gtest/gtest.h>

#include <string>

#include "installer/ImageBytes.h"

using namespace installer;

namespace {

TEST(ImageMachine, ReadsTheMachineOfAnImageAndNothingOfOtherBytes) {
    const std::string amd64 = Image(kMachineAmd64);
    const struct {
        const char* what;
        std::string bytes;
        std::optional<std::uint16_t> machine;
    } cases[] = {
        {"x86", Image(kMachineI386), kMachineI386},
        {"x64", amd64, kMachineAmd64},
        {"ARM64", Image(0xAA64), 0xAA64},
        {"PE header right after the MZ header", Image(kMachineI386, 0x40), kMachineI386},
        {"a stand-in file", "new srf_ime", std::nullopt},
        {"cut inside the machine", amd64.substr(0, 0x85), std::nullopt},
        {"an old NE image", amd64.substr(0, 0x80) + "NE" + amd64.substr(0x82), std::nullopt},
        {"PE header beyond the end", Image(kMachineI386, 0x10000).substr(0, 0x1000), std::nullopt},
        // Added to the offset, 32 bits would wrap round to the start of the bytes.
        {"e_lfanew near 4 GB", amd64.substr(0, 0x3C) + Little32(0xFFFFFFFE) + amd64.substr(0x40),
         std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ImageMachine(c.bytes), c.machine);
    }
}

}  // namespace
