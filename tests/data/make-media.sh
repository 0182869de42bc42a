#!/bin/bash
# Makes the MP3, WAV and AVI test files in tests/data/media/ with real encoders (lame, ffmpeg
# with libmp3lame, libxvid, mjpeg, mp2 and PCM/ADPCM) and writes their expected values to
# tests/data/media/expected-mpeg-riff.tsv (file, code, value; tab, CR, LF and backslash escaped).
#
# Tags are written with mutagen, or byte by byte below where no tool writes them (Shift-JIS
# bytes, ID3v2.2, Lyrics3v2, RIFF-wrapped MP3, an INFO list after the data). Expected tag
# values come from mutagen (MP3) and ffprobe (RIFF INFO). TIME, AFMT, VFMT and AVIV come from
# the built-in reader (`sonavid info`) and are accepted only when they agree with ffprobe,
# mediainfo and mutagen: same sample rate, channels, layer and version, frame counts within
# one, playing time within one second of the true length. Any disagreement stops the script.
#
# Usage: tests/data/make-media.sh [path of the sonavid tool; default build/native/sonavid]
# Needs: ffmpeg lame python3-mutagen mediainfo
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out=$here/media
sonavid=${1:-$root/build/native/sonavid}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"
py=/usr/bin/python3  # Debian's Python, which has python3-mutagen
ff() { ffmpeg -hide_banner -loglevel error -y "$@"; }
bitexact=(-fflags +bitexact -flags:v +bitexact -flags:a +bitexact -map_metadata -1)

# --- sources: a tone with a little noise (so VBR encoders vary the bitrate) -----------------
ff -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=5" \
   -f lavfi -i "anoisesrc=d=5:a=0.05:r=44100:seed=7" \
   -filter_complex "[0][1]amix=inputs=2,aformat=channel_layouts=stereo" \
   -fflags +bitexact -flags:a +bitexact "$work/src5.wav"
ff -i "$work/src5.wav" -t 3 -ac 1 -ar 8000 -fflags +bitexact -flags:a +bitexact "$work/mono8k3.wav"

# --- MP3 streams -----------------------------------------------------------------------------
# CBR with LAME's Info header, joint stereo, MPEG-1.
lame --quiet -b 48 --resample 32 -m j "$work/src5.wav" "$out/mp3-cbr-info.mp3"
# CBR without any VBR/Info header (-t), mono.
lame --quiet -t -b 32 --resample 32 -m m "$work/src5.wav" "$out/mp3-cbr-mono-noheader.mp3"
# VBR with a Xing header, stereo (not joint).
lame --quiet -V 7 --resample 32 -m s "$work/src5.wav" "$out/mp3-vbr-xing.mp3"
# VBR without a header: only hopping through the frames gives the right length.
lame --quiet -t -V 7 --resample 32 -m j "$work/src5.wav" "$out/mp3-vbr-noheader.mp3"
# The same after 18 s of digital silence: 72 kB of equal 32 kbit/s frames, then 2 s of sound.
ff -f lavfi -i "anullsrc=r=44100:cl=stereo:d=18" -i "$work/src5.wav" \
   -filter_complex "[1]atrim=duration=2[s];[0][s]concat=n=2:v=0:a=1" \
   -fflags +bitexact -flags:a +bitexact "$work/quiet-start.wav"
lame --quiet -t -V 7 --resample 32 -m j "$work/quiet-start.wav" \
   "$out/mp3-vbr-noheader-quiet-start.mp3"
# MPEG-2 (22.05 kHz) and MPEG-2.5 (8 kHz, mono).
lame --quiet -b 24 --resample 22.05 -m j "$work/src5.wav" "$out/mp3-mpeg2.mp3"
lame --quiet -b 8 --resample 8 -m m "$work/src5.wav" "$out/mp3-mpeg25-mono.mp3"
# Layer II, dual channel is not offered by ffmpeg: plain stereo.
ff -i "$work/src5.wav" -t 3 "${bitexact[@]}" -c:a mp2 -b:a 64k -ar 32000 -f mp2 "$out/mp3-layer2.mp3"

# --- MP3 layouts found wrong by the accuracy check ------------------------------------------------
ff -i "$work/src5.wav" -t 2 -fflags +bitexact -flags:a +bitexact "$work/src2.wav"
# Free format (bitrate index 0) without an Info header: MPEG-1 and MPEG-2.5. Neither ffprobe nor
# mutagen reads these; lame's own decoder is the check (see free_format_frames below).
lame --quiet -t --freeformat -b 56 --resample 32 -m m "$work/src2.wav" "$out/mp3-freeformat.mp3"
lame --quiet -t --freeformat -b 16 --resample 8 -m m "$work/src2.wav" \
   "$out/mp3-freeformat-mpeg25.mp3"
# Constant bitrate without a header for the streams below (2 s).
lame --quiet -t -b 32 --resample 32 -m m "$work/src2.wav" "$work/cbr2.mp3"
lame --quiet -t -b 8 --resample 8 -m m "$work/src2.wav" "$work/cbr2-8k.mp3"

