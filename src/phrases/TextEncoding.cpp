// Encoding detection and the GB2312 conversions; the code tables are generated at build time.
#include "phrases/TextEncoding.h"

#include <algorithm>
#include <cstdint>

#include "Gb2312Table.h"

namespace phrases {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsCode(unsigned lead, unsigned trail) {
    return lead >= gbtable::kFirstLead && lead <= gbtable::kLastLead &&
           trail >= gbtable::kFirstTrail && trail <= gbtable::kLastTrail && trail != 0x7F;
}

std::size_t CodeIndex(unsigned lead, unsigned trail) {
    return (lead - gbtable::kFirstLead) * gbtable::kTrails + (trail - gbtable::kFirstTrail);
}

// Unicode character << 16 | GB2312 code, sorted: the reverse of the GB2312 part of the table.
const std::vector<std::uint32_t>& ReverseTable() {
    static const std::vector<std::uint32_t> table = [] {
        std::vector<std::uint32_t> pairs;
        for (unsigned lead = gbtable::kFirstLead; lead <= gbtable::kLastLead; ++lead)
            for (unsigned trail = gbtable::kFirstTrail; trail <= gbtable::kLastTrail; ++trail)
                if (IsCode(lead, trail) &&
                    InGb2312(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)))
                    pairs.push_back(std::uint32_t{gbtable::kUnicode[CodeIndex(lead, trail)]} << 16 |
                                    lead << 8 | trail);
        // GB2312's own readings of the few codes that code page 936 reads otherwise.
        for (const auto& alternative : gbtable::kGb2312Alternatives)
            pairs.push_back(alternative[0] << 16 | alternative[1]);
        std::sort(pairs.begin(), pairs.end());
        return pairs;
    }();
    return table;
}

// The GB2312 code of a character beyond ASCII, or 0.
unsigned Gb2312Code(char32_t character) {
    if (character > 0xFFFF)
        return 0;
    const auto& table = ReverseTable();
    const std::uint32_t key = static_cast<std::uint32_t>(character) << 16;
    const auto at = std::lower_bound(table.begin(), table.end(), key);
    if (at == table.end() || (*at >> 16) != character)
        return 0;
    return *at & 0xFFFF;
}

class Gb2312Writer {
public:
    explicit Gb2312Writer(TextEncoding encoding) { m_text.encoding = encoding; }

    void Append(char32_t character) {
        if (character < 0x80) {
            m_text.bytes.push_back(static_cast<char>(character));
            return;
        }
        if (const unsigned code = Gb2312Code(character)) {
            m_text.bytes.push_back(static_cast<char>(code >> 8));
            m_text.bytes.push_back(static_cast<char>(code & 0xFF));
            return;
        }
        AppendUnheld(character);
    }
    void AppendUnheld(char32_t character) {
        m_text.unheld.push_back({m_text.bytes.size(), character});
        m_text.bytes.push_back(kUnheldMark);
    }
    void AppendByte(char byte) { m_text.bytes.push_back(byte); }
    Gb2312Text Take() { return std::move(m_text); }

private:
    Gb2312Text m_text;
};

// The character starting at bytes[at] and its length; U+FFFD and length 1 for a malformed one.
char32_t NextUtf8(std::string_view bytes, std::size_t at, std::size_t& length) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(bytes[at + k]); };
    const unsigned first = byte(0);
    length = 1;
    if (first < 0x80)
        return first;
    int more = 0;
    char32_t character = 0;
    unsigned low = 0x80, high = 0xBF;
    if (first >= 0xC2 && first <= 0xDF) {
        more = 1;
        character = first & 0x1F;
    } else if (first >= 0xE0 && first <= 0xEF) {
        more = 2;
        character = first & 0x0F;
        if (first == 0xE0)
            low = 0xA0;
        if (first == 0xED)
            high = 0x9F;
    } else if (first >= 0xF0 && first <= 0xF4) {
        more = 3;
        character = first & 0x07;
        if (first == 0xF0)
            low = 0x90;
        if (first == 0xF4)
            high = 0x8F;
    } else {
        return kReplacement;
    }
    if (at + more >= bytes.size())
        return kReplacement;
    for (int k = 1; k <= more; ++k) {
        const unsigned next = byte(k);
        if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF))
            return kReplacement;
        character = character << 6 | (next & 0x3F);
    }
    length = static_cast<std::size_t>(more) + 1;
    return character;
}

Gb2312Text FromUtf8(std::string_view bytes, TextEncoding encoding) {
    Gb2312Writer writer(encoding);
    for (std::size_t at = 0; at < bytes.size();) {
        std::size_t length = 1;
        writer.Append(NextUtf8(bytes, at, length));
        at += length;
    }
    return writer.Take();
}

Gb2312Text FromUtf16(std::string_view bytes, TextEncoding encoding) {
    const bool little = encoding == TextEncoding::Utf16LE;
    const auto unit = [&](std::size_t at) -> char32_t {
        const auto a = static_cast<unsigned char>(bytes[at]);
        const auto b = static_cast<unsigned char>(bytes[at + 1]);
        return little ? (b << 8 | a) : (a << 8 | b);
    };
    Gb2312Writer writer(encoding);
    const std::size_t units = bytes.size() / 2;  // an odd last byte is no character
    for (std::size_t k = 0; k < units; ++k) {
        char32_t character = unit(2 * k);
        if (character >= 0xD800 && character <= 0xDBFF && k + 1 < units) {
            const char32_t low = unit(2 * (k + 1));
            if (low >= 0xDC00 && low <= 0xDFFF) {
                character = 0x10000 + ((character - 0xD800) << 10) + (low - 0xDC00);
                ++k;
            }
        }
        if (character >= 0xD800 && character <= 0xDFFF)
            character = kReplacement;
        writer.Append(character);
    }
    return writer.Take();
}

