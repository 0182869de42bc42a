#!/bin/bash
# Makes the Matroska and WebM test files in tests/data/media/ with ffmpeg (several video and
# audio codecs, WebM, a file muxed into a pipe, which has no Duration), mkvmerge (titles,
# tags at target levels 50 and 30, a tag that names a track, several audio tracks) and
# mkvpropedit (a title and tags added to a finished file), then checks the lengths, codecs,
# frame sizes, rates and channels in expected-matroska.tsv against ffprobe and mkvinfo and
# prints what mediainfo and mkvextract say about the titles and tags.
# Needs: ffmpeg mkvtoolnix mediainfo python3
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=$here/media
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"
ff() { ffmpeg -hide_banner -loglevel error -y "$@"; }
# Bit-exact output: no encoder version strings or creation times that change between runs.
bitexact=(-fflags +bitexact -flags:v +bitexact -flags:a +bitexact -map_metadata -1)
# mkvmerge and mkvpropedit: the same UIDs on every run, no date, no statistics tags.
mkvmerge_() { mkvmerge -q --deterministic 18 --disable-track-statistics-tags "$@"; }
src() { echo "testsrc=size=64x48:rate=$1:duration=$2"; }
sine() { echo "sine=frequency=440:sample_rate=$1:duration=$2"; }

# --- ffmpeg --------------------------------------------------------------------------------
# H.264 + AAC; the title goes to Info, the other texts to a Tags element with empty Targets
# (level 50). ffmpeg names the date DATE, which is not one of the names read.
ff -f lavfi -i "$(src 25 2)" -f lavfi -i "$(sine 48000 2)" "${bitexact[@]}" \
  -c:v libx264 -preset ultrafast -crf 45 -pix_fmt yuv420p -c:a aac -b:a 16k -ac 2 \
  -metadata title="H264 Title" -metadata artist="FF Artist" -metadata genre="Drama" \
  -metadata comment="FF Comment" -metadata date="2020" "$out/h264-aac.mkv"
# HEVC at 30000/1001 frames per second + AC-3.
ff -f lavfi -i "$(src 30000/1001 1)" -f lavfi -i "$(sine 48000 1)" "${bitexact[@]}" \
  -c:v libx265 -preset ultrafast -crf 45 -x265-params log-level=error -pix_fmt yuv420p \
  -c:a ac3 -b:a 64k -ac 2 "$out/hevc-ac3.mkv"
# AV1 + 24-bit FLAC (BitDepth 24).
ff -f lavfi -i "$(src 24 1)" -f lavfi -i "$(sine 44100 1)" "${bitexact[@]}" \
  -c:v libaom-av1 -cpu-used 8 -crf 60 -pix_fmt yuv420p \
  -c:a flac -sample_fmt s32 -bits_per_raw_sample 24 -ac 1 "$out/av1-flac.mkv"
# Interlaced H.264 at 720x576 (MBAFF, top field first), no audio: ffmpeg sets FlagInterlaced.
ff -f lavfi -i "testsrc=size=720x576:rate=25:duration=0.4" "${bitexact[@]}" \
  -c:v libx264 -preset ultrafast -crf 51 -pix_fmt yuv420p -flags +ildct+ilme \
  -x264-params tff=1 -field_order tt "$out/interlaced.mkv"
# WebM: VP9 + Opus.
ff -f lavfi -i "$(src 15 2)" -f lavfi -i "$(sine 48000 2)" "${bitexact[@]}" \
  -c:v libvpx-vp9 -deadline realtime -cpu-used 8 -b:v 20k -c:a libopus -b:a 12k -ac 2 \
  -metadata title="WebM Title" "$out/vp9-opus.webm"
# Muxed into a pipe: unknown Segment size, no Duration, no Cues; the length is the last
# block's timestamp (3.001 s).
ff -f lavfi -i "$(src 10 3)" -f lavfi -i "$(sine 48000 3)" "${bitexact[@]}" \
  -c:v libx264 -preset ultrafast -crf 45 -pix_fmt yuv420p -c:a libopus -b:a 8k -ac 1 \
  -f matroska pipe: | cat >"$out/piped-no-duration.mkv"
