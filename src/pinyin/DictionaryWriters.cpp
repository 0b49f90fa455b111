// The files of an export to other input methods' dictionaries; see DictionaryExport.h. Each
// writes what the import of this program reads back (ImportSource.h), in the encoding its
// target reads:
//   rime            UTF-8, a YAML header, text<TAB>syllables<TAB>weight, categories as comments
//   msime           UTF-16 LE with a byte-order mark, "!Microsoft IME Dictionary Tool", then
//                   reading<TAB>word<TAB>名詞<TAB>category (the comment column)
//   custom-phrases  UTF-8, fcitx5's key,place=phrase; categories as ';' comments
//   qq-phrases      GB2312, key=place,phrase
//   pinyin-text     GB2312, Sogou's 'pin'yin 词
//   gboard          a zip holding dictionary.txt: UTF-8, "# Gboard Dictionary version:1", then
//                   reading<TAB>word<TAB>zh-CN
//   mspy-dat        Microsoft Pinyin's user-defined phrases, the layout BinaryDictionaries.cpp
//                   reads: "mschxudp", a header to 0x40, the entries' offsets, the entries
// The weight of a Rime entry and the place of a keyed phrase keep the tree's order. The UTF-8
// files have no byte-order mark: Rime's YAML, fcitx5's first key and Gboard's first line would
// take it for text.
#include <cstdint>

#include "phrases/LittleEndian.h"

#include "ExportTexts.h"
#include "phrases/TextEncoding.h"
#include "phrases/ZipArchive.h"
#include "pinyin/DictionaryExport.h"

