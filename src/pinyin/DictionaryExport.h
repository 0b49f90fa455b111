// Export of the phrase tree to other input methods' dictionaries, each phrase with its reading
// in pinyin. First a plan: which phrases each target takes, and which it leaves out and why (a
// list the caller shows before anything is written); then the file's bytes. The formats are named
// as the import names them (phrases::SourceFormats), plus gboard.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "phrases/ImportSource.h"
#include "phrases/TreeNodes.h"
#include "pinyin/UserReadings.h"

namespace pinyin {

struct ExportFormatInfo {
    phrases::SourceFormat format;
    const char* name;       // as srf_tool takes it: the import's name
    const char* extension;  // of the file written, with its dot
    bool keepsCategories;   // as comment lines; the others hold phrases only
};

// The formats export writes, in the order a type list shows them.
std::span<const ExportFormatInfo> ExportFormats();
const ExportFormatInfo* FindExportFormat(std::string_view name);

struct ExportOptions {
    // Only this category (a root of the tree) when given; otherwise every category.
    const phrases::TTreeNode* category = nullptr;
    // The user's readings, preferred to the table's.
    const UserReadings* readings = nullptr;
    // Leave out a phrase whose reading is uncertain instead of writing its likeliest reading.
    bool leaveOutUncertain = false;
    // The Rime dictionary's name (ASCII): its header's name, and the file is NAME.dict.yaml.
    std::string dictionaryName = "srf_phrases";
    // Written into the header of Microsoft Pinyin's file (seconds since 1970).
    std::uint32_t timestamp = 0;
};

enum class ExportReason {
    NoReading,       // a character pinyin cannot spell: left out
    Uncertain,       // written with its likeliest reading (left out with leaveOutUncertain)
    ReadingTooLong,  // more letters than the target takes: left out
    TextTooLong,     // more characters than the target takes: left out
    CannotHold,      // a character the format cannot hold there: left out
    TooMany,         // beyond the target's count of entries: left out
    NotChinese,      // no hanzi, which the format needs to tell a word: left out
};

// A phrase the export leaves out or writes with a guessed reading.
struct ExportNote {
    std::string phrase;    // GB2312
    std::string category;  // GB2312
    ExportReason reason = ExportReason::NoReading;
    bool leftOut = true;
    int limit = 0;  // the target's limit, for the reasons that have one

    // "<phrase>（<category>）: <why>", GB2312.
    std::string Text() const;
};

struct ExportEntry {
    std::string phrase;    // GB2312
    std::string category;  // GB2312
    std::vector<Syllable> syllables;
    // 1 for the first entry of its reading, 2 for the second...: the candidate's place where the
    // target keys phrases by their reading.
    int place = 1;
};

struct DictionaryExportPlan {
    phrases::SourceFormat format = phrases::SourceFormat::Rime;
    std::vector<ExportEntry> entries;  // in the tree's order
    std::vector<ExportNote> notes;     // in the tree's order
    int leftOut = 0;
    int guessed = 0;  // entries written with an uncertain reading
};

// What the export of the tree (or of options.category) to format writes and leaves out. format
// must be one of ExportFormats().
DictionaryExportPlan PlanDictionaryExport(const phrases::TTreeNodes& tree,
                                          phrases::SourceFormat format,
                                          const ExportOptions& options = {});

struct ExportFile {
    std::string name;  // a file name for the target: NAME.dict.yaml, PersonalDictionary.zip...
    std::string bytes;
};

// The file of the plan's entries.
ExportFile WriteDictionary(const DictionaryExportPlan& plan, const ExportOptions& options = {});

}  // namespace pinyin
