#!/bin/bash
# Makes the test files in tests/data/media/ that are shaped the way other projects' test files
# and everyday files are, and that the readers once misread: MPEG transport and program
# streams (which hold MPEG audio frames but are no MP3), an MP3 whose Info frame names another
# channel mode than its audio frames, FLAC streams that change format between frames, are cut
# from a longer file or keep STREAMINFO behind another block, live Matroska streams with junk
# before Info, AIFF-C files cut short, an Ogg file whose tags are only in the Theora comments, and DSF / WavPack files
# whose headers claim more than their bytes hold.
#
# The expected values are in tests/data/media/expected-unusual.tsv; this script checks them
# against ffprobe, mediainfo and mutagen where those tools read the file, and against the way
# the file was made where they do not (a joined FLAC plays as long as its two parts). Any
# disagreement stops the script.
#
# Usage: tests/data/make-media-unusual.sh
# Needs: ffmpeg (libx264, libopus, libtheora, libvorbis, libmp3lame), flac, wavpack,
#        mediainfo, python3-mutagen
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=$here/media
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
py=/usr/bin/python3  # Debian's Python, which has python3-mutagen
ff() { ffmpeg -hide_banner -loglevel error -y "$@"; }
bitexact=(-fflags +bitexact -flags +bitexact -map_metadata -1)
check() {  # what expected actual
  [ "$2" = "$3" ] || { echo "$1: expected '$2', the tools say '$3'" >&2; exit 1; }
}
video=(-f lavfi -i "testsrc=size=64x48:rate=10:duration=2")
sine() { echo "sine=frequency=440:sample_rate=$1:duration=$2"; }

# --- transport and program streams ----------------------------------------------------------
# None of them is MPEG audio, wherever a run of plausible frame syncs falls in their packets
# (in these, the syncs in the first kilobytes pass for MPEG-1 Layer I or II frames).
ff -f lavfi -i "testsrc=size=64x48:rate=10:duration=1" -f lavfi \
  -i "sine=frequency=1000:sample_rate=48000:duration=1" -c:v libx264 -preset ultrafast -c:a aac -b:a 192k "${bitexact[@]}" -f mpegts \
  "$out/ts-h264-aac.ts"
ff -f lavfi -i "testsrc=size=64x48:rate=10:duration=1" -f lavfi -i "$(sine 48000 1)" \
  -c:v libx264 -preset ultrafast -c:a ac3 -b:a 96k "${bitexact[@]}" -f mpegts -mpegts_m2ts_mode 1 \
  "$out/m2ts-h264-ac3.m2ts"
ff -f lavfi -i "testsrc=size=64x48:rate=25:duration=3.5" -f lavfi -i "$(sine 44100 3.5)" \
  -c:v mpeg1video -b:v 20k -c:a mp2 -b:a 32k "${bitexact[@]}" -f vcd "$out/vcd-mpeg1-mp2.mpg"
ff -f lavfi -i "testsrc=size=64x48:rate=25:duration=2" -f lavfi -i "$(sine 48000 2)" \
  -c:v mpeg2video -c:a mp2 -b:a 64k "${bitexact[@]}" -f dvd "$out/dvd-mpeg2-mp2.vob"
# A program stream with MPEG-2 audio alone (Layer II at 24 kHz).
ff -f lavfi -i "$(sine 24000 3)" -c:a mp2 -b:a 64k "${bitexact[@]}" -f mpeg "$out/ps-mpeg2-audio.mpg"

# --- MP3 by ffmpeg: the Info frame says Stereo, every audio frame joint stereo ---------------
ff -f lavfi -i "$(sine 44100 2)" -ac 2 -c:a libmp3lame -b:a 64k "${bitexact[@]}" \
  "$out/mp3-info-stereo-frames-joint.mp3"
check "mode" "Joint stereo" \
  "$(mediainfo --Inform='Audio;%Format_Settings_Mode%' "$out/mp3-info-stereo-frames-joint.mp3")"