namespace pinyin {

using phrases::Gb2312ToUtf8;
using phrases::SourceFormat;

namespace {

using phrases::Put16;
using phrases::Put32;

// GB2312 text as UTF-16 LE: ASCII as it is, a double-byte code as code page 936 reads it.
std::string Utf16(std::string_view gb2312) {
    std::string out;
    const auto unit = [&](char32_t value) {
        out += static_cast<char>(value & 0xFF);
        out += static_cast<char>(value >> 8 & 0xFF);
    };
    for (std::size_t at = 0; at < gb2312.size(); ++at) {
        const auto lead = static_cast<unsigned char>(gb2312[at]);
        if (lead < 0x80 || at + 1 == gb2312.size()) {
            unit(lead < 0x80 ? lead : 0xFFFD);
            continue;
        }
        const char32_t character =
            phrases::DoubleByteCharacter(lead, static_cast<unsigned char>(gb2312[++at]));
        unit(character ? character : 0xFFFD);
    }
    return out;
}

void Set32(std::string& out, std::size_t at, std::uint32_t value) {
    std::string bytes;
    Put32(bytes, value);
    out.replace(at, 4, bytes);
}

// Calls category(name) before the first entry of each category, then entry(e) for each.
template <class Category, class Entry>
void ForEachEntry(const DictionaryExportPlan& plan, Category&& category, Entry&& entry) {
    const std::string* current = nullptr;
    for (const ExportEntry& e : plan.entries) {
        if (!current || *current != e.category) {
            current = &e.category;
            category(e.category);
        }
        entry(e);
    }
}

std::string Rime(const DictionaryExportPlan& plan, const std::string& name) {
    std::string out =
        "# Rime dictionary of the phrases of srf_user, a category per comment line\n"
        "# encoding: utf-8\n\n---\nname: " +
        name + "\nversion: \"1.0\"\nsort: by_weight\n...\n";
    std::size_t weight = plan.entries.size();
    ForEachEntry(
        plan,
        [&](const std::string& category) {
            out += "\n# " + Gb2312ToUtf8(texts::kCategoryComment + category) + "\n";
        },
        [&](const ExportEntry& e) {
            out += Gb2312ToUtf8(e.phrase) + '\t' + ReadingText(e.syllables) + '\t' +
                   std::to_string(weight--) + '\n';
        });
    return out;
}

std::string MicrosoftIme(const DictionaryExportPlan& plan) {
    std::string out = "\xFF\xFE" + Utf16("!Microsoft IME Dictionary Tool\r\n");
    // 名詞, "noun", the part of speech both Microsoft IME and Mozc take for any word.
    const std::string noun("\x0D\x54\x5E\x8A", 4);
    for (const ExportEntry& e : plan.entries)
        out += Utf16(ReadingText(e.syllables, "") + '\t' + e.phrase + '\t') + noun +
               Utf16('\t' + e.category + "\r\n");
    return out;
}

std::string CustomPhrases(const DictionaryExportPlan& plan) {
    std::string out;
    ForEachEntry(
        plan,
        [&](const std::string& category) {
            out += "; " + Gb2312ToUtf8(texts::kCategoryComment + category) + "\n";
        },
        [&](const ExportEntry& e) {
            out += ReadingText(e.syllables, "") + ',' + std::to_string(e.place) + '=' +
                   Gb2312ToUtf8(e.phrase) + '\n';
        });
    return out;
}

std::string QqPhrases(const DictionaryExportPlan& plan) {
    std::string out;
    for (const ExportEntry& e : plan.entries)
        out +=
            ReadingText(e.syllables, "") + '=' + std::to_string(e.place) + ',' + e.phrase + "\r\n";
    return out;
}

std::string PinyinText(const DictionaryExportPlan& plan) {
    std::string out;
    for (const ExportEntry& e : plan.entries)
        out += '\'' + ReadingText(e.syllables, "'") + ' ' + e.phrase + "\r\n";
    return out;
}

std::string Gboard(const DictionaryExportPlan& plan) {
    std::string text = "# Gboard Dictionary version:1\n";
    for (const ExportEntry& e : plan.entries)
        text += ReadingText(e.syllables, "") + '\t' + Gb2312ToUtf8(e.phrase) + "\tzh-CN\n";
    return phrases::WriteZip({{"dictionary.txt", text}});
}

std::string MicrosoftPinyin(const DictionaryExportPlan& plan, std::uint32_t timestamp) {
    constexpr std::uint32_t kTable = 0x40;
    constexpr std::uint32_t kEntryMark = 0x00100010;
    constexpr std::uint32_t kEntryHeader = 16;
    constexpr int kLastPlace = 9;  // the candidate list's places
    const auto count = static_cast<std::uint32_t>(plan.entries.size());
    const std::uint32_t start = kTable + 4 * count;
    std::string out = "mschxudp";
    Put32(out, 0x00600002);  // as Windows 10 (1703 on) writes it
    Put32(out, 1);           // version
    Put32(out, kTable);
    Put32(out, start);
    Put32(out, 0);  // the end of the entries, set below
    Put32(out, count);
    Put32(out, timestamp);
    out.resize(kTable, '\0');
    std::string entries;
    for (const ExportEntry& e : plan.entries) {
        Put32(out, static_cast<std::uint32_t>(entries.size()));
        const std::string key = Utf16(ReadingText(e.syllables, "")) + std::string(2, '\0');
        Put32(entries, kEntryMark);
        Put16(entries, kEntryHeader + static_cast<std::uint32_t>(key.size()));
        entries += static_cast<char>(std::min(e.place, kLastPlace));
        entries += '\x06';
        Put32(entries, 0);
        Put32(entries, timestamp);
        entries += key;
        entries += Utf16(e.phrase) + std::string(2, '\0');
    }
    out += entries;
    Set32(out, 0x18, static_cast<std::uint32_t>(out.size()));
    return out;
}

}  // namespace

ExportFile WriteDictionary(const DictionaryExportPlan& plan, const ExportOptions& options) {
    const std::string& name = options.dictionaryName;
    switch (plan.format) {
    case SourceFormat::Rime:
        return {name + ".dict.yaml", Rime(plan, name)};
    case SourceFormat::MicrosoftIme:
        return {name + ".msime.txt", MicrosoftIme(plan)};
    case SourceFormat::CustomPhrases:
        return {"customphrase.txt", CustomPhrases(plan)};
    case SourceFormat::QqPhrases:
        return {name + ".qq.txt", QqPhrases(plan)};
    case SourceFormat::PinyinText:
        return {name + ".sogou.txt", PinyinText(plan)};
    case SourceFormat::Gboard:
        return {"PersonalDictionary.zip", Gboard(plan)};
    case SourceFormat::MicrosoftPinyin:
        return {name + ".dat", MicrosoftPinyin(plan, options.timestamp)};
    default:
        return {};
    }
}

}  // namespace pinyin
