#!/usr/bin/env python3
"""Turns Rime's pinyin_simp.dict.yaml (Debian's rime-data-pinyin-simp, Apache-2.0) into the
reading table compiled into the program: src/pinyin/ReadingTable.cpp.

    tools/make_readings.py [/usr/share/rime-data/pinyin_simp.dict.yaml] [src/pinyin/ReadingTable.cpp]

Kept: every GB2312 hanzi with its readings by weight, tones dropped and u-umlaut written v (lv, nv,
lve, nve); a reading is marked rare when it holds less than 1% of its character's weight. Of the
words, only those that matter: a word read otherwise than its characters' most frequent readings
(it fixes them, 会计 kuai ji), or holding a character with another reading of real weight (it
confirms which, 银行 yin hang). A word with two readings keeps the heavier one, marked uncertain
when the other is not rare.
"""
import collections
import sys

SOURCE = sys.argv[1] if len(sys.argv) > 1 else "/usr/share/rime-data/pinyin_simp.dict.yaml"
OUTPUT = sys.argv[2] if len(sys.argv) > 2 else "src/pinyin/ReadingTable.cpp"

# A reading that holds less of its text's weight than this is rare: the text counts as read
# with certainty when every other reading is rare.
RARE_SHARE = 0.01

# GB2312 hanzi the source lacks (radicals), read as Unicode's Unihan kMandarin reads them.
SUPPLEMENT = {"匚": "fang", "冫": "bing", "冖": "mi", "阝": "fu", "凵": "kan", "廾": "gong",
              "擗": "pi", "辶": "chuo", "屮": "che", "肀": "yu", "钅": "jin", "疒": "ne",
              "衤": "yi", "虍": "hu"}


def hanzi_index(character):
    """The place of a GB2312 hanzi in the table (rows 0xB0-0xF7), or None."""
    try:
        code = character.encode("gb2312")
    except UnicodeEncodeError:
        return None
    if len(code) != 2 or not (0xB0 <= code[0] <= 0xF7 and 0xA1 <= code[1] <= 0xFE):
        return None
    return (code[0] - 0xB0) * 94 + code[1] - 0xA1


def spelling(syllable):
    # u-umlaut as v, as Rime's and Sogou's users type it: the source writes lue and nue.
    if syllable in ("lue", "nue"):
        return syllable[0] + "ve"
    return syllable


def read_source():
    characters = collections.defaultdict(list)
    words = collections.defaultdict(list)
    body = False
    order = 0
    with open(SOURCE, encoding="utf-8") as source:
        for line in source:
            line = line.rstrip("\n")
            if line == "...":
                body = True
                continue
            if not body or not line or line.startswith("#"):
                continue
            text, code, weight = line.split("\t")
            syllables = [spelling(s) for s in code.split()]
            order += 1
            entry = (int(weight), order, syllables)
            if len(text) == 1:
                characters[text].append(entry)
            elif len(text) == len(syllables):
                words[text].append(entry)
    return characters, words


def by_weight(entries):
    # Heavier first; of equal weight, the one the source lists first.
    return sorted(entries, key=lambda entry: (-entry[0], entry[1]))


def rare(weight, total):
    return total > 0 and weight < RARE_SHARE * total


