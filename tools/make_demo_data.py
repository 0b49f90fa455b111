#!/usr/bin/env python3
"""Writes a demo character table srf_pub.zc and a demo phrase file srf_pub.dat into a directory,
leaving any file that is already there untouched. With --package BASE it writes instead a demo
install package: the packaged files under their short names, plus an earlier BASE.ime, so that
install mode asks before it replaces it. The input method files are stand-ins, not a real IME.

The table holds the 6,763 hanzi of GB2312 in code order, then the full-width digits and Latin
letters; bytes 0-3 and 6-9 of its header are zero."""
import os
import struct
import sys

CATEGORIES = [
    ('常用语', ['谢谢您的帮助', '不客气', '没问题', '请稍等一下', '我马上就到']),
    ('问候', ['早上好', '晚上好', '新年快乐', '生日快乐', '祝你一路顺风']),
    ('地址', ['北京市海淀区中关村大街', '上海市浦东新区世纪大道', '广州市天河区体育西路']),
    ('工作', ['会议推迟到明天下午', '请查收附件', '项目进展顺利']),
    ('学习', []),
    ('其他', []),
]


def character_table():
    entries = []
    for lead in range(0xB0, 0xF8):
        for trail in range(0xA1, 0xFF):
            if lead == 0xD7 and trail > 0xF9:
                continue
            entries.append(bytes([lead, trail]))
    entries += [bytes([0xA3, code]) for code in range(0xB0, 0xBA)]
    entries += [bytes([0xA3, code]) for code in range(0xC1, 0xDB)]
    entries += [bytes([0xA3, code]) for code in range(0xE1, 0xFB)]
    return b'\0' * 4 + struct.pack('<H', len(entries)) + b'\0' * 4 + b''.join(entries)


def phrase_file():
    lines = []
    for category, phrases in CATEGORIES:
        lines.append(category.encode('gb2312'))
        lines += [b'\t' + phrase.encode('gb2312') for phrase in phrases]
    return b''.join(line + b'\r\n' for line in lines)


def write_if_absent(path, data):
    if os.path.exists(path):
        print('kept existing', path)
        return
    with open(path, 'wb') as f:
        f.write(data)
    print('wrote', path)


def package(directory, base):
    files = {
        'srf_zc': character_table(),
        'srf_dat': phrase_file(),
        'srf_usr': b'\0',
        base + '.ime': b'demo input method, installed earlier\r\n',
    }
    for name in ['srf_ime', 'srf_set', 'srf_py', 'srf_pys', 'srf_lm', 'srf_pym', 'srf_kv', 'srf_zy']:
        files[name] = ('demo package file %s\r\n' % name).encode('ascii')
    for name, data in files.items():
        write_if_absent(os.path.join(directory, name), data)


def main(arguments):
    directory = arguments[0] if arguments else '.'
    os.makedirs(directory, exist_ok=True)
    if len(arguments) >= 3 and arguments[1] == '--package':
        package(directory, arguments[2])
        return
    write_if_absent(os.path.join(directory, 'srf_pub.zc'), character_table())
    write_if_absent(os.path.join(directory, 'srf_pub.dat'), phrase_file())


if __name__ == '__main__':
    main(sys.argv[1:])
