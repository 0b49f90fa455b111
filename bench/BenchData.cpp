// Making the benchmark data: glibc's iconv gives the GBK codes, a fixed seed gives the phrases.
#include "BenchData.h"

#include <iconv.h>

#include <cstdint>
#include <random>
#include <stdexcept>

namespace bench {

std::vector<std::string> IdeographCodes() {
    const iconv_t converter = ::iconv_open("GBK", "UTF-32LE");
    if (converter == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error("iconv cannot convert to GBK");
    std::vector<std::string> codes;
    for (std::uint32_t point = 0x4E00; point <= 0x9FA5; ++point) {
        char in[4] = {static_cast<char>(point & 0xFF), static_cast<char>(point >> 8 & 0xFF), 0, 0};
        char out[8];
        char* inAt = in;
        char* outAt = out;
        std::size_t inLeft = sizeof in;
        std::size_t outLeft = sizeof out;
        if (::iconv(converter, &inAt, &inLeft, &outAt, &outLeft) == static_cast<std::size_t>(-1) ||
            outAt - out != 2)
            throw std::runtime_error("an ideograph without a two-byte GBK code");
        codes.emplace_back(out, 2);
    }
    ::iconv_close(converter);
    return codes;
}

std::vector<std::string> Gb2312HanziCodes() {
    std::vector<std::string> codes;
    for (int lead = 0xB0; lead <= 0xF7; ++lead)
        for (int trail = 0xA1; trail <= 0xFE; ++trail)
            if (lead != 0xD7 || trail <= 0xF9)  // row 0xD7 ends at 0xF9
                codes.push_back({static_cast<char>(lead), static_cast<char>(trail)});
    return codes;
}

std::string TableFile(const std::vector<std::string>& entries) {
    const std::size_t count = entries.size();
    std::string bytes = "SRF";
    bytes += '\0';
    bytes += static_cast<char>(count & 0xFF);
    bytes += static_cast<char>(count >> 8 & 0xFF);
    bytes.append(4, '\0');
    for (const std::string& entry : entries)
        bytes += entry;
    return bytes;
}

void FillTree(phrases::TTreeNodes& tree, const std::vector<std::string>& characters, int categories,
              int phrasesEach) {
    std::mt19937 random(20902);
    std::uniform_int_distribution<std::size_t> character(0, characters.size() - 1);
    std::uniform_int_distribution<int> length(2, 8);
    std::string phrase;
    for (int c = 0; c < categories; ++c) {
        phrases::TTreeNode* category =
            tree.InsertLastChild(nullptr, "category " + std::to_string(c));
        for (int p = 0; p < phrasesEach; ++p) {
            phrase.clear();
            for (int k = length(random); k > 0; --k)
                phrase += characters[character(random)];
            tree.InsertLastChild(category, phrase);
        }
    }
}

}  // namespace bench
