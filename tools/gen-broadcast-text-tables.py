#!/usr/bin/env python3
"""Writes the character tables of the broadcast text decoders:

  src/common/arib_text_tables.cpp  JIS X 0208, the two planes of JIS X 0213, the additional
                                   symbols of ARIB STD-B24 and the half-width kana forms
  src/common/dvb_text_tables.cpp   the upper halves of ISO/IEC 8859-1..15 and of the default
                                   table of ETSI EN 300 468 (ISO/IEC 6937 with the euro sign),
                                   and the letters the 6937 diacritics compose with

Every mapping comes from the system's iconv (glibc: EUC-JP, EUC-JISX0213, ISO-8859-n,
ISO_6937) or from Python's own Unicode data; the additional symbols are the list below, made
from the standard's table of them and the Unicode characters that were encoded for them.

    python3 tools/gen-broadcast-text-tables.py   (from the repository root)
"""
import ctypes
import ctypes.util
import os
import sys
import unicodedata

# ARIB STD-B24 additional symbols: (row, first cell, code points in cell order, None for a cell
# left out). Codes of rows 90 to 94 not listed here decode to U+3013 (GETA MARK), the
# standard's sign for a character that cannot be shown. Each code point is the character
# Unicode encoded for the symbol (Unicode 5.2 took most of them from ARIB STD-B24) or, for a
# symbol Unicode already had, that character. Left out: cells whose symbol is a sequence of
# characters or a glyph variant of one, and cells whose Unicode character is not certain.
ADDITIONAL_SYMBOLS = [
    (90, 1, [
        0x26CC, 0x26CD, 0x2757, 0x26CF, 0x26D0, 0x26D1,        # accident, breakdown, obstacle,
                                                               # roadworks, ice, work
        None,
        0x26D2, 0x26D5, 0x26D3, 0x26D4,                        # closed, alternate one-way,
                                                               # chains, no entry
        None, None, None, None,
        0x1F17F, 0x1F18A,                                      # parking, parking closed
        None, None,
        0x26D6, 0x26D7, 0x26D8, 0x26D9,                        # two-way traffic, lane merge
        0x26DA, 0x26DB,                                        # drive slow
        0x26DC, 0x26DD, 0x26DE, 0x26DF, 0x26E0, 0x26E1,        # entry closed, trucks, restricted
        0x2B55,                                                # speed limit
        0x3248, 0x3249, 0x324A, 0x324B,                        # speed limits 10 to 80 km/h
        0x324C, 0x324D, 0x324E, 0x324F,
        None, None, None, None,
        0x2491, 0x2492, 0x2493,                                # 10. 11. 12. (hours)
        0x1F14A, 0x1F14C, 0x1F13F, 0x1F146, 0x1F14B,           # HV SD P W MV
        0x1F210, 0x1F211, 0x1F212, 0x1F213,                    # 手 字 双 デ
        0x1F142,                                               # S
        0x1F214, 0x1F215, 0x1F216,                             # 二 多 解
        0x1F14D, 0x1F131, 0x1F13D,                             # SS B N
        0x2B1B, 0x2B24,                                        # black square, black circle
        0x1F217, 0x1F218, 0x1F219, 0x1F21A, 0x1F21B,           # 天 交 映 無 料
        0x26BF,                                                # squared key
        0x1F21C, 0x1F21D, 0x1F21E, 0x1F21F, 0x1F220,           # 前 後 再 新 初
        0x1F221, 0x1F222, 0x1F223, 0x1F224, 0x1F225,           # 終 生 販 声 吹
        0x1F14E,                                               # PPV
        0x3299, 0x1F200,                                       # circled 秘, square ほか
    ]),
    (91, 1, [
        0x26E3,                                                # circle, stroke and two dots
        None, None, None, None,
        0x2613, 0x328B, 0x3012, 0x26E8,                        # saltire, fire station, post
                                                               # office, hospital
        0x3246, 0x3245, 0x26E9, 0x0FD6,                        # school, kindergarten, shrine,
                                                               # temple
        0x26EA, 0x26EB, 0x26EC, 0x2668,                        # church, castle, historic site,
                                                               # hot springs
        0x26ED, 0x26EE, 0x26EF, 0x2693, 0x2708,                # factory, power plant,
                                                               # lighthouse, harbour, airport
        0x26F0, 0x26F1, 0x26F2, 0x26F3,                        # mountain, beach umbrella,
                                                               # fountain, golf
        None,
        0x26F5, 0x1F157, 0x24B9, 0x24C8,                       # sailboat, circled H D S
        0x26F6, 0x1F15F,                                       # square corners, circled P
        0x1F18B, 0x1F18D, 0x1F18C,                             # IC SA PA
        None,
        0x26F7, 0x26F8, 0x26F9, 0x26FA,                        # skier, skate, ball, tent
        0x1F17B, 0x260E,                                       # L, telephone
        0x26FB, 0x26FC, 0x26FD, 0x26FE,                        # bank, graveyard, fuel,
                                                               # restaurant
        0x1F17C, 0x26FF,                                       # M, flag
    ]),
    (92, 1, [
        0x27A1, 0x2B05, 0x2B06, 0x2B07,                        # black arrows right left up down
        0x2B2F, 0x2B2E,                                        # white vertical ellipse, black
        0x5E74, 0x6708, 0x65E5, 0x5186,                        # 年 月 日 円 (for dates, prices)
        0x33A1, 0x33A5, 0x339D, 0x33A0, 0x33A4,                # m2 m3 cm cm2 cm3
        0x1F100,                                               # 0.
        0x2488, 0x2489, 0x248A, 0x248B, 0x248C,                # 1. 2. 3. 4. 5.
        0x248D, 0x248E, 0x248F, 0x2490,                        # 6. 7. 8. 9.
        None, None, None, None, None, None,                    # (glyph variants)
        0x1F101, 0x1F102, 0x1F103, 0x1F104, 0x1F105,           # 0, 1, 2, 3, 4,
        0x1F106, 0x1F107, 0x1F108, 0x1F109, 0x1F10A,           # 5, 6, 7, 8, 9,
        0x3233, 0x3236, 0x3232, 0x3231, 0x3239, 0x3244,        # (社) (財) (有) (株) (代) 問
        0x25B6, 0x25C0,                                        # black triangles right, left
        0x3016, 0x3017,                                        # white lenticular brackets
        0x27D0,                                                # white diamond with centred dot
        0x00B2, 0x00B3,                                        # superscript two, three
        0x1F12D,                                               # circled CD
    ]),
    (92, 86, [
        0x1F12C, 0x1F12B,                                      # circled italic R, C
        0x3247,                                                # circled 箏 (koto)
        None,
        0x1F226,                                               # squared 演
        0x213B,                                                # FAX
    ]),
    (93, 1, [
        0x322A, 0x322B, 0x322C, 0x322D,                        # (月) (火) (水) (木)
        0x322E, 0x322F, 0x3230, 0x3237,                        # (金) (土) (日) (祝)
        0x337E, 0x337D, 0x337C, 0x337B,                        # eras Meiji Taisho Showa Heisei
        0x2116, 0x2121, 0x3036, 0x26BE,                        # No. TEL circled post, baseball
        None, None, None, None, None, None, None, None, None,  # (tortoise shell bracketed
                                                               # ideographs: order not certain)
        0x1F12A,                                               # 〔S〕
        0x1F227, 0x1F228, 0x1F229, 0x1F214,                    # fielding positions 1 to 9
        0x1F22A, 0x1F22B, 0x1F22C, 0x1F22D,                    # (squared 投 捕 一 二 三 遊 左 中
        0x1F22E,                                               # 右), then 指 走 打 (designated
        0x1F22F, 0x1F230, 0x1F231,                             # hitter, runner, batter)
        0x2113, 0x338F, 0x3390, 0x33CA, 0x339E, 0x33A2,        # l kg Hz ha km km2
        0x3371,                                                # hPa
        None, None,
        0x00BD, 0x2189, 0x2153, 0x2154, 0x00BC, 0x00BE,        # 1/2 0/3 1/3 2/3 1/4 3/4
        0x2155, 0x2156, 0x2157, 0x2158, 0x2159, 0x215A,        # 1/5 2/5 3/5 4/5 1/6 5/6
        0x2150, 0x215B, 0x2151, 0x2152,                        # 1/7 1/8 1/9 1/10
        0x2600, 0x2601, 0x2602, 0x26C4,                        # sun, cloud, umbrella, snowman
        0x2616, 0x2617, 0x26C9, 0x26CA,                        # shogi pieces, turned ones
        0x2666, 0x2665, 0x2663, 0x2660,                        # card suits
        0x26CB, 0x2A00,                                        # white diamond in square, circled dot
        0x203C, 0x2049,                                        # !! !?
        0x26C5, 0x2614, 0x26C6, 0x2603, 0x26C7,                # cloudy spells, rain, snow
        0x26A1, 0x26C8,                                        # lightning, thunderstorm
        None,
        0x269E, 0x269F,                                        # lines converging right, left
        0x266C, 0x260E,                                        # beamed sixteenths, telephone
    ]),
    (94, 1, [
        0x2160, 0x2161, 0x2162, 0x2163, 0x2164, 0x2165,        # Roman numerals I to XII
        0x2166, 0x2167, 0x2168, 0x2169, 0x216A, 0x216B,
        0x2470, 0x2471, 0x2472, 0x2473,                        # circled 17 to 20
        0x2474, 0x2475, 0x2476, 0x2477, 0x2478, 0x2479,        # parenthesized 1 to 12
        0x247A, 0x247B, 0x247C, 0x247D, 0x247E, 0x247F,
        0x3251, 0x3252, 0x3253, 0x3254,                        # circled 21 to 24
        0x1F110, 0x1F111, 0x1F112, 0x1F113, 0x1F114,           # parenthesized A to Z
        0x1F115, 0x1F116, 0x1F117, 0x1F118, 0x1F119,
        0x1F11A, 0x1F11B, 0x1F11C, 0x1F11D, 0x1F11E,
        0x1F11F, 0x1F120, 0x1F121, 0x1F122, 0x1F123,
        0x1F124, 0x1F125, 0x1F126, 0x1F127, 0x1F128, 0x1F129,
        0x3255, 0x3256, 0x3257, 0x3258, 0x3259, 0x325A,        # circled 25 to 30
        0x2460, 0x2461, 0x2462, 0x2463, 0x2464, 0x2465,        # circled 1 to 16
        0x2466, 0x2467, 0x2468, 0x2469, 0x246A, 0x246B,
        0x246C, 0x246D, 0x246E, 0x246F,
        0x2776, 0x2777, 0x2778, 0x2779, 0x277A, 0x277B,        # negative circled 1 to 12
        0x277C, 0x277D, 0x277E, 0x277F, 0x24EB, 0x24EC,
        0x325B,                                                # circled 31
    ]),
]

