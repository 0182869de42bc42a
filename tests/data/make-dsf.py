#!/usr/bin/env python3
"""Writes small DSF (DSD stream file) files for the tests (and, given a second folder, a DSD
silence there as the source of a WavPack DSD file): no DSD encoder is packaged, so the
file is written here. The sound is a quiet 441 Hz tone through a first-order sigma-delta
modulator: one period of it, repeated, so the files compress well. Tags are added afterwards
with mutagen (make-media-lossless.sh), which writes the ID3v2 tag and the metadata offset.

Layout, little-endian: "DSD " chunk (size 28, file size, metadata offset), "fmt " chunk (size
52: format version 1, format id 0 = DSD raw, channel type, channel count, sampling frequency,
bits per sample 1, sample count per channel, block size per channel 4096, reserved), "data"
chunk (size 12 + data): for each block of 4096 bytes per channel, one block per channel in
turn; the bits of a byte are samples in time order from the least significant bit; the last
block is filled up with zeros.
"""
import math
import struct
import sys

BLOCK = 4096
TONE_HZ = 441


def one_period(rate):
    """Bits of one period of the tone, sigma-delta modulated."""
    period = rate // TONE_HZ
    bits, integrator = [], 0.0
    for n in range(period):
        x = 0.25 * math.sin(2 * math.pi * n / period)
        out = 1 if integrator >= 0 else -1
        integrator += x - out
        bits.append(1 if out > 0 else 0)
    return bits


def channel_bytes(rate, samples):
    period = one_period(rate)
    data = bytearray((samples + 7) // 8)
    for n in range(samples):
        if period[n % len(period)]:
            data[n // 8] |= 1 << (n % 8)
    return bytes(data)


def dsf(rate, channels, seconds):
    samples = int(rate * seconds)
    mono = channel_bytes(rate, samples)
    blocks = (len(mono) + BLOCK - 1) // BLOCK
    mono = mono + b"\0" * (blocks * BLOCK - len(mono))
    data = b"".join(mono[b * BLOCK:(b + 1) * BLOCK] * channels for b in range(blocks))
    channel_type = {1: 1, 2: 2}[channels]
    fmt = struct.pack("<4sQIIIIIIQII", b"fmt ", 52, 1, 0, channel_type, channels, rate, 1,
                      samples, BLOCK, 0)
    body = fmt + struct.pack("<4sQ", b"data", 12 + len(data)) + data
    total = 28 + len(body)
    return struct.pack("<4sQQQ", b"DSD ", 28, total, 0) + body


def idle(rate, channels, seconds):
    """A file of DSD silence (the idle pattern 0x69 in every byte)."""
    samples = int(rate * seconds)
    used = (samples + 7) // 8
    blocks = (used + BLOCK - 1) // BLOCK
    # The last block is filled up with zeros.
    mono = b"\x69" * used + b"\0" * (blocks * BLOCK - used)
    data = b"".join(mono[b * BLOCK:(b + 1) * BLOCK] * channels for b in range(blocks))
    fmt = struct.pack("<4sQIIIIIIQII", b"fmt ", 52, 1, 0, {1: 1, 2: 2}[channels], channels, rate,
                      1, samples, BLOCK, 0)
    body = fmt + struct.pack("<4sQ", b"data", 12 + len(data)) + data
    return struct.pack("<4sQQQ", b"DSD ", 28, 28 + len(body), 0) + body


def main(out_dir, work_dir=None):
    files = {
        # DSD64 stereo, 1.1 s; DSD128 mono, 1.05 s.
        "dsf-dsd64.dsf": dsf(2822400, 2, 1.1),
        "dsf-dsd128.dsf": dsf(5644800, 1, 1.05),
    }
    for name, data in files.items():
        with open(f"{out_dir}/{name}", "wb") as f:
            f.write(data)
    # DSD silence, 1.3 s, for a WavPack DSD file (whose encoder packs it to almost nothing).
    if work_dir:
        with open(f"{work_dir}/idle-dsd64.dsf", "wb") as f:
            f.write(idle(2822400, 2, 1.3))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else ".", sys.argv[2] if len(sys.argv) > 2 else None)