# Audio only: 24-bit PCM (MKA).
ff -f lavfi -i "$(sine 8000 1)" "${bitexact[@]}" -c:a pcm_s24le -ac 1 "$out/pcm24.mka"

# --- mkvmerge ------------------------------------------------------------------------------
cat >"$work/album-tags.xml" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<Tags>
  <Tag>
    <Targets><TargetTypeValue>50</TargetTypeValue></Targets>
    <Simple><Name>TITLE</Name><String>アルバム</String></Simple>
    <Simple><Name>ARTIST</Name><String>Album Artist</String></Simple>
    <Simple><Name>GENRE</Name><String>Ambient</String></Simple>
    <Simple><Name>DATE_RECORDED</Name><String>2018-05-01</String></Simple>
  </Tag>
  <Tag>
    <Targets><TargetTypeValue>30</TargetTypeValue></Targets>
    <Simple><Name>TITLE</Name><String>曲の題名</String></Simple>
    <Simple><Name>ARTIST</Name><String>Track Artist</String></Simple>
    <Simple><Name>PART_NUMBER</Name><String>4</String></Simple>
  </Tag>
</Tags>
EOF
# Tags for one track (mkvmerge writes its TagTrackUID): not the file's.
cat >"$work/track-tags.xml" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<Tags>
  <Tag>
    <Targets><TargetTypeValue>30</TargetTypeValue></Targets>
    <Simple><Name>TITLE</Name><String>Track Tag Title</String></Simple>
    <Simple><Name>COMMENT</Name><String>Track Comment</String></Simple>
    <Simple><Name>PART_NUMBER</Name><String>99</String></Simple>
  </Tag>
</Tags>
EOF
cat >"$work/movie-tags.xml" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<Tags>
  <Tag>
    <Targets><TargetTypeValue>70</TargetTypeValue></Targets>
    <Simple><Name>COMMENT</Name><String>Collection Comment</String></Simple>
    <Simple><Name>GENRE</Name><String>Anime</String></Simple>
  </Tag>
  <Tag>
    <Targets><TargetTypeValue>50</TargetTypeValue></Targets>
    <Simple><Name>TITLE</Name><String>Movie Tag Title</String></Simple>
    <Simple><Name>COMMENT</Name><String>Movie Comment</String></Simple>
    <Simple><Name>DATE_RELEASED</Name><String>2021</String></Simple>
  </Tag>
  <Tag>
    <Targets><TargetTypeValue>30</TargetTypeValue></Targets>
    <Simple><Name>DATE_RECORDED</Name><String>2019</String></Simple>
  </Tag>
</Tags>
EOF
# An album track: Opus, tags at levels 50 and 30 and a track's tag; no Info title.
ff -f lavfi -i "$(sine 48000 3)" "${bitexact[@]}" -c:a libopus -b:a 8k -ac 1 "$work/tone.opus"
mkvmerge_ -o "$out/album.mka" --global-tags "$work/album-tags.xml" \
  --tags 0:"$work/track-tags.xml" "$work/tone.opus"
# A movie: H.264 at 24000/1001, then AC-3 and AAC audio tracks (the first one counts); a
# Japanese Info title over the level-50 TITLE tag; tags at levels 70, 50 and 30, one track's.
ff -f lavfi -i "$(src 24000/1001 2)" "${bitexact[@]}" -c:v libx264 -preset ultrafast -crf 45 \
  -pix_fmt yuv420p "$work/video.h264"
