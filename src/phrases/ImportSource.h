// The files import reads: the program's own indented form and plain lines, and the dictionaries
// and phrase files of other input methods. A file's format is recognised by its content; a
// dictionary is read into its words, one a line, which the import then plans like plain lines
// into one category (see PhraseImport.h). Codes, weights and positions are not kept: this input
// method takes its codes from its own character table.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "phrases/CharacterTable.h"
#include "phrases/PhraseImport.h"
#include "phrases/TextEncoding.h"
#include "phrases/TreeNodes.h"
#include "platform/Path.h"

namespace phrases {

enum class SourceFormat {
    Indented,       // categories and their indented phrases, as srf_pub.dat
    PlainLines,     // one phrase a line
    Rime,           // *.dict.yaml: a YAML header from "---" to "...", then text<TAB>code<TAB>weight
    RimeUserDb,     // *.userdb.txt: "#@/db_name" lines, then code<TAB>text<TAB>c=… d=… t=…
    MicrosoftIme,   // "!Microsoft IME Dictionary Tool" or Mozc's
                    // reading<TAB>word<TAB>pos<TAB>comment
    CustomPhrases,  // fcitx5 and Sogou: key,order=phrase
    QqPhrases,      // QQ: key=order,phrase
    PinyinText,     // Sogou 'pin'yin 词 and QQ pin'yin 词 频率
    Scel,           // Sogou cell dictionary, binary
    MicrosoftPinyin,  // Microsoft Pinyin user-defined phrases, binary, signature "mschxudp"
    Gboard,           // Gboard's personal dictionary: a zip holding dictionary.txt,
                      // shortcut<TAB>word<TAB>language
};

struct SourceFormatInfo {
    SourceFormat format;
    const char* name;   // for srf_tool import --format
    const char* title;  // GB2312, as the summary names it
};

// Every format, in the order srf_tool's help lists them.
std::span<const SourceFormatInfo> SourceFormats();
const SourceFormatInfo& FormatInfo(SourceFormat format);
std::optional<SourceFormat> FormatByName(std::string_view name);
// True for the formats of other input methods, which bring no categories.
inline bool IsDictionary(SourceFormat format) {
    return format != SourceFormat::Indented && format != SourceFormat::PlainLines;
}

// The format of a whole file's bytes, by content alone. Binary signatures first; then text lines,
// where the more specific form wins: a Rime header, a userdb's "#@/db_name", the Microsoft IME
// first line; then a line form that every line which is not blank or a comment has. Plain lines
// are the fallback.
SourceFormat DetectSourceFormat(std::string_view fileBytes);

// A file read for import.
struct ImportSource {
    SourceFormat format = SourceFormat::PlainLines;
    // The converted file for the indented form and plain lines; a dictionary's words, one a line.
    Gb2312Text text;
    std::vector<int> wordLines;  // a dictionary's: the file's line (binary: entry) of each word
    std::string name;            // the dictionary's own name (GB2312); empty when it has none
    int continued = 0;           // custom phrases continued over lines: their first line taken
};

// Reads the file's bytes in the given format, or in the detected one. A damaged binary file (a
// length or offset beyond the file's end) throws platform::Error "文件格式不正确: <path>".
ImportSource ReadImportSource(std::string_view fileBytes, const platform::Path& path,
                              std::optional<SourceFormat> format = std::nullopt);

// The name of a new category for a dictionary's phrases: its own name, else the file's base name
// (without folders and extensions), GB2312; empty when neither gives a text GB2312 can hold.
std::string DictionaryCategoryName(const ImportSource& source, std::string_view pathText);

// Plans the import of a read file: the indented form by its categories; plain lines and a
// dictionary's words into the category named (a dictionary's single characters are skipped).
// A dictionary's lines are numbered as in its file.
ImportPlan PlanSourceImport(const TTreeNodes& tree, const ImportSource& source,
                            const CharacterTable& table, std::string_view category = {},
                            const ImportProgressFn& progress = {});

// The summary with the format's line first for a dictionary, and the counts only a dictionary has.
std::string FormatSourceSummary(const ImportSource& source, const ImportPlan& plan);

namespace detail {
// The readers, over the converted text (text formats) or the file's bytes (binary formats).
// Each appends its words with their lines; binary readers return false for a damaged file.
class WordList;
void ReadRime(const Gb2312Text& text, WordList& words, std::string& name);
void ReadRimeUserDb(const Gb2312Text& text, WordList& words);
void ReadMicrosoftIme(const Gb2312Text& text, WordList& words);
void ReadCustomPhrases(const Gb2312Text& text, WordList& words, int& continued);
void ReadQqPhrases(const Gb2312Text& text, WordList& words);
void ReadPinyinText(const Gb2312Text& text, WordList& words);
bool ReadScel(std::string_view bytes, WordList& words, std::string& name);
bool ReadMicrosoftPinyin(std::string_view bytes, WordList& words);
bool ReadGboard(std::string_view bytes, WordList& words);
bool IsScel(std::string_view bytes);
bool IsMicrosoftPinyin(std::string_view bytes);
bool IsGboard(std::string_view bytes);
// The line form every line of a text file has, if any: one of the text dictionary formats.
std::optional<SourceFormat> DetectTextDictionary(std::string_view gb2312);
}  // namespace detail

}  // namespace phrases
