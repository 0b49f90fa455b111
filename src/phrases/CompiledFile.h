// Reading a compiled phrase file (srf_pub.usr) back into its phrases (PhraseCompiler writes it).
// Each record is a character count (1 to 255) and that many 16-bit character numbers (little
// endian, 1-based into the character table); a count of 0 ends the file.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "phrases/CharacterTable.h"

namespace phrases {

// Hands each record's phrase (the table's entries of its characters, GB2312) to phrase, in file
// order. Throws platform::Error when there is no end mark, a record runs past the end or a
// character number is not in the table; name stands for the file in the message. The phrases
// before the faulty record have been handed on by then.
void ReadCompiledFile(std::string_view bytes, const CharacterTable& table, const std::string& name,
                      const std::function<void(const std::string&)>& phrase);

}  // namespace phrases