# --- WAV ---------------------------------------------------------------------------------------
ff -i "$work/mono8k3.wav" "${bitexact[@]}" -c:a pcm_s16le \
   -metadata title="WAV Title" -metadata artist="WAV Artist" -metadata comment="WAV Comment" \
   -metadata date="2020" -metadata genre="Ambient" -metadata copyright="(C) Sonavid" \
   -metadata encoder="Sonavid Maker" -metadata track="5" "$out/wav-pcm16-mono.wav"
ff -i "$work/mono8k3.wav" -t 2 "${bitexact[@]}" -c:a pcm_f32le "$out/wav-float.wav"
ff -i "$work/mono8k3.wav" "${bitexact[@]}" -c:a pcm_s24le -ac 1 "$out/wav-extensible-24bit.wav"
ff -i "$work/src5.wav" "${bitexact[@]}" -c:a adpcm_ima_wav -ar 11025 -ac 1 "$out/wav-ima-adpcm.wav"
ff -i "$work/src5.wav" "${bitexact[@]}" -c:a libmp3lame -b:a 32k -ar 22050 "$out/wav-mp3.wav"
ff -i "$work/src5.wav" -t 3 "${bitexact[@]}" -c:a pcm_u8 -ar 8000 -ac 2 "$work/u8.wav"

# RF64 (64-bit sizes in a "ds64" chunk), as broadcast tools and large recorders write it.
ff -i "$work/mono8k3.wav" -t 1 "${bitexact[@]}" -c:a pcm_s16le -rf64 always \
   -metadata title="RF64 Title" -metadata artist="RF64 Artist" "$out/wav-rf64.wav"

# --- AVI -------------------------------------------------------------------------------------
ff -f lavfi -i "testsrc=size=160x120:rate=10:duration=3" -i "$work/src5.wav" -t 3 \
   "${bitexact[@]}" -c:v libxvid -vtag XVID -q:v 20 -c:a libmp3lame -b:a 32k -ar 22050 \
   -metadata title="AVI Title" -metadata artist="AVI Artist" "$out/avi-xvid-mp3.avi"
ff -f lavfi -i "testsrc=size=96x64:rate=25:duration=2" -i "$work/mono8k3.wav" -t 2 \
   "${bitexact[@]}" -c:v mjpeg -q:v 20 -c:a pcm_s16le "$out/avi-mjpeg-pcm.avi"
ff -i "$work/mono8k3.wav" -t 2 "${bitexact[@]}" -c:a pcm_s16le "$out/avi-audio-only.avi"

# --- tags and hand-made containers, then the expected values ------------------------------------
"$py" - "$out" "$work" "$sonavid" <<'PY'
import os, shutil, struct, subprocess, sys, json
from mutagen.id3 import (ID3, TIT2, TPE1, TALB, COMM, TYER, TDRC, TCON, TRCK, TCOP, TSSE,
                         TCOM, TOPE, WXXX, TENC, ParseID3v1)
from mutagen.apev2 import APEv2
import mutagen.mp3

out, work, sonavid = sys.argv[1], sys.argv[2], sys.argv[3]
P = lambda name: os.path.join(out, name)

def syncsafe(n):
    return bytes([(n >> 21) & 0x7F, (n >> 14) & 0x7F, (n >> 7) & 0x7F, n & 0x7F])

def id3v1(title=b"", artist=b"", album=b"", year=b"", comment=b"", track=0, genre=255):
    pad = lambda b, n: b[:n] + b"\0" * (n - len(b[:n]))
    body = b"TAG" + pad(title, 30) + pad(artist, 30) + pad(album, 30) + pad(year, 4)
    body += pad(comment, 28) + (b"\0" + bytes([track]) if track else pad(b"", 2))
    return body + bytes([genre])

def copy(src, dst):
    shutil.copyfile(P(src), P(dst))

# ID3v2.3 in UTF-16 with every frame the reader maps, plus ID3v1.1.
copy("mp3-cbr-info.mp3", "mp3-id3v23-utf16.mp3")
t = ID3()
t.add(TIT2(encoding=1, text="日本語のタイトル"))
t.add(TPE1(encoding=1, text="Artist Ü"))
t.add(TALB(encoding=1, text="Album"))
t.add(COMM(encoding=1, lang="eng", desc="", text="Line one\r\nLine two"))
t.add(TYER(encoding=1, text="1999"))
t.add(TCON(encoding=1, text="(17)"))
t.add(TRCK(encoding=1, text="3/12"))
t.add(TCOP(encoding=1, text="(C) Sonavid"))
t.add(TSSE(encoding=1, text="LAME"))
t.add(TCOM(encoding=1, text="Composer"))
t.add(TOPE(encoding=1, text="Original Artist"))
t.add(WXXX(encoding=1, desc="home", url="http://example.com/a"))
t.add(TENC(encoding=1, text="Encoder Person"))
t.save(P("mp3-id3v23-utf16.mp3"), v2_version=3, v1=0)
with open(P("mp3-id3v23-utf16.mp3"), "ab") as f:
    f.write(id3v1(b"V1 Title", b"V1 Artist", b"V1 Album", b"1998", b"V1 Comment", 3, 17))

