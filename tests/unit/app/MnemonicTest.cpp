// Mnemonics of captions, and where a press goes when captions share one.
#include "app/Mnemonic.h"

#include <gtest/gtest.h>

namespace app {
namespace {

TEST(Mnemonic, TheLetterAfterTheAmpersandInUpperCase) {
    struct Case {
        const char* caption;
        char mnemonic;
    };
    for (const Case& c : {Case{"&File", 'F'}, Case{"Save &as", 'A'},
                          Case{"\xB5\xBC\xB3\xF6\xA1\xAD\xA3\xA8&e\xA3\xA9", 'E'},  // 导出…（&e）
                          Case{"Fish && &Chips", 'C'}, Case{"Fish && Chips", 0}, Case{"none", 0},
                          Case{"end&", 0}, Case{"&\xB5\xBC", 0}, Case{"&1", '1'}}) {
        EXPECT_EQ(MnemonicOf(c.caption), c.mnemonic) << c.caption;
    }
}

TEST(Mnemonic, ASecondPressMovesOnToTheNextCaptionSharingTheLetter) {
    const std::vector<std::string_view> captions = {"Lumo(&A)", "Ketra(&A)", "E&xit"};
    EXPECT_EQ(NextWithMnemonic(captions, 'a'), 0u);
    EXPECT_EQ(NextWithMnemonic(captions, 'A', 0), 1u);
    EXPECT_EQ(NextWithMnemonic(captions, 'A', 1), 0u);  // round again
    EXPECT_EQ(NextWithMnemonic(captions, 'X', 2), 2u);  // the only one stays
    EXPECT_EQ(NextWithMnemonic(captions, 'Q'), std::nullopt);
}

}  // namespace
}  // namespace app
