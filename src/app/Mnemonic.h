// Mnemonics: the letter after "&" in a caption that Alt (or the letter alone, in an open menu)
// reaches, and where a press goes when several captions share one.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace app {

// The mnemonic of a caption in GB2312, as an upper-case ASCII letter or digit; 0 when it has none
// ("&&" stands for "&" itself, and a Chinese character is never one).
char MnemonicOf(std::string_view caption);

// Of the captions, the one a press of letter goes to: the first after current (wrapping round)
// that carries it, so that a second press moves on to the next caption sharing the letter, as in
// a dialog; without current, the first. nullopt when none carries it.
std::optional<std::size_t> NextWithMnemonic(const std::vector<std::string_view>& captions,
                                            char letter,
                                            std::optional<std::size_t> current = std::nullopt);

}  // namespace app