# --- FLAC ----------------------------------------------------------------------------------
# A short quiet tone, then silence.
tone() {  # rate channels seconds output
  ff -f lavfi -i "$(sine "$1" 0.2)" -af "volume=0.05,apad=whole_dur=$3" -ac "$2" \
    "${bitexact[@]}" "$4"
}
# Metadata blocks of a FLAC file rearranged: `join A B OUT` writes A's blocks (STREAMINFO's
# total, MD5 set to 0) with A's frames and then B's, as a stream whose format changes;
# `streaminfo-last IN OUT` moves STREAMINFO behind the other blocks.
flac_blocks() {
  "$py" - "$@" <<'EOF'
import sys
def split(path):
    d = open(path, 'rb').read()
    assert d[:4] == b'fLaC'
    pos, blocks = 4, []
    while True:
        h, n = d[pos], int.from_bytes(d[pos + 1:pos + 4], 'big')
        blocks.append((h & 0x7F, bytearray(d[pos + 4:pos + 4 + n])))
        pos += 4 + n
        if h & 0x80:
            return blocks, d[pos:]
def write(path, blocks, frames):
    out = bytearray(b'fLaC')
    for i, (kind, body) in enumerate(blocks):
        last = 0x80 if i == len(blocks) - 1 else 0
        out += bytes([kind | last]) + len(body).to_bytes(3, 'big') + body
    open(path, 'wb').write(bytes(out) + frames)
if sys.argv[1] == 'join':
    a, frames_a = split(sys.argv[2])
    b, frames_b = split(sys.argv[3])
    info = a[0][1]
    info[13] &= 0xF0          # total samples: the low 4 bits of byte 13 and bytes 14-17
    info[14:18] = bytes(4)
    info[18:34] = bytes(16)   # MD5
    write(sys.argv[4], a, frames_a + frames_b)
else:
    blocks, frames = split(sys.argv[2])
    write(sys.argv[3], blocks[1:] + blocks[:1], frames)
EOF
}
# 3.5 s at 44.1 kHz stereo, then 6 s at 8 kHz mono: 9.5 s in all (ffmpeg stops decoding at the
# change, mediainfo gives no length).
tone 44100 2 3.5 "$work/a.wav"
tone 8000 1 6 "$work/b.wav"
flac -s -f -o "$work/a.flac" "$work/a.wav"
flac -s -f -o "$work/b.flac" "$work/b.wav"
flac_blocks join "$work/a.flac" "$work/b.flac" "$out/flac-format-change.flac"
# The first 13000 bytes of a 273 s file: STREAMINFO promises 273 s, five frames of 0.512 s
# are there (the last cut short).
ff -f lavfi -i "anoisesrc=color=pink:amplitude=0.002:sample_rate=8000:duration=273:seed=7" \
  -ac 1 "${bitexact[@]}" "$work/long.wav"
flac -s -f --no-padding -o "$work/long.flac" "$work/long.wav"
head -c 13000 "$work/long.flac" >"$out/flac-excerpt.flac"
check "excerpt frames" 5 "$("$py" -c 'import sys; print(open(sys.argv[1], "rb").read().count(b"\xff\xf8"))' \
  "$out/flac-excerpt.flac")"
# STREAMINFO after the Vorbis comments, seek table and padding (ffmpeg cannot read this; metaflac,
# mutagen and mediainfo can).
flac -s -f -T "TITLE=Info last" -o "$work/c.flac" "$work/a.wav"
flac_blocks streaminfo-last "$work/c.flac" "$out/flac-streaminfo-last.flac"
check "STREAMINFO last" "3.5 Info last" "$("$py" -c 'import mutagen.flac as m, sys
f = m.FLAC(sys.argv[1]); print(f.info.length, f["title"][0])' "$out/flac-streaminfo-last.flac")"

