// The compiled phrase file srf_pub.usr: every phrase of the tree as a count byte and its
// character numbers (16-bit little-endian), in tree order, closed by a 0 byte.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "phrases/CharacterTable.h"
#include "phrases/TreeNodes.h"
#include "platform/LargeBlock.h"

namespace phrases {

// The most characters a compiled phrase may have; longer phrases are left out.
constexpr int kMaxPhraseCharacters = 50;

enum class PhraseStatus {
    Compiled,
    Empty,             // nothing left after trimming
    OddLength,         // an odd number of bytes
    SingleCharacter,   // one character only
    TooLong,           // more than kMaxPhraseCharacters characters
    MissingCharacter,  // a pair not in the character table
};

// What the compiler makes of one phrase text.
struct PhraseVerdict {
    PhraseStatus status = PhraseStatus::Compiled;
    int characters = 0;  // pairs in the trimmed text (half its length)
    // For MissingCharacter: the first pair not found and its 0-based pair position.
    unsigned char missingLead = 0;
    unsigned char missingTrail = 0;
    int missingAt = -1;

    bool Compiled() const { return status == PhraseStatus::Compiled; }
};

struct LeftOutPhrase {
    int index = 0;  // absolute index of the node
    PhraseVerdict verdict;
};

struct CompileReport {
    int categories = 0;
    int phrases = 0;  // nodes below level 0
    int compiled = 0;
    int leftOut = 0;
    std::vector<LeftOutPhrase> leftOutPhrases;
};

// The verdict on one phrase text, as CompilePhrases would reach it; cheap enough to ask per node.
PhraseVerdict CheckPhrase(std::string_view text, const CharacterTable& table);

// The bytes of the compiled file. Categories (level 0) are skipped; every deeper node is a
// phrase, written when its verdict is Compiled and left out otherwise.
std::string CompilePhrases(const TTreeNodes& tree, const CharacterTable& table,
                           CompileReport* report = nullptr);

// The same bytes (and report) as CompilePhrases on the tree that ParseTree would read from
// treeFile, in one pass over its lines without building the tree (a large file in two halves at
// once); or the same "Invalid level" error, thrown before anything is returned.
platform::FileBytes CompileTreeFile(std::string_view treeFile, const CharacterTable& table,
                                    CompileReport* report = nullptr);
// The same, the compiled file made in treeFile's own bytes, with no second buffer.
platform::FileBytes CompileTreeFile(platform::FileBytes treeFile, const CharacterTable& table,
                                    CompileReport* report = nullptr);

// Compiles and replaces the file at path; throws the errors of platform::ReplaceFileSafely.
void WriteCompiledFile(const platform::Path& path, const TTreeNodes& tree,
                       const CharacterTable& table);

}  // namespace phrases