def main():
    characters, words = read_source()
    table = {}  # hanzi index -> [(syllable, rare)]
    for character, entries in characters.items():
        index = hanzi_index(character)
        if index is None:
            continue
        entries = by_weight(entries)
        total = sum(weight for weight, _, _ in entries)
        readings = []
        for weight, _, syllables in entries:
            if syllables[0] not in [s for s, _ in readings]:
                readings.append((syllables[0], rare(weight, total) and readings != []))
        table[index] = readings
    for character, syllable in SUPPLEMENT.items():
        table.setdefault(hanzi_index(character), [(syllable, False)])

    def ambiguous(index):
        return any(not is_rare for _, is_rare in table[index][1:])

    kept = []  # (indices, syllables, uncertain)
    for text, entries in words.items():
        indices = [hanzi_index(c) for c in text]
        if any(index is None or index not in table for index in indices):
            continue
        entries = by_weight(entries)
        total = sum(weight for weight, _, _ in entries)
        syllables = entries[0][2]
        uncertain = any(not rare(weight, total) and other != syllables
                        for weight, _, other in entries[1:])
        usual = [table[index][0][0] for index in indices]
        if syllables != usual or uncertain or any(ambiguous(index) for index in indices):
            kept.append((indices, syllables, uncertain))
    kept.sort()

    names = sorted({spelling(s) for entries in characters.values() for _, _, syllables in entries
                    for s in syllables} |
                   {s for entries in words.values() for _, _, syllables in entries for s in syllables} |
                   {s for _, syllables, _ in kept for s in syllables} | set(SUPPLEMENT.values()))
    letters = [chr(c) for c in range(ord("a"), ord("z") + 1) if chr(c) not in names]
    ids = {name: k + 1 for k, name in enumerate(names + letters)}

    # Numbers travel as digits of base 91 (the printable ASCII characters but '"' and the
    # backslash) in string literals: a third of the size of decimal arrays in the source.
    digits = "".join(chr(c) for c in range(0x23, 0x7F) if chr(c) != "\\")
    base = len(digits)

    def one(value):
        assert 0 <= value < base
        return digits[value]

    def two(value):
        assert 0 <= value < base * base
        return digits[value // base] + digits[value % base]

    # Each hanzi: its count of readings, then each reading's syllable (plus 512 when rare).
    char_text = []
    reading_count = 0
    for index in range(72 * 94):
        readings = table.get(index, [])
        char_text.append(one(len(readings)))
        for syllable, is_rare in readings:
            char_text.append(two(ids[syllable] + (512 if is_rare else 0)))
        reading_count += len(readings)

    # Each word: its count of characters and whether it is uncertain, then its characters, then
    # for each character which of its readings the word takes (or the escape, then a syllable).
    word_text = []
    word_chars = 0
    for indices, syllables, uncertain in kept:
        word_text.append(one(len(indices) * 2 + (1 if uncertain else 0)))
        word_text.extend(two(index) for index in indices)
        for index, syllable in zip(indices, syllables):
            own = [s for s, _ in table[index]]
            word_text.append(one(own.index(syllable)) if syllable in own else
                             one(base - 1) + two(ids[syllable]))
        word_chars += len(indices)

    def literal(text, width=96):
        return "\n".join('    "%s"' % text[k:k + width] for k in range(0, len(text), width))

    out = []
    out.append("// Generated by tools/make_readings.py from Rime's pinyin_simp.dict.yaml (Debian's")
    out.append("// rime-data-pinyin-simp, Apache-2.0). Do not edit: run the script again.")
    out.append("// clang-format off")
    out.append('#include "pinyin/ReadingTable.h"')
    out.append("")
    out.append("namespace pinyin::detail {")
    out.append("")
    out.append(f"static_assert(kSyllableCount == {len(ids) + 1});")
    out.append(f"static_assert(kPinyinSyllableCount == {len(names)});")
    out.append(f"static_assert(kCharReadingCount == {reading_count});")
    out.append(f"static_assert(kWordCount == {len(kept)});")
    out.append(f"static_assert(kWordCharCount == {word_chars});")
    out.append("")
    out.append("const char* const kSyllableNames[kSyllableCount] = {")
    row = ['""'] + ['"%s"' % name for name in names + letters]
    for k in range(0, len(row), 12):
        out.append("    " + ", ".join(row[k:k + 12]) + ",")
    out.append("};")
    out.append("")
    out.append("const char kCharReadingCodes[] =")
    out.append(literal("".join(char_text)) + ";")
    out.append("")
    out.append("const char kWordCodes[] =")
    out.append(literal("".join(word_text)) + ";")
    out.append("")
    out.append("}  // namespace pinyin::detail")
    out.append("// clang-format on")
    with open(OUTPUT, "w", encoding="utf-8") as output:
        output.write("\n".join(out) + "\n")
    print(f"{len(table)} hanzi, {reading_count} readings, {len(names)} syllables, "
          f"{len(kept)} words of {len(words)} ({word_chars} characters)", file=sys.stderr)


main()