# --- AIFF-C cut short: COMM promises 10 s, the first 24000 bytes hold 1.5 s (sowt: 2 bytes a
# frame) and 5.6 s (ima4: 64 frames in each 34-byte packet); ffmpeg decodes as much.
for codec in pcm_s16le:sowt adpcm_ima_qt:ima4; do
  ff -f lavfi -i "$(sine 8000 10)" -c:a "${codec%%:*}" "${bitexact[@]}" -f aiff "$work/whole.aifc"
  head -c 24000 "$work/whole.aifc" >"$out/aifc-${codec##*:}-excerpt.aifc"
done
check "sowt excerpt" "00:00:01.49" "$(ffmpeg -hide_banner -i "$out/aifc-sowt-excerpt.aifc" -f null - \
  2>&1 | grep -o 'time=[0-9:.]*' | tail -1 | cut -d= -f2)"

# --- Matroska: a live stream (unknown-size Segment) with junk where its SeekHead was --------
# Replaces the SeekHead and Void elements between the Segment header and Info with 57 bytes of
# junk; mkvinfo, ffprobe and mediainfo resync to Info.
matroska_junk() {  # input output
  "$py" - "$@" <<'EOF'
import sys
def vint(d, at):  # value and length of the EBML variable-size integer at `at`
    n = 8 - d[at].bit_length() + 1
    return int.from_bytes(d[at:at + n], 'big') & ((1 << (7 * n)) - 1), n
d = open(sys.argv[1], 'rb').read()
body = d.index(b'\x18\x53\x80\x67') + 4
body += vint(d, body)[1]
at = body
while d[at:at + 4] == b'\x11\x4D\x9B\x74' or d[at] == 0xEC:  # SeekHead, Void
    id_bytes = 1 if d[at] == 0xEC else 4
    size, n = vint(d, at + id_bytes)
    at += id_bytes + n + size
assert d[at:at + 4] == b'\x15\x49\xA9\x66'  # Info
junk = bytes((i * 73 + 41) & 0xFF for i in range(57))
open(sys.argv[2], 'wb').write(d[:body] + junk + d[at:])
EOF
}
ff "${video[@]}" -f lavfi -i "$(sine 48000 2)" -c:v libx264 -preset ultrafast -c:a libopus \
  -b:a 16k "${bitexact[@]}" -metadata title="Live title" -live 1 -f matroska "$work/live.mkv"
matroska_junk "$work/live.mkv" "$out/live-junk.mkv"
ff -f lavfi -i "$(sine 48000 2)" -c:a libopus -b:a 16k "${bitexact[@]}" -metadata title="Live opus" \
  -live 1 -f matroska "$work/live.mka"
matroska_junk "$work/live.mka" "$out/live-junk-opus.mka"
check "junk mkv" "64,48 Live title" "$(ffprobe -v quiet -select_streams v \
  -show_entries stream=width,height:format_tags=title -of csv=p=0 "$out/live-junk.mkv" | paste -sd' ')"
check "junk mka title" "Live opus" \
  "$(ffprobe -v quiet -show_entries format_tags=title -of csv=p=0 "$out/live-junk-opus.mka")"

