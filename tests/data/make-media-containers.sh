#!/bin/bash
# Makes the WMA/WMV, Ogg, Monkey's Audio, MP4 and VQF test files in tests/data/media/ with
# real encoders (ffmpeg, oggenc, the Monkey's Audio encoder of libjmac-java), adds tags with
# mutagen and AtomicParsley, and prints what ffprobe, mediainfo and mutagen say about each file
# so the expected values (expected-containers.tsv) can be checked against them.
# Needs: ffmpeg vorbis-tools atomicparsley libjmac-java default-jre-headless python3-mutagen
#        mediainfo
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=$here/media
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"
# Debian's Python, which has python3-mutagen (a python3 earlier in PATH may lack it).
py=/usr/bin/python3
ff() { ffmpeg -hide_banner -loglevel error -y "$@"; }
# Bit-exact output: no encoder version strings or creation times that change between runs.
bitexact=(-fflags +bitexact -flags:v +bitexact -flags:a +bitexact -map_metadata -1)

# Source sounds and pictures.
ff -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=3" -ac 2 -fflags +bitexact -flags:a +bitexact "$work/tone3.wav"
ff -f lavfi -i "sine=frequency=660:sample_rate=44100:duration=2" -ac 2 -fflags +bitexact -flags:a +bitexact "$work/tone2.wav"
ff -f lavfi -i "sine=frequency=330:sample_rate=44100:duration=4" -ac 1 -fflags +bitexact -flags:a +bitexact "$work/mono4.wav"

# --- ASF ---------------------------------------------------------------------------------
# WMA v2 with the Content Description texts and WM/ attributes written by ffmpeg.
ff -i "$work/tone3.wav" "${bitexact[@]}" -c:a wmav2 -b:a 48k \
  -metadata title="WMA Title" -metadata author="WMA Artist" -metadata copyright="(C) Sonavid" \
  -metadata comment="WMA Comment" -metadata album="WMA Album" -metadata genre="Ambient" \
  -metadata date="2021" -metadata track="7" "$out/tone.wma"
# WMA v1, mono, then attributes only mutagen writes: zero-based WM/Track, URLs, and texts in
# the Metadata and Metadata Library objects (Japanese album, genre).
ff -i "$work/mono4.wav" "${bitexact[@]}" -c:a wmav1 -b:a 32k -ar 22050 "$work/mono.wma"
"$py" - "$work/mono.wma" "$out/mono-attributes.wma" <<'PY'
import shutil, sys
from mutagen.asf import ASF, ASFUnicodeAttribute, ASFDWordAttribute
shutil.copy(sys.argv[1], sys.argv[2])
f = ASF(sys.argv[2])
f["Title"] = "モノラル"
f["Author"] = "作者"
f["WM/Track"] = ASFDWordAttribute(4)
f["WM/AlbumCoverURL"] = "http://example.com/cover.jpg"
f["WM/PromotionURL"] = "http://example.com/promo"
f["WM/AlbumTitle"] = ASFUnicodeAttribute("アルバム", stream=1)       # Metadata object
f["WM/Genre"] = ASFUnicodeAttribute("Classical", language=1)          # Metadata Library
f["WM/Year"] = ASFUnicodeAttribute("1999", language=1, stream=1)
f.save()
PY
# WMV 8 video with WMA audio (ffmpeg's ASF muxer writes a 3.1 s preroll).
ff -f lavfi -i "testsrc=size=160x120:rate=15:duration=2" -i "$work/tone2.wav" \
  "${bitexact[@]}" -c:v wmv2 -b:v 80k -c:a wmav2 -b:a 32k -shortest \
  -metadata title="WMV Title" "$out/clip.wmv"

# --- Ogg ---------------------------------------------------------------------------------
oggenc -Q -q 1 --serial 1234 -t "Ogg Title" -a "Ogg Artist" -l "Ogg Album" -d "2020" \
  -G "Jazz" -N "5" -c "COMMENT=First comment" -c "comment=Second comment" \
  -o "$out/tone.ogg" "$work/tone3.wav"
# Constant bitrate Vorbis: nominal, minimum and maximum bitrates equal.
oggenc -Q --managed -b 64 -m 64 -M 64 --serial 99 -t "CBR" -c "DESCRIPTION=Described" \
  -o "$out/cbr.ogg" "$work/tone2.wav"
# Two chains: 3 s + 2 s.
oggenc -Q -q 0 --serial 11 -t "Chain One" -o "$work/chain1.ogg" "$work/tone3.wav"
oggenc -Q -q 0 --serial 22 -t "Chain Two" -o "$work/chain2.ogg" "$work/tone2.wav"
cat "$work/chain1.ogg" "$work/chain2.ogg" > "$out/chained.ogg"
ff -i "$work/tone3.wav" "${bitexact[@]}" -c:a libopus -b:a 32k \
  -metadata title="Opus Title" -metadata artist="Opus Artist" -metadata tracknumber="2" \
  "$out/tone.opus"