GETA = 0x3013

# glibc iconv through ctypes: one character at a time, so an unmapped code costs only itself.
libc = ctypes.CDLL(ctypes.util.find_library("c"), use_errno=True)
libc.iconv_open.restype = ctypes.c_void_p
libc.iconv_open.argtypes = [ctypes.c_char_p, ctypes.c_char_p]
libc.iconv.restype = ctypes.c_size_t
libc.iconv.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_char_p),
                       ctypes.POINTER(ctypes.c_size_t), ctypes.POINTER(ctypes.c_char_p),
                       ctypes.POINTER(ctypes.c_size_t)]
libc.iconv_close.argtypes = [ctypes.c_void_p]


class Iconv:
    def __init__(self, encoding):
        self.cd = libc.iconv_open(b"UTF-32BE", encoding.encode())
        if self.cd in (None, ctypes.c_void_p(-1).value):
            sys.exit(f"iconv has no {encoding}")

    def decode(self, data):
        """The code points of `data`, or None when iconv does not map all of it."""
        libc.iconv(self.cd, None, None, None, None)  # initial state
        inbuf = ctypes.create_string_buffer(data, len(data))
        out = ctypes.create_string_buffer(64)
        in_ptr = ctypes.c_char_p(ctypes.addressof(inbuf))
        out_ptr = ctypes.c_char_p(ctypes.addressof(out))
        in_left = ctypes.c_size_t(len(data))
        out_left = ctypes.c_size_t(64)
        if libc.iconv(self.cd, ctypes.byref(in_ptr), ctypes.byref(in_left), ctypes.byref(out_ptr),
                      ctypes.byref(out_left)) == ctypes.c_size_t(-1).value:
            return None
        # A converter that holds back a base character for a combining one gives it on flush.
        libc.iconv(self.cd, None, None, ctypes.byref(out_ptr), ctypes.byref(out_left))
        raw = out.raw[:64 - out_left.value]
        return [int.from_bytes(raw[i:i + 4], "big") for i in range(0, len(raw), 4)]