# --- Ogg: Theora, Vorbis and Skeleton; title and artist only in the Theora comments --------
# ffmpeg writes no Skeleton stream: one is added as ffmpeg2theora writes it (its fishead on a
# first page ahead of the others, its empty last page after the other streams' first pages).
ogg_add_skeleton() {  # input output
  "$py" - "$@" <<'EOF'
import struct, sys
def crc(data):  # Ogg's CRC-32: polynomial 0x04C11DB7, not reflected, starting at 0
    c = 0
    for b in data:
        c ^= b << 24
        for _ in range(8):
            c = ((c << 1) ^ 0x04C11DB7 if c & 0x80000000 else c << 1) & 0xFFFFFFFF
    return c
def page(flags, serial, sequence, packet):
    lacing = bytes([255] * (len(packet) // 255) + [len(packet) % 255])
    raw = (b'OggS' + struct.pack('<BBqIII', 0, flags, 0, serial, sequence, 0) +
           bytes([len(lacing)]) + lacing + packet)
    return raw[:22] + struct.pack('<I', crc(raw)) + raw[26:]
d = open(sys.argv[1], 'rb').read()
pages, at = [], 0
while at < len(d):
    size = 27 + d[at + 26] + sum(d[at + 27:at + 27 + d[at + 26]])
    pages.append(d[at:at + size])
    at += size
# fishead 3.0: version, presentation and base time (numerator, denominator), UTC, segment
# length, content offset.
fishead = b'fishead\0' + struct.pack('<HHqqqq20sqq', 3, 0, 0, 1000, 0, 1000, bytes(20), 0, 0)
serial = 0x534B454C
first = [p for p in pages if p[5] & 2]
rest = [p for p in pages if not p[5] & 2]
open(sys.argv[2], 'wb').write(page(2, serial, 0, fishead) + b''.join(first) +
                              page(4, serial, 1, b'') + b''.join(rest))
EOF
}
ff "${video[@]}" -f lavfi -i "$(sine 22050 2)" -map 0 -map 1 -c:v libtheora -q:v 3 \
  -c:a libvorbis -q:a 0 "${bitexact[@]}" -metadata:s:v:0 title="Theora title" \
  -metadata:s:v:0 artist="Theora artist" -metadata:s:a:0 album="Vorbis album" "$work/tv.ogv"
ogg_add_skeleton "$work/tv.ogv" "$out/theora-vorbis-video-tags.ogv"
check "Theora tags" "Theora title|Theora artist" "$(ffprobe -v quiet -select_streams v \
  -show_entries stream_tags=title,artist -of csv=p=0 "$out/theora-vorbis-video-tags.ogv" |
  tr ',' '|')"

# --- DSF and WavPack whose headers claim more than the bytes hold ---------------------------
# DSF: 2^64 - 1 samples per channel in a 200-byte file (108 bytes of data: 432 samples).
# WavPack: 70 blocks of 32-byte headers without audio, none marked as a segment's first or last.
"$py" - "$out" <<'EOF'
import struct, sys
out = sys.argv[1]
data = bytes(108)
fmt = b'fmt ' + struct.pack('<QIIIIIIQI4x', 52, 1, 0, 2, 2, 2822400, 1, 2**64 - 1, 4096)
dsd = b'DSD ' + struct.pack('<QQQ', 28, 28 + 52 + 12 + len(data), 0)
open(out + '/dsf-huge-count.dsf', 'wb').write(dsd + fmt + b'data' + struct.pack('<Q', 12 + len(data)) + data)
flags = (9 << 23) | 1  # 44100 Hz, 2 bytes per sample, stereo, neither initial nor final
blocks = b''.join(b'wvpk' + struct.pack('<IHBBIIIII', 24, 0x410, 0, 0, 441000, 0, 0, flags, 0)
                  for _ in range(70))
open(out + '/wv-empty-blocks.wv', 'wb').write(blocks)
EOF
# WavPack by wavpack, 3 s, its first block's total then patched to about 2^40 samples: timed
# by its blocks.
tone 44100 2 3 "$work/w.wav"
wavpack -q -y "$work/w.wav" -o "$out/wv-total-beyond-data.wv"
"$py" - "$out/wv-total-beyond-data.wv" <<'EOF'
import sys
d = bytearray(open(sys.argv[1], 'rb').read())
d[11] = 0xFF                                     # high byte of the total
d[12:16] = (2**32 - 2).to_bytes(4, 'little')     # low 32 bits
open(sys.argv[1], 'wb').write(bytes(d))
EOF
echo "made; expected values in $out/expected-unusual.tsv"
