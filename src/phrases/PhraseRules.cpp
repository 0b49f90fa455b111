// The rules of a stored text; see PhraseRules.h.
#include "phrases/PhraseRules.h"

#include "phrases/TextEncoding.h"

namespace phrases {

std::string_view TrimText(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= 0x20)
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 0x20)
        text.remove_suffix(1);
    return text;
}

bool HasLineBreakingByte(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

TextFault CheckStoredText(std::string_view text) {
    const std::string_view trimmed = TrimText(text);
    if (trimmed.empty())
        return TextFault::Empty;
    if (trimmed.size() != text.size())
        return TextFault::Untrimmed;
    if (HasLineBreakingByte(text))
        return TextFault::LineBreak;
    if (text.size() > kMaxTextBytes)
        return TextFault::TooLong;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const auto lead = static_cast<unsigned char>(text[at]);
        if (lead < 0x80)
            continue;
        if (at + 1 == text.size() || !InGb2312(lead, static_cast<unsigned char>(text[at + 1])))
            return TextFault::NotGb2312;
        ++at;
    }
    return TextFault::None;
}

}  // namespace phrases
