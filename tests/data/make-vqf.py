#!/usr/bin/env python3
"""Writes small TwinVQ (VQF) files for the tests: no TwinVQ encoder is packaged, so the
header is written here and the sound data is filler of the size the bitrate asks for.

Layout: "TWIN", an eight-digit version, the header length (big-endian, counted from offset
12), chunks of four-character id + big-endian length + data, then "DATA" and the sound data.
"""
import struct
import sys


def chunk(name, data):
    return name + struct.pack(">I", len(data)) + data


def vqf(version, channel_mode, kbps, rate_khz, seconds, texts, with_dsiz=True):
    data_size = kbps * 1000 * seconds // 8
    body = chunk(b"COMM", struct.pack(">IIII", channel_mode, kbps, rate_khz, 0))
    if with_dsiz:
        body += chunk(b"DSIZ", struct.pack(">I", data_size))
    for name, text in texts:
        body += chunk(name, text)
    header = b"TWIN" + version + struct.pack(">I", len(body) + 4) + body
    sound = bytes((i * 37) & 0xFF for i in range(data_size))
    return header + b"DATA" + struct.pack(">I", data_size) + sound


def main(out_dir):
    files = {
        "tone-v2.vqf": vqf(b"97012000", 1, 96, 44, 3, [
            (b"NAME", b"VQF Title"),
            (b"AUTH", b"VQF Artist"),
            (b"(c) ", b"(C) 1999 Sonavid"),
            (b"COMT", b"Made by make-vqf.py"),
            (b"FILE", b"original.vqf"),
            (b"ALBM", b"VQF Album"),
        ]),
        # The later encoder's version; Shift-JIS title; no DSIZ chunk (length from file size).
        "mono-v2plus.vqf": vqf(b"00052200", 0, 24, 22, 5, [
            (b"NAME", "テスト曲".encode("cp932")),
        ], with_dsiz=False),
    }
    for name, data in files.items():
        with open(f"{out_dir}/{name}", "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else ".")