# ID3v2.4 in UTF-8 on the VBR file: several values in one frame, numeric genre, TDRC, and a
# comment with a description before the one without.
copy("mp3-vbr-xing.mp3", "mp3-id3v24-utf8.mp3")
t = ID3()
t.add(TIT2(encoding=3, text="Ünïcödé ✓"))
t.add(TPE1(encoding=3, text=["First", "Second"]))
t.add(COMM(encoding=3, lang="eng", desc="iTunNORM", text=" 00000000"))
t.add(COMM(encoding=3, lang="eng", desc="", text="Real comment"))
t.add(TDRC(encoding=3, text="2004-05-06"))
t.add(TCON(encoding=3, text=["13", "Jazz"]))
t.add(TRCK(encoding=3, text="7"))
t.save(P("mp3-id3v24-utf8.mp3"), v2_version=4, v1=0)

# ID3v2.3 with encoding 0 holding Shift-JIS bytes (as Japanese taggers wrote them), and an
# ID3v1 tag in Shift-JIS. Read with the Japanese code page.
def frame23(fid, payload):
    return fid.encode() + struct.pack(">I", len(payload)) + b"\0\0" + payload
def tag23(frames, padding=64):
    body = b"".join(frames) + b"\0" * padding
    return b"ID3\x03\x00\x00" + syncsafe(len(body)) + body
sj = lambda s: s.encode("cp932")
with open(P("mp3-cbr-mono-noheader.mp3"), "rb") as f:
    audio = f.read()
with open(P("mp3-sjis.mp3"), "wb") as f:
    f.write(tag23([frame23("TIT2", b"\0" + sj("日本語の曲")), frame23("TPE1", b"\0" + sj("歌手")),
                   frame23("COMM", b"\0jpn\0" + sj("コメント"))]))
    f.write(audio)
    f.write(id3v1(sj("ｶﾀｶﾅ題名"), sj("歌手名"), sj("アルバム"), b"2001", sj("説明"), 0, 12))

# ID3v1 with Latin-1 bytes only (no multi-byte UTF-8): read in the ANSI code page.
copy("mp3-mpeg2.mp3", "mp3-id3v1-latin1.mp3")
with open(P("mp3-id3v1-latin1.mp3"), "ab") as f:
    f.write(id3v1("Café Olé".encode("latin-1"), b"Na\xefve", b"", b"2010", b"ok   ", 0, 80))

# ID3v2.2 (three-letter frames), no writer offers it any more.
def frame22(fid, payload):
    return fid.encode() + struct.pack(">I", len(payload))[1:] + payload
body = (frame22("TT2", b"\0Old Title") + frame22("TP1", b"\x01\xff\xfeO\0l\0d\0") +
        frame22("TCO", b"\0(8)") + frame22("COM", b"\0eng\0Old comment") + b"\0" * 32)
with open(P("mp3-id3v22.mp3"), "wb") as f:
    f.write(b"ID3\x02\x00\x00" + syncsafe(len(body)) + body)
    with open(P("mp3-mpeg25-mono.mp3"), "rb") as g:
        f.write(g.read())

# APEv2 tag before an ID3v1 tag, and APE + Lyrics3v2 + ID3v1.
copy("mp3-layer2.mp3", "mp3-ape-id3v1.mp3")
with open(P("mp3-ape-id3v1.mp3"), "ab") as f:
    f.write(id3v1(b"V1 only title", b"V1 Artist", genre=0))
a = APEv2()
a["Title"] = "APE Title"
a["artist"] = "APE Artist"
a["Album"] = "APE アルバム"
a["Comment"] = "APE comment"
a["Year"] = "2011"
a["Genre"] = "Electronic"
a["Track"] = "9"
a.save(P("mp3-ape-id3v1.mp3"))
copy("mp3-cbr-info.mp3", "mp3-ape-lyrics3.mp3")
a.save(P("mp3-ape-lyrics3.mp3"))
lyrics = b"LYRICSBEGIN" + b"IND00003110" + b"LYR00011Hello world"
with open(P("mp3-ape-lyrics3.mp3"), "ab") as f:
    f.write(lyrics + b"%06dLYRICS200" % len(lyrics))
    f.write(id3v1(b"Lyrics file", genre=255))

# VBRI header: the Fraunhofer header put in front of the frames of the header-less VBR file.
def frames_of(data):
    pos, frames = 0, []
    rates = {3: [0,32,40,48,56,64,80,96,112,128,160,192,224,256,320]}
    srs = {3: [44100, 48000, 32000]}
    while pos + 4 <= len(data):
        h = int.from_bytes(data[pos:pos+4], "big")
        if h >> 21 != 0x7FF: break
        br = rates[3][(h >> 12) & 15] * 1000
        sr = srs[3][(h >> 10) & 3]
        size = 144 * br // sr + ((h >> 9) & 1)
        frames.append((pos, size))
        pos += size
    return frames