ff -i "$work/mono4.wav" "${bitexact[@]}" -c:a flac -metadata title="FLAC Title" \
  -metadata genre="Folk" "$out/mono-flac.oga"
ff -f lavfi -i "testsrc=size=96x72:rate=10:duration=2" -i "$work/tone2.wav" \
  "${bitexact[@]}" -c:v libtheora -q:v 1 -c:a libvorbis -q:a 0 -shortest \
  -metadata title="Theora Vorbis" "$out/video.ogv"

# --- Monkey's Audio -----------------------------------------------------------------------
java -jar /usr/share/java/jmac.jar c2 "$work/tone3.wav" "$work/tone.ape" >/dev/null
"$py" - "$work/tone.ape" "$out/tone.ape" <<'PY'
import shutil, sys
from mutagen.apev2 import APEv2
shutil.copy(sys.argv[1], sys.argv[2])
tag = APEv2()
for key, value in [("Title", "APE Title"), ("Artist", "APE Artist"), ("Album", "APE Album"),
                   ("Comment", "APE Comment"), ("Year", "2019"), ("Genre", "Blues"),
                   ("Track", "9")]:
    tag[key] = value
tag.save(sys.argv[2])
PY
java -jar /usr/share/java/jmac.jar c4 "$work/mono4.wav" "$out/mono-extrahigh.ape" >/dev/null

# --- MP4 ---------------------------------------------------------------------------------
# H.264 Main@3.1 + AAC LC, moov at the end (ffmpeg's default), tags by AtomicParsley.
ff -f lavfi -i "testsrc=size=160x120:rate=30000/1001:duration=2" -i "$work/tone2.wav" \
  "${bitexact[@]}" -c:v libx264 -pix_fmt yuv420p -preset veryfast -profile:v main -level 3.1 -b:v 100k \
  -c:a aac -b:a 48k -shortest "$work/clip.mp4"
AtomicParsley "$work/clip.mp4" -o "$out/clip.mp4" --title "MP4 Title" --artist "MP4 Artist" \
  --album "MP4 Album" --genre "Rock" --tracknum 3/12 --disk 1/2 --bpm 120 --comment "MP4 Comment" \
  --year 2018 --composer "MP4 Composer" --grouping "MP4 Group" --encodingTool "MP4 Tool" \
  >/dev/null
# AAC audio only, moov first, tags (custom genre text, Japanese title) by mutagen.
ff -i "$work/tone3.wav" "${bitexact[@]}" -c:a aac -b:a 64k -movflags +faststart \
  "$work/tone.m4a"
"$py" - "$work/tone.m4a" "$out/tone.m4a" <<'PY'
import shutil, sys
from mutagen.mp4 import MP4
shutil.copy(sys.argv[1], sys.argv[2])
f = MP4(sys.argv[2])
f["\xa9nam"] = "日本語のタイトル"
f["\xa9gen"] = "My Genre"
f["trkn"] = [(4, 0)]
f.save()
PY
ff -i "$work/mono4.wav" "${bitexact[@]}" -c:a alac "$out/mono-alac.m4a"
# Fragmented: empty sample tables in moov, the samples in moof/mdat pairs.
ff -f lavfi -i "testsrc=size=96x72:rate=10:duration=2" "${bitexact[@]}" -c:v libx264 -pix_fmt yuv420p \
  -preset ultrafast -profile:v baseline -movflags frag_keyframe+empty_moov "$out/fragmented.mp4"

# --- VQF ---------------------------------------------------------------------------------
"$py" "$here/make-vqf.py" "$out"

# --- Layouts found wrong by the accuracy check -------------------------------------------------
# FLAC and ALAC at 96 kHz in MP4: the sample entry's 16-bit rate field cannot hold the rate.
ff -f lavfi -i "sine=frequency=440:sample_rate=96000:duration=0.25" -ac 1 \
   -fflags +bitexact -flags:a +bitexact "$work/tone96k.wav"
ff -i "$work/tone96k.wav" "${bitexact[@]}" -c:a flac -strict -2 -f mp4 "$out/flac-96k.mp4"
ff -i "$work/tone96k.wav" "${bitexact[@]}" -c:a alac -f mp4 "$out/alac-96k.m4a"
# Cut off: 30 s of AAC with the movie box first, of which the file keeps 20000 bytes; and
# 20 s of WMA keeping its header and a twentieth of its data packets.
ff -f lavfi -i "sine=frequency=330:sample_rate=22050:duration=30" -ac 1 "${bitexact[@]}" \
   -c:a aac -b:a 32k -movflags +faststart "$work/long.m4a"
head -c 20000 "$work/long.m4a" > "$out/cut-off.m4a"
ff -f lavfi -i "sine=frequency=330:sample_rate=22050:duration=20" -ac 1 "${bitexact[@]}" \
   -c:a wmav2 -b:a 32k "$work/long.wma"