def plane(encoding, prefix=b""):
    """94x94 cells of a two-byte set read through an EUC form: lists of code points."""
    conv = Iconv(encoding)
    cells = []
    for row in range(1, 95):
        for cell in range(1, 95):
            cells.append(conv.decode(prefix + bytes([row + 0xA0, cell + 0xA0])) or [])
    return cells


def utf16_units(cps):
    units = []
    for cp in cps:
        if cp >= 0x10000:
            cp -= 0x10000
            units += [0xD800 + (cp >> 10), 0xDC00 + (cp & 0x3FF)]
        else:
            units.append(cp)
    return units


def c_array(ctype, name, values, per_line=12, fmt="0x{:04X}"):
    lines = [f"extern const {ctype} {name}[{len(values)}] = {{"]
    for i in range(0, len(values), per_line):
        lines.append("    " + ", ".join(fmt.format(v) for v in values[i:i + per_line]) + ",")
    lines.append("};")
    return "\n".join(lines)


HEADER = """// Generated by tools/gen-broadcast-text-tables.py from the system's iconv and Python's Unicode
// data: do not edit. {what}
#include <cstddef>

namespace sonavid::{ns} {{

"""


def arib_tables():
    jis0208 = plane("EUC-JP")
    plane1 = plane("EUC-JISX0213")
    plane2 = plane("EUC-JISX0213", b"\x8f")

    # JIS X 0208: every character is one BMP code point (0 where unassigned).
    kanji = [cps[0] if len(cps) == 1 and cps[0] < 0x10000 else 0 for cps in jis0208]

    # JIS X 0213: one UTF-16 pair per cell; a BMP character leaves the second unit 0, a character
    # beyond the BMP takes a surrogate pair, and a character with a combining mark takes the two.
    def pairs(cells):
        out = []
        for cps in cells:
            units = utf16_units(cps)
            if len(units) > 2:
                sys.exit(f"a JIS X 0213 cell needs {len(units)} UTF-16 units")
            out += (units + [0, 0])[:2]
        return out

    symbols = [0] * (5 * 94 * 2)
    for row in range(90, 95):
        for cell in range(1, 95):
            symbols[((row - 90) * 94 + cell - 1) * 2] = GETA
    for row, first, cps in ADDITIONAL_SYMBOLS:
        for i, cp in enumerate(cps):
            if cp is None:
                continue
            units = (utf16_units([cp]) + [0])[:2]
            index = ((row - 90) * 94 + first + i - 1) * 2
            symbols[index:index + 2] = units

    # Half-width forms of the full-width katakana and punctuation: the reverse of the
    # compatibility decompositions of U+FF61..U+FF9F, voiced and semi-voiced kana as two.
    half = {}
    for cp in range(0xFF61, 0xFFA0):
        full = unicodedata.normalize("NFKC", chr(cp))
        if len(full) == 1:
            half.setdefault(ord(full), [cp])
    for cp in range(0x30A1, 0x30FF):
        base, *marks = unicodedata.normalize("NFD", chr(cp))
        if marks and ord(base) in half and marks[0] in ("\u3099", "\u309A"):
            half[cp] = half[ord(base)] + [0xFF9E if marks[0] == "\u3099" else 0xFF9F]
    half[0x309B] = [0xFF9E]  # the spacing sound marks too
    half[0x309C] = [0xFF9F]
    half_rows = []
    for full in sorted(half):
        units = (half[full] + [0])[:2]
        half_rows += [full] + units

    parts = [HEADER.format(what="ARIB STD-B24 character sets.", ns="arib"),
             "// JIS X 0208 rows 1-94, cells 1-94 (row-major): the code point, 0 where unassigned.",
             c_array("char16_t", "kJisX0208", kanji), "",
             "// JIS X 0213 plane 1, then plane 2: two UTF-16 units per cell (second 0 if unused).",
             c_array("char16_t", "kJisX0213Plane1", pairs(plane1)), "",
             c_array("char16_t", "kJisX0213Plane2", pairs(plane2)), "",
             "// Additional symbols, rows 90-94: two UTF-16 units per cell (second 0 if unused).",
             c_array("char16_t", "kAdditionalSymbols", symbols), "",
             "// Full-width character, then its half-width form in one or two units, sorted.",
             c_array("char16_t", "kHalfWidthKana", half_rows, per_line=12),
             f"extern const size_t kHalfWidthKanaCount = {len(half_rows) // 3};", "",
             "}  // namespace sonavid::arib", ""]
    return "\n".join(parts)


