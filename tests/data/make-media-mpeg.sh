#!/bin/bash
# Makes the MPEG transport stream (TS, M2TS), program stream (MPG, VOB) and raw AAC (ADTS) test
# files in tests/data/media/ with ffmpeg and mutagen, then checks the lengths, codecs, frame
# sizes, rates and channels in expected-mpeg.tsv against ffprobe and prints what mediainfo says
# about each file.
# Needs: ffmpeg python3-mutagen mediainfo
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=$here/media
mkdir -p "$out"
py=/usr/bin/python3
ff() { ffmpeg -hide_banner -loglevel error -y "$@"; }
# Bit-exact output: no encoder version strings or creation times that change between runs.
bitexact=(-fflags +bitexact -flags:v +bitexact -flags:a +bitexact -map_metadata -1)
src() { echo "testsrc=size=$1:rate=$2:duration=$3"; }
sine() { echo "sine=frequency=440:sample_rate=$1:duration=$2"; }
x264=(-c:v libx264 -preset ultrafast -crf 45 -pix_fmt yuv420p)

# --- Transport streams (188-byte packets) ---------------------------------------------------
# H.264 whose coded size (176x112) is cropped to 176x100, at 30000/1001 frames per second, + AAC.
ff -f lavfi -i "$(src 176x100 30000/1001 3)" -f lavfi -i "$(sine 48000 3)" "${bitexact[@]}" \
  "${x264[@]}" -c:a aac -b:a 32k -ac 2 -f mpegts "$out/h264-aac.ts"
# MPEG-2 video + MP2.
ff -f lavfi -i "$(src 352x288 25 2)" -f lavfi -i "$(sine 48000 2)" "${bitexact[@]}" \
  -c:v mpeg2video -q:v 20 -c:a mp2 -b:a 64k -ac 2 -f mpegts "$out/mpeg2-mp2.ts"
# HEVC cropped from 208x128 to 200x120 at 50 frames per second + E-AC-3.
ff -f lavfi -i "$(src 200x120 50 2)" -f lavfi -i "$(sine 48000 2)" "${bitexact[@]}" \
  -c:v libx265 -preset ultrafast -crf 45 -x265-params log-level=error -pix_fmt yuv420p \
  -c:a eac3 -b:a 96k -ac 2 -f mpegts "$out/hevc-eac3.ts"
# MPEG-2 video + DTS (a private stream the PMT marks by a descriptor).
ff -f lavfi -i "$(src 176x144 25 1)" -f lavfi -i "$(sine 48000 1)" "${bitexact[@]}" \
  -c:v mpeg2video -q:v 20 -strict -2 -c:a dca -b:a 384k -ac 2 -f mpegts "$out/dts.ts"
# Broadcast-sized pictures, a few frames each: 1080i H.264 (1088 rows cropped to 1080, counted
# in field pairs) with scaling matrices + 5.1 AAC; 1440x1080 interlaced MPEG-2 + AAC; 10-bit HEVC
# 1080p + AC-3 at 44.1 kHz.
ff -f lavfi -i "$(src 1920x1080 30000/1001 0.2)" -f lavfi -i "$(sine 48000 0.2)" "${bitexact[@]}" \
  -c:v libx264 -preset ultrafast -crf 51 -pix_fmt yuv420p -flags +ildct+ilme \
  -x264opts tff=1:cqm=jvt -c:a aac -b:a 64k -ac 6 -f mpegts "$out/h264-1080i.ts"
ff -f lavfi -i "$(src 1440x1080 30000/1001 0.2)" -f lavfi -i "$(sine 48000 0.2)" "${bitexact[@]}" \
  -c:v mpeg2video -q:v 31 -flags +ildct+ilme -top 1 -c:a aac -b:a 64k -ac 2 -f mpegts \
  "$out/mpeg2-1080i.ts"
ff -f lavfi -i "$(src 1920x1080 24000/1001 0.25)" -f lavfi -i "$(sine 44100 0.25)" "${bitexact[@]}" \
  -c:v libx265 -preset ultrafast -crf 51 -x265-params log-level=error -pix_fmt yuv420p10le \
  -c:a ac3 -b:a 96k -ac 2 -f mpegts "$out/hevc-10bit.ts"
# Timestamps that wrap: they start 2.4 s before the 33-bit clock turns over.
ff -f lavfi -i "$(src 160x120 25 3)" -f lavfi -i "$(sine 48000 3)" "${bitexact[@]}" \
  -c:v mpeg2video -q:v 20 -c:a mp2 -b:a 64k -output_ts_offset 95441 -f mpegts "$out/wrap.ts"

# --- M2TS (192-byte packets) ----------------------------------------------------------------
# Interlaced H.264 (field-coded, top field first) + AC-3 5.1.
ff -f lavfi -i "$(src 176x144 25 2)" -f lavfi -i "$(sine 48000 2)" "${bitexact[@]}" \
  "${x264[@]}" -flags +ildct+ilme -x264opts tff=1 -c:a ac3 -b:a 384k -ac 6 \
  -f mpegts -mpegts_m2ts_mode 1 "$out/ac3-51.m2ts"
# H.264 at 24000/1001 + Blu-ray LPCM.
ff -f lavfi -i "$(src 176x144 24000/1001 1)" -f lavfi -i "$(sine 48000 1)" "${bitexact[@]}" \
  "${x264[@]}" -c:a pcm_bluray -ac 2 -f mpegts -mpegts_m2ts_mode 1 "$out/lpcm.m2ts"