"$py" - "$work/long.wma" "$out/cut-off.wma" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
header = struct.unpack("<Q", data[16:24])[0]
packets = data[header + 50:]
open(sys.argv[2], "wb").write(data[:header + 50 + len(packets) // 20])
PY
# Damaged: every entry of the sample-size table of tone.m4a made 16 MB.
"$py" - "$out/tone.m4a" "$out/damaged-stsz.m4a" <<'PY'
import struct, sys
data = bytearray(open(sys.argv[1], "rb").read())
at = data.index(b"stsz") + 4
count = struct.unpack(">I", data[at + 8:at + 12])[0]
for i in range(count):
    data[at + 12 + 4 * i:at + 16 + 4 * i] = struct.pack(">I", 0xFFFFFF)
open(sys.argv[2], "wb").write(bytes(data))
PY
for f in flac-96k.mp4 alac-96k.m4a; do
  echo "== $f: $(ffprobe -v error -show_entries stream=sample_rate -of csv=p=0 "$out/$f") Hz (ffprobe)," \
       "$(mediainfo --Inform='Audio;%SamplingRate%' "$out/$f") Hz (mediainfo)"
done
# What the cut-off files hold: the packets ffprobe can read, and where the last one ends.
for f in cut-off.m4a cut-off.wma; do
  echo "== $f: header says $(ffprobe -v error -show_entries format=duration -of csv=p=0 "$out/$f") s;" \
       "packets held end at $(ffprobe -v error -select_streams a -show_entries packet=pts_time,duration_time \
       -of csv=p=0 "$out/$f" | tail -1 | awk -F, '{print $1 + $2}') s"
done
echo "== damaged-stsz.m4a: tone.m4a is $(mediainfo --Inform='Audio;%BitRate%' "$out/tone.m4a") bps (mediainfo)"

# Ogg: Speex (speexenc, package speex), Theora without audio, a chain that reuses its serial
# number (3 s + 2 s), and a chain of two codecs (Vorbis 3 s + Opus 2 s).
ff -i "$work/tone3.wav" -ac 1 -ar 16000 -fflags +bitexact -flags:a +bitexact "$work/speech.wav"
speexenc --quiet -w --vbr --title "Spoken" --author "Speaker" "$work/speech.wav" "$out/speex.spx"
ff -f lavfi -i "testsrc=size=64x48:rate=25:duration=2" "${bitexact[@]}" -c:v libtheora -q:v 1 \
  -metadata title="Only Video" "$out/theora-only.ogv"
oggenc -Q -q 0 --serial 77 -t "Same One" -o "$work/same1.ogg" "$work/tone3.wav"
oggenc -Q -q 0 --serial 77 -t "Same Two" -o "$work/same2.ogg" "$work/tone2.wav"
cat "$work/same1.ogg" "$work/same2.ogg" > "$out/chained-same-serial.ogg"
ff -i "$work/tone2.wav" "${bitexact[@]}" -c:a libopus -b:a 24k "$work/chain-opus.opus"
cat "$work/same1.ogg" "$work/chain-opus.opus" > "$out/chained-vorbis-opus.ogg"
"$py" - "$out" <<'PY'
import sys, mutagen
for name in ["speex.spx", "theora-only.ogv"]:
    f = mutagen.File(f"{sys.argv[1]}/{name}")
    print("==", name, "mutagen:", round(f.info.length, 3), "s,", dict(f.tags or {}),
          getattr(f.info, "sample_rate", ""), getattr(f.info, "channels", ""),
          getattr(f.info, "bitrate", ""))
PY

# --- Containers that carry MPEG audio but are not MP3 files ----------------------------------
# Matroska audio with MP3 inside, laced by mkvmerge (package mkvtoolnix): runs of whole frames.
ff -i "$work/tone2.wav" "${bitexact[@]}" -c:a libmp3lame -b:a 32k -ar 22050 -f mp3 "$work/tone2.mp3"
mkvmerge -q --deterministic 1 --disable-track-statistics-tags -o "$out/matroska-mp3.mka" \
  "$work/tone2.mp3"


for f in tone.wma mono-attributes.wma clip.wmv tone.ogg cbr.ogg chained.ogg tone.opus \
         mono-flac.oga video.ogv tone.ape mono-extrahigh.ape clip.mp4 tone.m4a \
         mono-alac.m4a fragmented.mp4; do
  echo "== $f"
  ffprobe -v error -show_entries format=duration,bit_rate:stream=codec_name,profile,sample_rate,channels,width,height,r_frame_rate,bit_rate,duration \
    -of compact "$out/$f" || true
  mediainfo --Inform="General;%Duration% ms, %OverallBitRate% bps" "$out/$f" || true
done
"$py" - "$out" <<'PY'
import sys, mutagen
for name in ["tone.ogg", "cbr.ogg", "tone.opus", "mono-flac.oga", "tone.ape", "clip.mp4",
             "tone.m4a", "mono-attributes.wma", "tone.wma"]:
    f = mutagen.File(f"{sys.argv[1]}/{name}")
    print(name, round(f.info.length, 3), dict(f.tags or {}) if name.endswith(("ogg", "opus", "oga", "ape")) else "")
PY
du -ch "$out"/*.{wma,wmv,ogg,opus,oga,ogv,ape,mp4,m4a,vqf} | tail -1
