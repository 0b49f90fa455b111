// Mnemonics; see Mnemonic.h.
#include "app/Mnemonic.h"

namespace app {

namespace {

char Upper(char letter) { return letter >= 'a' && letter <= 'z' ? letter - 'a' + 'A' : letter; }

bool IsLetterOrDigit(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

}  // namespace

char MnemonicOf(std::string_view caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (static_cast<unsigned char>(caption[i]) >= 0x81) {
            ++i;  // the second byte of a Chinese character
            continue;
        }
        if (caption[i] != '&')
            continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return IsLetterOrDigit(caption[i + 1]) ? Upper(caption[i + 1]) : 0;
    }
    return 0;
}

std::optional<std::size_t> NextWithMnemonic(const std::vector<std::string_view>& captions,
                                            char letter, std::optional<std::size_t> current) {
    const std::size_t count = captions.size();
    const std::size_t start = current && *current < count ? *current + 1 : 0;
    for (std::size_t step = 0; step < count; ++step) {
        const std::size_t at = (start + step) % count;
        if (letter && MnemonicOf(captions[at]) == Upper(letter))
            return at;
    }
    return std::nullopt;
}

}  // namespace app
