#!/usr/bin/env python3
"""Copies a C++ header written in UTF-8, turning the text of every string literal into GB2312
bytes written as octal escapes, so that the program holds its fixed Chinese texts exactly as
its data files hold text. A character that GB2312 cannot hold stops the build."""
import re
import sys

LITERAL = re.compile(r'"((?:[^"\\\n]|\\.)*)"')


def encode_literal(match):
    out = []
    for ch in match.group(1):
        if ord(ch) < 0x80:
            out.append(ch)
        else:
            out.extend('\\%03o' % b for b in ch.encode('gb2312'))
    return '"' + ''.join(out) + '"'


def main(source, target):
    with open(source, encoding='utf-8') as f:
        text = f.read()
    try:
        converted = LITERAL.sub(encode_literal, text)
    except UnicodeEncodeError as error:
        sys.exit('%s: a character has no GB2312 form: %s' % (source, error))
    header = '// Generated from %s: string literals hold GB2312 bytes.\n' % source.split('/src/')[-1]
    with open(target, 'w', encoding='ascii') as f:
        f.write(header + converted)


if __name__ == '__main__':
    main(sys.argv[1], sys.argv[2])