ff -f lavfi -i "$(sine 48000 2)" "${bitexact[@]}" -c:a ac3 -b:a 40k -ac 2 "$work/audio.ac3"
ff -f lavfi -i "$(sine 44100 2)" "${bitexact[@]}" -c:a aac -b:a 16k -ac 1 "$work/audio.aac"
mkvmerge_ -o "$out/multi-audio.mkv" --title "日本語の題名" --global-tags "$work/movie-tags.xml" \
  --default-duration 0:24000/1001p "$work/video.h264" "$work/audio.ac3" \
  --tags 0:"$work/track-tags.xml" "$work/audio.aac"

# --- mkvpropedit ---------------------------------------------------------------------------
# A finished ffmpeg file (VP8 + Vorbis, no title, no tags) given a title and tags afterwards:
# the Tags element goes to the end of the file.
cat >"$work/edit-tags.xml" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<Tags>
  <Tag>
    <Targets />
    <Simple><Name>ARTIST</Name><String>Edited Artist</String></Simple>
    <Simple><Name>DATE_RELEASED</Name><String>2024-01-02</String></Simple>
  </Tag>
</Tags>
EOF
ff -f lavfi -i "$(src 20 2)" -f lavfi -i "$(sine 32000 2)" "${bitexact[@]}" \
  -c:v libvpx -deadline realtime -cpu-used 8 -b:v 20k -c:a libvorbis -q:a 0 -ac 2 \
  "$out/propedit.mkv"
mkvpropedit -q "$out/propedit.mkv" --edit info --set title="Edited Title" \
  --tags global:"$work/edit-tags.xml"

# --- Cross-checks --------------------------------------------------------------------------
files=(h264-aac.mkv hevc-ac3.mkv av1-flac.mkv vp9-opus.webm piped-no-duration.mkv pcm24.mka
       album.mka multi-audio.mkv propedit.mkv interlaced.mkv)
python3 - "$out" "${files[@]}" <<'PY'
# TIME, and the codec-independent parts of AFMT and VFMT, from ffprobe (the piped file's
# length from the last block mkvinfo lists).
import csv, json, re, subprocess, sys
out, names = sys.argv[1], sys.argv[2:]
expected = {}
for row in csv.reader(open(f"{out}/expected-matroska.tsv"), delimiter="\t"):
    if row and not row[0].startswith("#"):
        expected.setdefault(row[0], {})[row[1]] = row[2] if len(row) > 2 else ""
def hms(s):
    s = int(s)
    return f"{s // 3600:02}:{s // 60 % 60:02}:{s % 60:02} ({s}sec)"
bad = 0
for name in names:
    path = f"{out}/{name}"
    probe = json.loads(subprocess.run(["ffprobe", "-v", "error", "-of", "json", "-show_format",
                                       "-show_streams", path], capture_output=True).stdout)
    duration = probe["format"].get("duration")
    if duration is None:
        blocks = subprocess.run(["mkvinfo", "-v", path], capture_output=True, text=True).stdout
        h, m, s = re.findall(r"timestamp (\d+):(\d+):([\d.]+)", blocks)[-1]
        duration = int(h) * 3600 + int(m) * 60 + float(s)
    got = {"TIME": hms(float(duration)), "VFMT": "", "AFMT": ""}
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
        if value not in mine or (not value and mine):
            print(f"MISMATCH {name} {code}: tools say {value!r}, expected {mine!r}")
            bad += 1
print("cross-check:", "all agree" if bad == 0 else f"{bad} mismatches")
sys.exit(1 if bad else 0)
PY
for f in "${files[@]}"; do
  echo "== $f"
  mediainfo --Inform="General;doc=%Format%, title=%Title%, movie=%Movie%, album=%Album%, track=%Track%, part=%Track/Position%, artist=%Performer%, genre=%Genre%, comment=%Comment%, released=%Released_Date%, recorded=%Recorded_Date%" "$out/$f"
  mkvextract "$out/$f" tags - 2>/dev/null | grep -E "TargetTypeValue|TrackUID|<Name>|<String>" |
    sed -E 's/^ +//' | tr '\n' ' ' || true
  echo
done
du -ch "${files[@]/#/$out/}" | tail -1
