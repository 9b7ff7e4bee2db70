#!/usr/bin/env python3
"""Writes the seed corpus for prizelist_fuzz: one small file per shape of prize list
that the reader must tell apart. Run again after changing a seed; stale seeds go."""

from pathlib import Path

HERE = Path(__file__).resolve().parent
CORPUS = HERE / "corpus"


def prizes(n, end):
    return b"".join(b"prize %d" % i + end for i in range(1, n + 1))


PRIZES = ["頭獎 液晶電視一台", "二獎 腳踏車", "三獎 電鍋", "精美紀念獎"]

SEEDS = {
    "empty": b"",
    "big5_lines": "\r\n".join(PRIZES).encode("cp950") + b"\r\n",
    # 0xA5 0x5C: a Big5 character whose trail byte is a backslash.
    "big5_ascii_trail": b"\xa5\x5c\r\n\xa4\x40\r\n",
    "big5_truncated_lead": "頭獎\r\n".encode("cp950") + b"x\xa4",
    "big5_user_defined": b"ok\r\n\xfa\x40\r\n",
    "utf8": "\n".join(PRIZES).encode("utf-8") + b"\n",
    "utf8_bom": b"\xef\xbb\xbf" + "\r\n".join(PRIZES).encode("utf-8"),
    "utf8_four_byte": "禮物 🎁\n".encode("utf-8"),
    "utf8_truncated": "紀念獎\n".encode("utf-8")[:-2],
    "cr_only": b"a\rb\r\rc",
    "lf_only": b"a\nb\n\nc\n",
    "crlf": b"a\r\nb\r\n\r\nc\r\n",
    "mixed_ends": b"a\r\r\nb\n\rc\r",
    "lines_56": prizes(56, b"\r\n"),
    "lines_56_no_final_end": prizes(56, b"\r\n")[:-2],
    "lines_57": prizes(57, b"\r\n"),
    "lines_56_two_ends": prizes(56, b"\r\n") + b"\r\n",
    "nul_byte": b"ok\r\nbad\x00line\r\n",
    "utf16le": "a\r\nb".encode("utf-16"),
    "lone_80": b"a\x80",
    "lone_ff": b"\xff",
    "blanks": b"  a b  \r\n\t\r\n",
    "utf16le_bom": b"\xff\xfe" + "\r\n".join(PRIZES).encode("utf-16-le"),
    "utf16be_bom": b"\xfe\xff" + "\r\n".join(PRIZES).encode("utf-16-be"),
    "utf32le_bom": b"\xff\xfe\x00\x00" + "\n".join(PRIZES).encode("utf-32-le"),
    "utf32be_bom": b"\x00\x00\xfe\xff" + "\n".join(PRIZES).encode("utf-32-be"),
    "utf16_odd": b"\xff\xfea\x00\n\x00b",
    "gbk_lines": "特奖 液晶电视一台\r\n二奖 脚踏车\r\n".encode("gbk"),
    "gbk_one_line": "特奖 液晶电视一台".encode("gbk"),
    # Big5 whose every character is also a UTF-8 pair: "禮" would be "§".
    "big5_utf8_pairs": "禮 1000\r\n簽 職 聽\r\n讀 蘋 300\r\n".encode("cp950"),
    "utf8_latin_words": "Café au lait\nCrème brûlée\n".encode("utf-8"),
    "controls": b"ok\r\nbell\x07\r\n\x1b[31m\x7f\x0c",
    "c1_control": b"\xef\xbb\xbf\xc2\x85",
    "long_line": b"x" * 1001,
    "outside_bmp": "ok\n禮物 🎁\n".encode("utf-8"),
    "lines_60": prizes(60, b"\r\n"),
    "xlsx_header": b"PK\x03\x04\x14\x00\x06\x00\x08\x00\x00\x00!\x00",
    "xls_header": b"\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1" + b"\x00" * 24,
    # Latin-1 letters pair off into Chinese characters when read as Big5.
    "latin1_words": "Größe Feier\r\nCafé au lait\r\n".encode("cp1252"),
    "latin1_in_big5": "頭獎 液晶電視\r\n".encode("cp950") + "Weißwürste\r\n".encode("cp1252"),
    "big5_latin_words": "iPhone 15 手機\r\nT恤 L號\r\nASUS筆電\r\n".encode("cp950"),
    "bidi_override": "ok\niPhone \u202e15\n".encode("utf-8"),
    "bidi_isolate_utf16": b"\xff\xfe" + "a\u2066b\u2069".encode("utf-16-le"),
    "quoted_lines": '"頭獎 電視"\r\n"精美紀念獎"\r\n'.encode("cp950"),
}


def main():
    CORPUS.mkdir(exist_ok=True)
    for stale in CORPUS.iterdir():
        if stale.name not in SEEDS:
            stale.unlink()
    for name, data in SEEDS.items():
        (CORPUS / name).write_bytes(data)


if __name__ == "__main__":
    main()
