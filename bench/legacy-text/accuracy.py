#!/usr/bin/env python3
"""Share of legacy 8-bit titles that the tag reader decodes right.

Builds titles from Debian's word lists (Japanese from the SKK dictionary, `skkdic`; accented
French, German and Spanish words from `wfrench`, `wngerman`, `wspanish`), encodes the Japanese
ones in Shift-JIS and the Western ones in Windows-1252, decodes each through the reader's own
decoder with the ANSI code page set to 932 and to 1252, and reports the share decoded right.

usage: bench/legacy-text/accuracy.py [--build build/native] [--count 1000] [--seed 1] [--show 20]
The word-list packages are needed only here, not by the build.
"""
import argparse
import os
import random
import subprocess
import sys
import unicodedata

SKK = "/usr/share/skk/SKK-JISYO.L"
WESTERN = ["/usr/share/dict/french", "/usr/share/dict/ngerman", "/usr/share/dict/spanish"]
ASCII_EXTRAS = [" (Live)", " Remix", " feat. MC", " Vol.2", " 2004", " - Single", " [Demo]"]
JAPANESE_JOINS = ["", "", "の", " ", "・", "と"]


def encodable(text, codec):
    try:
        text.encode(codec)
        return True
    except UnicodeEncodeError:
        return False


def japanese_words():
    kanji, readings = [], []
    with open(SKK, encoding="euc_jp", errors="replace") as f:
        for line in f:
            if line.startswith(";") or " /" not in line:
                continue
            reading, rest = line.rstrip("\n").split(" /", 1)
            if not reading or not all("\u3041" <= c <= "\u3096" or c == "ー" for c in reading):
                continue  # okuri-ari entries end in an ASCII letter
            readings.append(reading)
            for candidate in rest.split("/"):
                word = candidate.split(";", 1)[0]
                if word and "(" not in word and "\ufffd" not in word and encodable(word, "cp932"):
                    kanji.append(word)
    return sorted(set(kanji)), sorted(set(readings))


def to_katakana(text):
    return "".join(chr(ord(c) + 0x60) if "\u3041" <= c <= "\u3096" else c for c in text)


HALF_WIDTH = {}
for code in range(0xFF61, 0xFFA0):
    HALF_WIDTH[unicodedata.normalize("NFKC", chr(code))] = chr(code)
for code in range(0xFF61, 0xFFA0):
    for mark in ("\uFF9E", "\uFF9F"):
        full = unicodedata.normalize("NFKC", chr(code) + mark)
        if len(full) == 1:
            HALF_WIDTH[full] = chr(code) + mark


def to_half_width(text):
    return "".join(HALF_WIDTH.get(c, c) for c in text)


def western_words():
    words = []
    for path in WESTERN:
        with open(path, encoding="utf-8") as f:
            words += [w.strip() for w in f if w.strip()]
    accented = [w for w in words if not w.isascii() and encodable(w, "cp1252")]
    plain = [w for w in words if w.isascii() and w.isalpha()]
    return sorted(set(accented)), sorted(set(plain))


def japanese_titles(rng, count):
    kanji, readings = japanese_words()
    titles = set()
    while len(titles) < count:
        parts = []
        for _ in range(rng.choice([1, 1, 2, 2, 3])):
            kind = rng.random()
            if kind < 0.6:
                parts.append(rng.choice(kanji))
            elif kind < 0.8:
                parts.append(rng.choice(readings))
            else:
                parts.append(to_katakana(rng.choice(readings)))
        title = rng.choice(JAPANESE_JOINS).join(parts)
        if rng.random() < 0.05:
            title = to_half_width(to_katakana(title))
        if rng.random() < 0.15:
            title += rng.choice(ASCII_EXTRAS)
        if rng.random() < 0.05:
            title = rng.choice(["Love ", "DJ ", "My ", "BEST "]) + title
        if encodable(title, "cp932"):
            titles.add(title)
    return sorted(titles)


def western_titles(rng, count):
    accented, plain = western_words()
    titles = set()
    while len(titles) < count:
        words = [rng.choice(accented)]
        for _ in range(rng.choice([0, 0, 1, 2, 3])):
            words.insert(rng.randrange(len(words) + 1), rng.choice(plain + accented))
        title = " ".join(words)
        case = rng.random()
        if case < 0.1:
            title = title.upper()  # some taggers and rippers write titles in capitals
        elif case < 0.9:
            title = title[0].upper() + title[1:]
        if not encodable(title, "cp1252"):
            continue
        decoration = rng.random()
        if decoration < 0.05:
            title = "\u201c" + title + "\u201d"
        elif decoration < 0.10:
            title = "L\u2019" + title[0].lower() + title[1:]
        elif decoration < 0.20:
            title += rng.choice(ASCII_EXTRAS)
        titles.add(title)
    return sorted(titles)


def decode_all(tool, codepage, encoded):
    data = "".join(b.hex() + "\n" for b in encoded)
    out = subprocess.run([tool, codepage], input=data.encode(), capture_output=True, check=True)
    return out.stdout.decode("utf-8").split("\n")[: len(encoded)]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default="build/native")
    parser.add_argument("--count", type=int, default=1000)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--show", type=int, default=10, help="wrong decodings to print per set")
    args = parser.parse_args()
    tool = os.path.join(args.build, "decode_titles")
    if not os.access(tool, os.X_OK):
        sys.exit(f"{tool} missing: cmake --build {args.build} --target decode_titles")

    rng = random.Random(args.seed)
    sets = [
        ("Japanese in Shift-JIS", "cp932", japanese_titles(rng, args.count)),
        ("Western in Windows-1252", "cp1252", western_titles(rng, args.count)),
    ]
    worst = 100.0
    for name, codec, titles in sets:
        encoded = [t.encode(codec) for t in titles]
        expected = [b.decode(codec) for b in encoded]
        for codepage in ("CP932", "WINDOWS-1252"):
            decoded = decode_all(tool, codepage, encoded)
            wrong = [(e, d) for e, d in zip(expected, decoded) if e != d]
            share = 100.0 * (len(titles) - len(wrong)) / len(titles)
            worst = min(worst, share)
            print(f"{name:24} ANSI {codepage:13} {len(titles) - len(wrong):5}/{len(titles)} right"
                  f"  {share:6.2f} %")
            for e, d in wrong[: args.show]:
                print(f"    {e!r} -> {d!r}")
    print(f"lowest share: {worst:.2f} %")


if __name__ == "__main__":
    main()