Gb2312Text FromGb2312(std::string_view bytes) {
    Gb2312Writer writer(TextEncoding::Gb2312);
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        const auto lead = static_cast<unsigned char>(bytes[at]);
        if (lead < 0x80) {
            writer.AppendByte(bytes[at]);
            continue;
        }
        const auto trail = at + 1 < bytes.size() ? static_cast<unsigned char>(bytes[at + 1]) : 0u;
        if (!IsCode(lead, trail)) {
            writer.AppendUnheld(kReplacement);
            continue;
        }
        ++at;
        if (InGb2312(lead, static_cast<unsigned char>(trail))) {
            writer.AppendByte(static_cast<char>(lead));
            writer.AppendByte(static_cast<char>(trail));
        } else {
            const char32_t character = DoubleByteCharacter(lead, static_cast<unsigned char>(trail));
            writer.AppendUnheld(character ? character : kReplacement);
        }
    }
    return writer.Take();
}

}  // namespace

char32_t Gb2312Text::FirstUnheldIn(std::size_t begin, std::size_t end) const {
    const auto at = std::lower_bound(unheld.begin(), unheld.end(), begin,
                                     [](const UnheldCharacter& item, std::size_t offset) {
                                         return item.offset < offset;
                                     });
    return at != unheld.end() && at->offset < end ? at->character : 0;
}

std::string Utf8Of(const Gb2312Text& text, std::size_t begin, std::size_t end) {
    end = std::min(end, text.bytes.size());
    std::string out;
    auto unheld = std::lower_bound(text.unheld.begin(), text.unheld.end(), begin,
                                   [](const UnheldCharacter& item, std::size_t offset) {
                                       return item.offset < offset;
                                   });
    for (std::size_t at = begin; at < end;) {
        const std::size_t next = unheld != text.unheld.end() ? std::min(unheld->offset, end) : end;
        out += Gb2312ToUtf8(std::string_view(text.bytes).substr(at, next - at));
        if (next == end)
            break;
        out += CharacterToUtf8(unheld->character);
        at = next + 1;
        ++unheld;
    }
    return out;
}

bool IsValidUtf8(std::string_view bytes) {
    for (std::size_t at = 0; at < bytes.size();) {
        std::size_t length = 1;
        if (NextUtf8(bytes, at, length) == kReplacement && length == 1)
            return false;
        at += length;
    }
    return true;
}

TextEncoding DetectEncoding(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF"))
        return TextEncoding::Utf8WithBom;
    if (bytes.starts_with("\xFF\xFE"))
        return TextEncoding::Utf16LE;
    if (bytes.starts_with("\xFE\xFF"))
        return TextEncoding::Utf16BE;
    return IsValidUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Gb2312;
}

Gb2312Text DecodeToGb2312(std::string_view fileBytes) {
    const TextEncoding encoding = DetectEncoding(fileBytes);
    switch (encoding) {
    case TextEncoding::Utf8WithBom:
        fileBytes.remove_prefix(3);
        break;
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE:
        fileBytes.remove_prefix(2);
        break;
    default:
        break;
    }
    return ConvertToGb2312(fileBytes, encoding);
}

Gb2312Text ConvertToGb2312(std::string_view bytes, TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Utf8WithBom:
    case TextEncoding::Utf8:
        return FromUtf8(bytes, encoding);
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE:
        return FromUtf16(bytes, encoding);
    case TextEncoding::Gb2312:
        break;
    }
    return FromGb2312(bytes);
}

std::string CharacterToUtf8(char32_t character) {
    std::string out;
    if (character < 0x80) {
        out.push_back(static_cast<char>(character));
    } else if (character < 0x800) {
        out.push_back(static_cast<char>(0xC0 | character >> 6));
        out.push_back(static_cast<char>(0x80 | (character & 0x3F)));
    } else if (character < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | character >> 12));
        out.push_back(static_cast<char>(0x80 | (character >> 6 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (character & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | character >> 18));
        out.push_back(static_cast<char>(0x80 | (character >> 12 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (character >> 6 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (character & 0x3F)));
    }
    return out;
}

std::string Gb2312ToUtf8(std::string_view gb2312) {
    std::string out;
    out.reserve(gb2312.size() * 3 / 2);
    for (std::size_t at = 0; at < gb2312.size(); ++at) {
        const auto lead = static_cast<unsigned char>(gb2312[at]);
        if (lead < 0x80) {
            out.push_back(gb2312[at]);
            continue;
        }
        const auto trail = at + 1 < gb2312.size() ? static_cast<unsigned char>(gb2312[at + 1]) : 0;
        char32_t character = kReplacement;
        if (IsCode(lead, trail)) {
            ++at;
            if (const char32_t found = DoubleByteCharacter(lead, static_cast<unsigned char>(trail)))
                character = found;
        }
        out += CharacterToUtf8(character);
    }
    return out;
}

char32_t DoubleByteCharacter(unsigned char lead, unsigned char trail) {
    return IsCode(lead, trail) ? gbtable::kUnicode[CodeIndex(lead, trail)] : 0;
}

bool InGb2312(unsigned char lead, unsigned char trail) {
    if (!IsCode(lead, trail))
        return false;
    const std::size_t index = CodeIndex(lead, trail);
    return gbtable::kInGb2312[index / 8] >> (index % 8) & 1;
}

}  // namespace phrases