def dvb_tables():
    uppers = []
    for part in range(1, 16):
        if part == 12:  # never published
            uppers += [0] * 96
            continue
        conv = Iconv(f"ISO-8859-{part}")
        for b in range(0xA0, 0x100):
            cps = conv.decode(bytes([b]))
            uppers.append(cps[0] if cps else 0)

    conv = Iconv("ISO_6937")
    default = []
    for b in range(0xA0, 0x100):
        cps = conv.decode(bytes([b]))
        default.append(cps[0] if cps and len(cps) == 1 and not 0xC1 <= b <= 0xCF else 0)
    default[0xA4 - 0xA0] = 0x20AC  # EN 300 468 figure A.1 puts the euro sign here

    # The diacritics 0xC1..0xCF as combining marks, and the letters they compose with.
    marks = {}
    for b in range(0xC1, 0xD0):
        for letter in b"aceginorsuzACEGINORSUZ":
            cps = conv.decode(bytes([b, letter]))
            mark = unicodedata.decomposition(chr(cps[0])).split() if cps and len(cps) == 1 else []
            if len(mark) == 2:
                marks[b] = int(mark[1], 16)
                break
    composed = []
    for b, mark in sorted(marks.items()):
        for letter in range(0x20, 0x7F):
            c = unicodedata.normalize("NFC", chr(letter) + chr(mark))
            if len(c) == 1:
                composed += [b, letter, ord(c)]
    combining = [marks.get(b, 0) for b in range(0xC1, 0xD0)]

    parts = [HEADER.format(what="ETSI EN 300 468 Annex A character tables.", ns="dvb"),
             "// ISO/IEC 8859-1..15, bytes 0xA0-0xFF of each (96 per part; 0 where unassigned).",
             c_array("char16_t", "kIso8859Upper", uppers), "",
             "// The default table, bytes 0xA0-0xFF (0 for the diacritics and unassigned bytes).",
             c_array("char16_t", "kDefaultUpper", default), "",
             "// The combining mark of each diacritic byte 0xC1-0xCF (0 where none).",
             c_array("char16_t", "kDiacriticMarks", combining), "",
             "// Diacritic byte, letter, composed character: sorted by the first two.",
             c_array("char16_t", "kComposedLetters", composed, per_line=12),
             f"extern const size_t kComposedLetterCount = {len(composed) // 3};", "",
             "}  // namespace sonavid::dvb", ""]
    return "\n".join(parts)


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    for name, text in (("arib_text_tables.cpp", arib_tables()),
                       ("dvb_text_tables.cpp", dvb_tables())):
        with open(os.path.join(root, "src", "common", name), "w", encoding="utf-8") as f:
            f.write(text)


if __name__ == "__main__":
    main()