# --- Program streams ------------------------------------------------------------------------
# VCD: MPEG-1 system stream, MPEG-1 video + MP2.
ff -f lavfi -i "$(src 352x240 30000/1001 3)" -f lavfi -i "$(sine 44100 3)" "${bitexact[@]}" \
  -c:v mpeg1video -q:v 20 -c:a mp2 -b:a 64k -ac 2 -f vcd "$out/vcd.mpg"
# Plain MPEG-1 system stream, mono MP2 at 32 kHz.
ff -f lavfi -i "$(src 160x120 25 2)" -f lavfi -i "$(sine 32000 2)" "${bitexact[@]}" \
  -c:v mpeg1video -q:v 20 -c:a mp2 -b:a 64k -ac 1 -f mpeg "$out/mpeg1.mpg"
# DVD: MPEG-2 video + AC-3, with navigation packs.
ff -f lavfi -i "$(src 352x240 30000/1001 2)" -f lavfi -i "$(sine 48000 2)" "${bitexact[@]}" \
  -c:v mpeg2video -q:v 20 -c:a ac3 -b:a 192k -ac 2 -f dvd "$out/dvd.vob"
# DVD: MPEG-2 video + LPCM.
ff -f lavfi -i "$(src 352x288 25 1)" -f lavfi -i "$(sine 48000 1)" "${bitexact[@]}" \
  -c:v mpeg2video -q:v 20 -c:a pcm_dvd -ac 2 -f dvd "$out/lpcm.vob"
# Video only.
ff -f lavfi -i "$(src 160x120 25 1)" "${bitexact[@]}" -c:v mpeg2video -q:v 20 -f vob \
  "$out/video-only.mpg"

# --- Raw AAC (ADTS) -------------------------------------------------------------------------
ff -f lavfi -i "$(sine 44100 5)" "${bitexact[@]}" -c:a aac -b:a 128k -ac 2 -f adts \
  "$out/plain.aac"
# An ID3v2 tag written by the muxer.
ff -f lavfi -i "$(sine 22050 4)" -fflags +bitexact -flags:a +bitexact -c:a aac -b:a 48k -ac 1 \
  -write_id3v2 1 -metadata title="ADTS Title" -metadata artist="ADTS Artist" \
  -metadata album="ADTS Album" -metadata genre="Speech" -metadata date=2021 -metadata track=7 \
  -f adts "$out/id3v2.aac"
# An APEv2 tag written by the muxer, then an ID3v1 tag appended by mutagen.
ff -f lavfi -i "$(sine 48000 3)" "${bitexact[@]}" -c:a aac -b:a 64k -ac 2 -write_apetag 1 \
  -metadata title="APE Title" -metadata artist="APE Artist" -f adts "$out/ape-id3v1.aac"
"$py" - "$out/ape-id3v1.aac" <<'PY'
import sys
path = sys.argv[1]
tag = b"TAG" + b"V1 Title".ljust(30, b"\0") + b"V1 Artist".ljust(30, b"\0") + \
    b"V1 Album".ljust(30, b"\0") + b"1999" + b"V1 Comment".ljust(28, b"\0") + b"\0\x03" + b"\x0c"
open(path, "ab").write(tag)
PY

# --- Cross-checks ---------------------------------------------------------------------------
files=(h264-aac.ts mpeg2-mp2.ts hevc-eac3.ts dts.ts h264-1080i.ts mpeg2-1080i.ts hevc-10bit.ts
       wrap.ts ac3-51.m2ts lpcm.m2ts vcd.mpg mpeg1.mpg
       dvd.vob lpcm.vob video-only.mpg plain.aac id3v2.aac ape-id3v1.aac)
"$py" - "$out" "${files[@]}" <<'PY'
# TIME (whole seconds), and the sizes, rates and channels in AFMT and VFMT, from ffprobe.
import csv, json, subprocess, sys
out, names = sys.argv[1], sys.argv[2:]
expected = {}
for row in csv.reader(open(f"{out}/expected-mpeg.tsv"), delimiter="\t"):
    if row and not row[0].startswith("#"):
        expected.setdefault(row[0], {})[row[1]] = row[2] if len(row) > 2 else ""
bad = 0
for name in names:
    path = f"{out}/{name}"
    probe = json.loads(subprocess.run(["ffprobe", "-v", "error", "-of", "json", "-show_format",
                                       "-show_streams", path], capture_output=True).stdout)
    s = int(float(probe["format"]["duration"]))
    time = f"({s}sec)"
    got = {"TIME": time, "VFMT": "", "AFMT": ""}
    streams = probe["streams"]
    video = next((s for s in streams if s["codec_type"] == "video"), None)
    audio = next((s for s in streams if s["codec_type"] == "audio"), None)
    if video:
        num, den = map(int, video["r_frame_rate"].split("/"))
        got["VFMT"] = f"{video['width']}x{video['height']}, {num / den:.3f}fps"
    if audio:
        got["AFMT"] = f"{audio['sample_rate']}Hz, {audio['channels']}ch"
    for code, value in got.items():
        mine = expected.get(name, {}).get(code, "")
        if value not in mine or (not value and mine and code != "VFMT"):
            print(f"MISMATCH {name} {code}: ffprobe says {value!r}, expected {mine!r}")
            bad += 1
print("cross-check:", "all agree" if bad == 0 else f"{bad} mismatches")
sys.exit(1 if bad else 0)
PY
for f in "${files[@]}"; do
  echo "== $f"
  mediainfo --Inform="General;%Format% %Duration%ms %Title% / %Performer% / %Album%
Video;%Format% %Width%x%Height% %FrameRate%fps %ScanType%
Audio;%Format% %Format_Profile% %SamplingRate%Hz %Channel(s)%ch %BitDepth%bit %BitRate%" "$out/$f"
done
du -ch "${files[@]/#/$out/}" | tail -1