with open(P("mp3-vbr-noheader.mp3"), "rb") as f:
    vbr = f.read()
fr = frames_of(vbr)
first = int.from_bytes(vbr[0:4], "big")
header = (first & ~(0xF << 12) & ~(1 << 9)) | (9 << 12)  # 128 kbit/s, no padding
size = 144 * 128000 // 32000
vbri = bytearray(size)
vbri[0:4] = header.to_bytes(4, "big")
vbri[36:40] = b"VBRI"
vbri[40:46] = struct.pack(">HHH", 1, 576, 75)
vbri[46:54] = struct.pack(">II", len(vbr) + size, len(fr))
with open(P("mp3-vbri.mp3"), "wb") as f:
    f.write(bytes(vbri) + vbr)

# Cut-off files: the last 40 % of a Xing VBR file and of a PCM WAV file are missing.
with open(P("mp3-vbr-xing.mp3"), "rb") as f:
    data = f.read()
with open(P("mp3-truncated.mp3"), "wb") as f:
    f.write(data[: len(data) * 6 // 10])
with open(P("wav-pcm16-mono.wav"), "rb") as f:
    data = f.read()
with open(P("wav-truncated.wav"), "wb") as f:
    f.write(data[: len(data) * 6 // 10])

# RIFF chunks by hand.
def chunk(cid, payload):
    return cid + struct.pack("<I", len(payload)) + payload + (b"\0" if len(payload) & 1 else b"")
def info_list(items):
    return chunk(b"LIST", b"INFO" + b"".join(chunk(k, v + b"\0") for k, v in items))

# RIFF-wrapped MP3 with an INFO list (odd-length texts make pad bytes).
with open(P("mp3-cbr-info.mp3"), "rb") as f:
    mp3 = f.read()
rmp3 = b"RMP3" + chunk(b"data", mp3) + info_list(
    [(b"INAM", b"RIFF Title"), (b"IART", b"RIFF Artist"), (b"IPRD", b"Odd"),
     (b"ICMT", b"RIFF comment"), (b"ICRD", b"2002"), (b"IGNR", b"Rock"),
     (b"ICOP", b"(C)"), (b"ISFT", b"Maker"), (b"ISRC", b"CD"), (b"IENG", b"Engineer")])
with open(P("rmp3-info.wav"), "wb") as f:
    f.write(b"RIFF" + struct.pack("<I", len(rmp3)) + rmp3)

# WAV with its INFO list after the data chunk, and a data chunk of odd length.
with open(os.path.join(work, "u8.wav"), "rb") as f:
    data = f.read()
pos, chunks = 12, []
while pos + 8 <= len(data):
    cid, n = data[pos:pos+4], struct.unpack("<I", data[pos+4:pos+8])[0]
    chunks.append((cid, data[pos+8:pos+8+n]))
    pos += 8 + n + (n & 1)
fmt = dict(chunks)[b"fmt "]
pcm = dict(chunks)[b"data"][:-1]  # odd length: a pad byte follows
body = b"WAVE" + chunk(b"fmt ", fmt) + chunk(b"data", pcm) + info_list(
    [(b"INAM", b"After data"), (b"ISBJ", b"Subject"), (b"IPRD", b"Product"), (b"ITRK", b"4"),
     (b"ISRC", b"Source"), (b"IENG", b"Engineer")])
with open(P("wav-info-after-data.wav"), "wb") as f:
    f.write(b"RIFF" + struct.pack("<I", len(body)) + body)

# BW64 (the same layout under another name) with its INFO list after the data, and a
# compressed WAV cut off at 60 %, whose "fact" chunk still counts every sample.
with open(P("wav-rf64.wav"), "rb") as f:
    rf64 = f.read()
pos, chunks = 12, []
while pos + 8 <= len(rf64):
    cid, n = rf64[pos:pos+4], struct.unpack("<I", rf64[pos+4:pos+8])[0]
    if n == 0xFFFFFFFF:
        n = len(rf64) - pos - 8
    chunks.append((cid, rf64[pos+8:pos+8+n]))
    pos += 8 + n + (n & 1)
def wide_chunk(cid, payload):
    return cid + b"\xff\xff\xff\xff" + payload + (b"\0" if len(payload) & 1 else b"")
body = (b"WAVE" + b"".join(chunk(c, d) for c, d in chunks if c in (b"ds64", b"fmt ")) +
        wide_chunk(b"data", dict(chunks)[b"data"]) + chunk(b"LIST", dict(chunks)[b"LIST"]))
with open(P("wav-bw64-info-after-data.wav"), "wb") as f:
    f.write(b"BW64\xff\xff\xff\xff" + body)
with open(P("wav-ima-adpcm.wav"), "rb") as f:
    data = f.read()
with open(P("wav-ima-adpcm-truncated.wav"), "wb") as f:
    f.write(data[: len(data) * 6 // 10])

# MPEG layouts found wrong by the accuracy check.
# A stream that starts 100 KiB after its ID3v2 tag (padding outside the tag).
with open(os.path.join(work, "cbr2-8k.mp3"), "rb") as f:
    cbr8k = f.read()
with open(P("mp3-after-padding.mp3"), "wb") as f:
    f.write(tag23([frame23("TIT2", b"\0After padding")], padding=0) + b"\0" * (100 * 1024) + cbr8k)
# A constant-bitrate stream of 2 s in a file preallocated to ten times its size.
with open(os.path.join(work, "cbr2.mp3"), "rb") as f:
    cbr2 = f.read()
with open(P("mp3-cbr-then-zeros.mp3"), "wb") as f:
    f.write(cbr2 + b"\0" * (len(cbr2) * 10))
# Layer I at 44.1 kHz, 32 kbit/s mono: 230 frames of silence (no subband gets bits), padded as
# encoders pad, so that the frames average 12 * 32000 / 44100 slots of 4 bytes.
with open(P("mp3-layer1.mp3"), "wb") as f:
    rest = 0
    for i in range(230):
        rest += 12 * 32000 % 44100
        pad = 1 if rest >= 44100 else 0
        rest -= 44100 * pad
        size = (12 * 32000 // 44100 + pad) * 4
        f.write((0xFFFF10C0 | pad << 9).to_bytes(4, "big") + b"\0" * (size - 4))

# ID3v2.4 tags as some taggers write them, with the same tag in a plain form beside each for
# mutagen to read (it reads neither): appended at the end with a footer ("3DI") before an ID3v1
# tag, and with the extended-header flag set but no extended header.
def frame24(fid, payload):
    return fid.encode() + syncsafe(len(payload)) + b"\0\0" + payload
def tag24(frames, flags=0):
    body = b"".join(frames)
    return b"ID3\x04\x00" + bytes([flags]) + syncsafe(len(body)) + body
frames24 = [frame24("TIT2", b"\3" + "Appended ✓".encode()), frame24("TPE1", b"\0Tail Artist")]
ID3_AS_MUTAGEN_READS = {}
def plain_tag(name, tag):
    path = os.path.join(work, name + ".id3")
    with open(path, "wb") as f:
        f.write(tag)
    ID3_AS_MUTAGEN_READS[name] = path
with open(P("mp3-id3v24-appended.mp3"), "wb") as f:
    footed = tag24(frames24, 0x10)
    f.write(cbr8k + footed + b"3DI" + footed[3:10] + id3v1(b"V1 Title"))
plain_tag("mp3-id3v24-appended.mp3", tag24(frames24))
with open(P("mp3-id3v24-extflag.mp3"), "wb") as f:
    f.write(tag24(frames24, 0x40) + cbr8k)
plain_tag("mp3-id3v24-extflag.mp3", tag24(frames24))

# Damaged files for tests/data/crash/: each must open without harm (see the crash test).
crash = os.path.join(os.path.dirname(out), "crash")
os.makedirs(crash, exist_ok=True)
C = lambda name: os.path.join(crash, name)
with open(P("mp3-cbr-info.mp3"), "rb") as f:
    cbr = f.read()
with open(C("mp3-id3v2-size-past-end.mp3"), "wb") as f:
    f.write(b"ID3\x03\x00\x00\x7f\x7f\x7f\x7f" + frame23("TIT2", b"\0Title") + cbr[:4000])
xing = bytearray(cbr[:8000])
xing[36:52] = b"Xing" + struct.pack(">III", 3, 0xFFFFFFFF, 0xFFFFFFFF)
with open(C("mp3-xing-counts-maxed.mp3"), "wb") as f:
    f.write(bytes(xing))
with open(C("mp3-ape-count-huge.mp3"), "wb") as f:
    f.write(cbr[:4000] + b"APETAGEX" + struct.pack("<IIII", 2000, 0x7FFFFFFF, 0xFFFFFFFF, 0) +
            b"\0" * 8)
with open(C("mp3-lyrics3-size-lies.mp3"), "wb") as f:
    f.write(cbr[:4000] + b"LYRICSBEGIN" + b"999999LYRICS200" + id3v1(b"T"))
with open(C("mp3-unsync-ff-at-end.mp3"), "wb") as f:
    f.write(b"ID3\x03\x00\x80" + syncsafe(16) + b"TIT2\x00\x00\x00\x05\x00\x00\x00\xff" +
            b"\xff\xff" + cbr[:4000])
with open(C("wav-chunk-size-huge-before-fmt.wav"), "wb") as f:
    f.write(b"RIFF" + struct.pack("<I", 100) + b"WAVE" + b"junk" + struct.pack("<I", 0xFFFFFFF0) +
            chunk(b"fmt ", fmt) + chunk(b"data", b"\0" * 100))
with open(P("avi-xvid-mp3.avi"), "rb") as f:
    avi = f.read()
with open(C("avi-cut-inside-headers.avi"), "wb") as f:
    f.write(avi[:300])
with open(C("rmp3-without-data.wav"), "wb") as f:
    body = b"RMP3" + info_list([(b"INAM", b"x")])
    f.write(b"RIFF" + struct.pack("<I", 0xFFFFFFFF) + body)

# ---------------------------------------------------------------------------------------------
# Expected values.
def reader(path, codepage=None):
    cmd = [sonavid, "info", "--json"] + (["--codepage", codepage] if codepage else []) + [path]
    text = subprocess.run(cmd, check=True, capture_output=True, text=True).stdout
    return json.loads(text)[0]["values"]

def ffprobe(path):
    text = subprocess.run(["ffprobe", "-v", "error", "-count_packets", "-show_streams",
                           "-show_format", "-of", "json", path],
                          check=True, capture_output=True, text=True).stdout
    return json.loads(text)

def mediainfo(path, what):
    return subprocess.run(["mediainfo", "--Inform=" + what, path], check=True,
                          capture_output=True, text=True).stdout.strip()

def check(ok, file, what):
    if not ok:
        sys.exit(f"make-media: {file}: {what}")

def seconds_of(time_text):
    return int(time_text.split("(")[1].split("sec")[0])

rows = []
def expect(file, code, value):
    if value:
        rows.append((file, code, value))

TRUE_LENGTH = {"mp3-layer2.mp3": 3, "mp3-ape-id3v1.mp3": 3, "mp3-ape-lyrics3.mp3": 5,
               "mp3-truncated.mp3": 3, "wav-truncated.wav": 1.8, "wav-float.wav": 2,
               "wav-pcm16-mono.wav": 3, "wav-extensible-24bit.wav": 3,
               "wav-info-after-data.wav": 3, "avi-xvid-mp3.avi": 3, "avi-mjpeg-pcm.avi": 2,
               "avi-audio-only.avi": 2, "mp3-vbr-noheader-quiet-start.mp3": 20,
               "mp3-freeformat.mp3": 2, "mp3-freeformat-mpeg25.mp3": 2, "mp3-after-padding.mp3": 2,
               "mp3-cbr-then-zeros.mp3": 2, "mp3-layer1.mp3": 2, "mp3-id3v24-appended.mp3": 2,
               "mp3-id3v24-extflag.mp3": 2, "wav-rf64.wav": 1, "wav-bw64-info-after-data.wav": 1,
               "wav-ima-adpcm-truncated.wav": 3}
# Files that mutagen does not read (free format) or times by their size (padding after the
# stream): their frames are checked against lame's decoder or ffprobe's packet count alone.
FREE_FORMAT = ("mp3-freeformat.mp3", "mp3-freeformat-mpeg25.mp3")

def free_format_frames(path, samples_per_frame):
    # lame drops its decoder delay of 529 samples from what it writes.
    wav = os.path.join(work, "decoded.wav")
    subprocess.run(["lame", "--quiet", "--decode", path, wav], check=True)
    with open(wav, "rb") as f:
        data = f.read()
    channels, rate = struct.unpack("<HI", data[22:28])
    pcm = len(data) - data.index(b"data") - 8
    return (pcm // (2 * channels) + 529) // samples_per_frame

def id3_text(frame):
    return "; ".join(str(x) for x in frame.text if str(x))

def mp3_expected(name, codepage):
    path = P(name)
    values = reader(path, codepage)
    if name in FREE_FORMAT:
        afmt = values["AFMT"]
        spf = 1152 if afmt.startswith("MPEG1.0") else 576
        frames = int(afmt.rsplit(" ", 1)[1].replace("frames", ""))
        check(frames == free_format_frames(path, spf), name, afmt)
        check(abs(seconds_of(values["TIME"]) - TRUE_LENGTH[name]) <= 1, name, values["TIME"])
        for code in ("TIME", "AFMT"):
            expect(name, code, values[code])
        return
    # Layer, version, rate, mode and frame count against mutagen and ffprobe.
    info = mutagen.mp3.MP3(path).info
    probe = ffprobe(path)["streams"][0]
    afmt = values["AFMT"]
    check(afmt.startswith(f"MPEG{info.version:.1f} Layer{info.layer} "), name, afmt)
    check(f" {info.sample_rate}Hz " in afmt, name, "sample rate " + afmt)
    mode = ["Stereo", "J-Stereo", "D-Channel", "Mono"][info.mode]
    check(f"Hz {mode} " in afmt, name, "mode " + afmt)
    frames = int(afmt.rsplit(" ", 1)[1].replace("frames", ""))
    packets = int(probe["nb_read_packets"])
    check(abs(frames - packets) <= 1 or name == "mp3-truncated.mp3", name,
          f"{frames} frames, ffprobe {packets}")
    true_length = TRUE_LENGTH.get(name, 5)
    check(abs(seconds_of(values["TIME"]) - true_length) <= 1, name, values["TIME"])
    check(abs(seconds_of(values["TIME"]) - float(probe["duration"])) <= 1 or
          name in ("mp3-vbr-noheader.mp3", "mp3-vbr-noheader-quiet-start.mp3",
                   "mp3-truncated.mp3", "mp3-cbr-then-zeros.mp3",
                   "mp3-after-padding.mp3"), name,
          "ffprobe " + probe["duration"])
    for code in ("TIME", "AFMT"):
        expect(name, code, values[code])

    # Tags: what mutagen reads, with byte texts re-read in the code page where needed.
    def bytes_text(s):
        return s.encode("latin-1").decode("cp932") if codepage == "CP932" else s
    tags = {}
    try:
        id3 = ID3(ID3_AS_MUTAGEN_READS.get(name, path), translate=False, load_v1=False)
    except Exception:
        id3 = None
    if id3 is not None:
        # mutagen gives v2.2 frames their later ids.
        def get(fid, old):
            frames = id3.getall(fid)
            if not frames:
                return ""
            f = frames[0]
            return bytes_text(id3_text(f)) if f.encoding == 0 else id3_text(f)
        for code, fid, old in [("INAM", "TIT2", "TT2"), ("IART", "TPE1", "TP1"),
                               ("IPRD", "TALB", "TAL"), ("ICOP", "TCOP", "TCR"),
                               ("ISFT", "TSSE", "TSS"), ("COMP", "TCOM", "TCM"),
                               ("OART", "TOPE", "TOA"), ("ENC2", "TENC", "TEN"),
                               ("TRACK", "TRCK", "TRK")]:
            tags[code + "_v2"] = get(fid, old)
        tags["ICRD_v2"] = get("TYER", "TYE") or get("TDRC", "TDRC")
        cons = id3.getall("TCON")
        tags["IGNR_v2"] = "; ".join(cons[0].genres) if cons else ""
        comms = id3.getall("COMM")
        comm = next((c for c in comms if not c.desc), comms[0] if comms else None)
        if comm is not None:
            text = id3_text(comm)
            tags["ICMT_v2"] = bytes_text(text) if comm.encoding == 0 else text
        wxxx = id3.getall("WXXX")
        tags["URL_v2"] = wxxx[0].url if wxxx else ""
    with open(path, "rb") as f:
        f.seek(-128, 2)
        tail = f.read(128)
    if tail[:3] == b"TAG":
        v1 = ParseID3v1(tail)
        for code, fid in [("INAM", "TIT2"), ("IART", "TPE1"), ("IPRD", "TALB"),
                          ("ICRD", "TDRC"), ("TRACK", "TRCK")]:
            tags[code + "_v1"] = bytes_text(str(v1[fid])).rstrip(" ") if fid in v1 else ""
        comm = [v for k, v in v1.items() if k.startswith("COMM")]
        tags["ICMT_v1"] = bytes_text(str(comm[0])).rstrip(" ") if comm else ""
        tags["IGNR_v1"] = v1["TCON"].genres[0] if "TCON" in v1 and v1["TCON"].genres else ""
    # mutagen looks for an APE tag only right before ID3v1: show it the file without lyrics.
    ape_path = path
    with open(path, "rb") as f:
        data = f.read()
    if data[-128:-125] == b"TAG" and data[-137:-128] == b"LYRICS200":
        size = int(data[-143:-137]) + 15
        ape_path = os.path.join(work, "without-lyrics.mp3")
        with open(ape_path, "wb") as f:
            f.write(data[:-128 - size] + data[-128:])
    try:
        ape = APEv2(ape_path)
    except Exception:
        ape = None
    if ape is not None:
        for code, key in [("INAM", "Title"), ("IART", "Artist"), ("IPRD", "Album"),
                          ("ICMT", "Comment"), ("ICRD", "Year"), ("IGNR", "Genre"),
                          ("TRACK", "Track")]:
            tags[code + "_APE"] = "; ".join(ape[key]) if key in ape else ""
    for code in ("INAM", "IART", "IPRD", "ICMT", "ICRD", "IGNR", "ICOP", "ISFT", "COMP", "OART",
                 "URL", "ENC2", "TRACK"):
        for suffix in ("_v2", "_APE", "_v1"):
            if tags.get(code + suffix):
                tags[code] = tags[code + suffix]
                break
    for code, value in sorted(tags.items()):
        check(values.get(code, "") == value, name,
              f"{code}: reader {values.get(code)!r}, mutagen {value!r}")
        expect(name, code, value)

def riff_info_expected(name, values, probe_tags):
    # ffprobe's names for the INFO ids it knows.
    names = {"INAM": "title", "IART": "artist", "ICMT": "comment", "ICRD": "date",
             "IGNR": "genre", "ICOP": "copyright", "ISFT": "encoder", "IPRD": "album",
             "TRACK": "track"}
    for code, key in names.items():
        if key in probe_tags:
            check(values.get(code) == probe_tags[key], name,
                  f"{code}: reader {values.get(code)!r}, ffprobe {probe_tags[key]!r}")
            expect(name, code, probe_tags[key])

def wav_expected(name):
    path = P(name)
    values = reader(path)
    probe = ffprobe(path)
    stream = probe["streams"][0]
    afmt = values["AFMT"]
    check(f", {stream['sample_rate']}Hz, {stream['channels']}ch, " in afmt, name, afmt)
    if "bits_per_sample" in stream and int(stream["bits_per_sample"]) > 0 and \
            stream["codec_name"].startswith("pcm"):
        check(f", {stream['bits_per_sample']}bit, " in afmt, name, afmt)
    # mediainfo does not read BW64.
    rate = mediainfo(path, "Audio;%SamplingRate%")
    check(rate == "" and name.startswith("wav-bw64") or int(rate) == int(stream["sample_rate"]),
          name, "mediainfo sample rate")
    check(abs(seconds_of(values["TIME"]) - TRUE_LENGTH.get(name, 5)) <= 1, name, values["TIME"])
    for code in ("TIME", "AFMT"):
        expect(name, code, values[code])
    riff_info_expected(name, values, probe["format"].get("tags", {}))
    for code in ("ISBJ", "ISRC", "IENG"):
        expect(name, code, values.get(code, ""))

def avi_expected(name):
    path = P(name)
    values = reader(path)
    probe = ffprobe(path)
    streams = probe["streams"]
    video = next((s for s in streams if s["codec_type"] == "video"), None)
    audio = next((s for s in streams if s["codec_type"] == "audio"), None)
    vfmt, afmt = values["VFMT"], values["AFMT"]
    if video:
        check(f", {video['width']}x{video['height']}, " in vfmt, name, vfmt)
        num, den = map(int, video["r_frame_rate"].split("/"))
        check(f", {num / den:.3f}fps, " in vfmt, name, vfmt)
        check(vfmt.endswith(f", {video['nb_frames']}Frames"), name, vfmt)
    else:
        check(vfmt == "None", name, vfmt)
    if audio:
        ch = {1: "Mono", 2: "Stereo"}.get(audio["channels"], f"{audio['channels']}ch")
        check(f", {audio['sample_rate']}Hz, {ch}, " in afmt, name, afmt)
    check(abs(seconds_of(values["TIME"]) - TRUE_LENGTH.get(name, 5)) <= 1, name, values["TIME"])
    profile = mediainfo(path, "General;%Format_Profile%")
    check((profile == "OpenDML") == values["AVIV"].startswith("AVI 2.0"), name,
          f"AVIV {values['AVIV']}, mediainfo {profile!r}")
    for code in ("TIME", "AFMT", "VFMT", "AVIV"):
        expect(name, code, values[code])
    riff_info_expected(name, values, probe["format"].get("tags", {}))

for name in sorted(os.listdir(out)):
    if name.startswith("mp3-"):
        mp3_expected(name, "CP932" if "sjis" in name else None)
    elif name.startswith("wav-"):
        wav_expected(name)
    elif name.startswith("avi-"):
        avi_expected(name)

# RIFF-wrapped MP3: the stream values must be those of the wrapped file; tags as written.
values = reader(P("rmp3-info.wav"))
plain = reader(P("mp3-cbr-info.mp3"))
check(values["AFMT"] == plain["AFMT"] and values["TIME"] == plain["TIME"], "rmp3-info.wav",
      "stream differs from the wrapped file")
for code in ("TIME", "AFMT"):
    expect("rmp3-info.wav", code, values[code])
for code, value in [("INAM", "RIFF Title"), ("IART", "RIFF Artist"), ("IPRD", "Odd"),
                    ("ICMT", "RIFF comment"), ("ICRD", "2002"), ("IGNR", "Rock"), ("ICOP", "(C)"),
                    ("ISFT", "Maker"), ("ISRC", "CD"), ("IENG", "Engineer")]:
    check(values.get(code + "_rmp") == value and values.get(code) == value, "rmp3-info.wav", code)
    expect("rmp3-info.wav", code + "_rmp", value)
    expect("rmp3-info.wav", code, value)

def escape(text):
    return (text.replace("\\", "\\\\").replace("\t", "\\t").replace("\r", "\\r")
            .replace("\n", "\\n"))
with open(P("expected-mpeg-riff.tsv"), "w", encoding="utf-8") as f:
    f.write("# file\tcode\tvalue (made by tests/data/make-media.sh; \\t \\r \\n \\\\ escaped;"
            " a code not listed has no value)\n")
    for file, code, value in rows:
        f.write(f"{file}\t{code}\t{escape(value)}\n")
print(f"make-media: {len(rows)} expected values", file=sys.stderr)
PY
ls -l "$here"/crash/mp3-* "$here"/crash/wav-* "$here"/crash/avi-* "$here"/crash/rmp3-* | awk '{s+=$5} END {print "make-media: " NR " damaged files, " s " bytes"}'
ls -l "$out"/mp3-* "$out"/wav-* "$out"/avi-* "$out"/rmp3-* | awk '{s+=$5} END {print "make-media: " NR " files, " s " bytes"}'
