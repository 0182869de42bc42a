#!/bin/bash
# Makes the album-tagged test files in tests/data/media/ (album-*): a short sound from real
# encoders (lame, flac, oggenc, wavpack, ffmpeg, the Monkey's Audio encoder of libjmac-java,
# mkvmerge), tagged with album facts (album artist, track and disc numbers and totals, date,
# composer, tempo) by the tools users tag with (mutagen, metaflac, wavpack -w, lame, ffmpeg
# -metadata, mkvmerge tags), one file per tag format. Then checks the album facts in
# expected-album.tsv against what mutagen (or mkvextract for Matroska) reads back.
# Needs: lame flac vorbis-tools wavpack ffmpeg mkvtoolnix libjmac-java default-jre-headless
#        python3-mutagen
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=$here/media
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"
py=/usr/bin/python3  # Debian's Python, which has python3-mutagen
ff() { ffmpeg -hide_banner -loglevel error -y "$@"; }
bitexact=(-fflags +bitexact -flags:a +bitexact -map_metadata -1)

# Half a second of a mono tone at 22050 Hz: the files stay a few kilobytes.
ff -f lavfi -i "sine=frequency=440:sample_rate=22050:duration=0.5" -ac 1 "${bitexact[@]}" \
  "$work/tone.wav"
# A quarter of a second at 8000 Hz for the uncompressed and Monkey's Audio files.
ff -f lavfi -i "sine=frequency=440:sample_rate=8000:duration=0.25" -ac 1 "${bitexact[@]}" \
  "$work/short.wav"

# --- MP3 -----------------------------------------------------------------------------------
# ID3v2.4: several composers (NUL-separated), a date with a time, number/total pairs.
lame --quiet -b 32 --noreplaygain "$work/tone.wav" "$out/album-id3v24.mp3"
# ID3v2.3 with the track number alone, and an APE tag after the audio whose track holds the
# total: the total comes from the APE tag, the rest from ID3v2 first.
lame --quiet -b 32 --noreplaygain "$work/tone.wav" "$out/album-id3v23-ape.mp3"
# ID3v1.1 only (year and track number), written by lame.
lame --quiet -b 32 --noreplaygain --id3v1-only --ty 1999 --tn 5 --tt "V1 Title" \
  "$work/tone.wav" "$out/album-id3v1.mp3"

# --- Other containers ----------------------------------------------------------------------
flac -s -f --no-padding -o "$out/album.flac" "$work/tone.wav"
metaflac --remove-all-tags --set-tag="ALBUMARTIST=Flac Album Artist" --set-tag=TRACKNUMBER=03 \
  --set-tag=TRACKTOTAL=12 --set-tag=DISCNUMBER=1 --set-tag=DISCTOTAL=2 \
  --set-tag=DATE=2019-03-01 --set-tag="COMPOSER=Composer A" --set-tag="COMPOSER=Composer B" \
  --set-tag=BPM=128 "$out/album.flac"
# Vorbis: the other names of the same facts ("ALBUM ARTIST", a "3/12" pair, TOTALDISCS).
oggenc -Q --serial 22 -q 0 -c "ALBUM ARTIST=Ogg Album Artist" -c TRACKNUMBER=3/12 \
  -c DISCNUMBER=2 -c TOTALDISCS=3 -c DATE=2020-07 -c COMPOSER=Ogg\ Composer -c BPM=127.6 \
  -o "$out/album.ogg" "$work/tone.wav"
wavpack -q -y -w "Album Artist=WV Album Artist" -w Track=3/12 -w Disc=1/2 -w Year=2021 \
  -w "Composer=WV Composer" -w BPM=96 "$work/tone.wav" -o "$out/album.wv"
java -jar /usr/share/java/jmac.jar c2 "$work/short.wav" "$out/album.ape" >/dev/null
ff -i "$work/tone.wav" "${bitexact[@]}" -c:a aac -b:a 24k "$out/album.m4a"
ff -i "$work/tone.wav" "${bitexact[@]}" -c:a wmav2 -b:a 32k "$out/album.wma"
# WAV: ffmpeg writes the track number into LIST INFO (IPRT); mutagen adds an "id3 " chunk.
ff -i "$work/short.wav" -fflags +bitexact -flags:a +bitexact -metadata track=4 \
  "$out/album-id3.wav"
ff -i "$work/short.wav" "${bitexact[@]}" -c:a pcm_s16be "$out/album-id3.aiff"

"$py" - "$out" <<'PY'
import sys
from mutagen.apev2 import APEv2
from mutagen.aiff import AIFF
from mutagen.asf import ASF, ASFUnicodeAttribute
from mutagen.id3 import ID3, TBPM, TCOM, TDRC, TIT2, TPE2, TPOS, TRCK, TYER
from mutagen.mp4 import MP4
from mutagen.wave import WAVE
out = sys.argv[1]
P = lambda name: f"{out}/{name}"

tag = ID3()
tag.add(TIT2(encoding=3, text="V24 Title"))
tag.add(TPE2(encoding=3, text="Album Artist"))
tag.add(TRCK(encoding=3, text="3/12"))
tag.add(TPOS(encoding=3, text="1/2"))
tag.add(TDRC(encoding=3, text="2019-03-01T08:00:00"))
tag.add(TCOM(encoding=3, text=["Composer A", "Composer B"]))
tag.add(TBPM(encoding=3, text="128"))
tag.save(P("album-id3v24.mp3"), v2_version=4)

tag = ID3()
tag.add(TPE2(encoding=1, text="V23 Album Artist"))
tag.add(TRCK(encoding=1, text="7"))
tag.add(TYER(encoding=1, text="2018"))
tag.save(P("album-id3v23-ape.mp3"), v2_version=3)
ape = APEv2()
ape["Track"] = "7/120"
ape["Disc"] = "2/3"
ape["Composer"] = "APE Composer"
ape["Album Artist"] = "APE Album Artist"
ape.save(P("album-id3v23-ape.mp3"))

ape = APEv2()
for key, value in [("Album Artist", "Monkey Album Artist"), ("Track", "10/12"), ("Disc", "1"),
                   ("Year", "2017"), ("Composer", "Monkey Composer"), ("BPM", "140")]:
    ape[key] = value
ape.save(P("album.ape"))

m4a = MP4(P("album.m4a"))
m4a["aART"] = ["MP4 Album Artist"]
m4a["trkn"] = [(3, 120)]
m4a["disk"] = [(1, 2)]
m4a["\xa9day"] = ["2019-03-01T08:00:00Z"]
m4a["\xa9wrt"] = ["MP4 Composer"]
m4a["tmpo"] = [128]
m4a.save()

wma = ASF(P("album.wma"))
for key, value in [("WM/AlbumArtist", "WMA Album Artist"), ("WM/TrackNumber", "3"),
                   ("WM/PartOfSet", "1/2"), ("WM/Year", "2016"), ("WM/Composer", "WMA Composer"),
                   ("WM/BeatsPerMinute", "100")]:
    wma[key] = [ASFUnicodeAttribute(value)]
wma.save()

wav = WAVE(P("album-id3.wav"))
wav.add_tags()
wav.tags.add(TPE2(encoding=3, text="WAV Album Artist"))
wav.tags.add(TRCK(encoding=3, text="4/10"))
wav.tags.add(TDRC(encoding=3, text="2015"))
wav.save(v2_version=4)

aiff = AIFF(P("album-id3.aiff"))
aiff.add_tags()
aiff.tags.add(TPE2(encoding=1, text="AIFF Album Artist"))
aiff.tags.add(TRCK(encoding=1, text="3/120"))
aiff.tags.add(TPOS(encoding=1, text="2/2"))
aiff.tags.add(TYER(encoding=1, text="2014"))
aiff.save(v2_version=3)
PY

# Matroska: the album's tag (level 50) holds its artist, its number among the discs and its
# track count; the track's (level 30) its own artist, number, date, composer and tempo.
cat >"$work/album-tags.xml" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<Tags>
  <Tag>
    <Targets><TargetTypeValue>50</TargetTypeValue></Targets>
    <Simple><Name>TITLE</Name><String>MKA Album</String></Simple>
    <Simple><Name>ARTIST</Name><String>MKA Album Artist</String></Simple>
    <Simple><Name>PART_NUMBER</Name><String>2</String></Simple>
    <Simple><Name>TOTAL_PARTS</Name><String>9</String></Simple>
  </Tag>
  <Tag>
    <Targets><TargetTypeValue>30</TargetTypeValue></Targets>
    <Simple><Name>TITLE</Name><String>MKA Track</String></Simple>
    <Simple><Name>ARTIST</Name><String>MKA Track Artist</String></Simple>
    <Simple><Name>PART_NUMBER</Name><String>5</String></Simple>
    <Simple><Name>DATE_RELEASED</Name><String>2013-05-06</String></Simple>
    <Simple><Name>COMPOSER</Name><String>MKA Composer</String></Simple>
    <Simple><Name>BPM</Name><String>110</String></Simple>
  </Tag>
</Tags>
EOF
ff -i "$work/tone.wav" "${bitexact[@]}" -c:a libvorbis -q:a 0 "$work/tone.ogg"
mkvmerge -q --deterministic 22 --disable-track-statistics-tags -o "$out/album-parts.mka" \
  --global-tags "$work/album-tags.xml" "$work/tone.ogg"

# --- Cross-checks --------------------------------------------------------------------------
# Each expected album fact must be what the tags hold, as mutagen (mkvextract for Matroska)
# reads them: the same text, or the same number where the code shows a number.
"$py" - "$out" "$here/../.." <<'PY'
import csv, re, subprocess, sys
import mutagen
out = sys.argv[1]
expected = {}
for row in csv.reader(open(f"{out}/expected-album.tsv"), delimiter="\t"):
    if row and not row[0].startswith("#"):
        expected.setdefault(row[0], {})[row[1]] = row[2] if len(row) > 2 else ""

def mka_tags(path):
    xml = subprocess.run(["mkvextract", path, "tags", "-"], capture_output=True,
                         text=True).stdout
    tags = {}
    for body in re.findall(r"<Tag>(.*?)</Tag>", xml, re.S):
        level = re.search(r"<TargetTypeValue>(\d+)</TargetTypeValue>", body)
        level = level.group(1) if level else "50"  # left out when it is the default
        for name, value in re.findall(r"<Name>(.*?)</Name>\s*<String>(.*?)</String>", body):
            tags[f"{name}@{level}"] = value
    return tags

def raw_facts(name):
    """The tag texts each fact comes from, as the tools read them."""
    path = f"{out}/{name}"
    if name.endswith(".mka"):
        t = mka_tags(path)
        return {"AART": t.get("ARTIST@50"), "TRACK": t.get("PART_NUMBER@30"),
                "TRACKS": t.get("TOTAL_PARTS@50"), "DISC": t.get("PART_NUMBER@50"),
                "DATE": t.get("DATE_RELEASED@30"), "COMPOSER": t.get("COMPOSER@30"),
                "BPM": t.get("BPM@30")}
    f = mutagen.File(path)
    tags = f.tags
    apes = {}
    try:
        apes = {k.lower(): str(v) for k, v in mutagen.apev2.APEv2(path).items()}
    except Exception:
        pass
    def first(*keys):
        for key in keys:
            if tags is not None and key in tags:
                value = tags[key]
                if hasattr(value, "text"):
                    return "; ".join(str(x) for x in value.text)
                if isinstance(value, list):
                    if isinstance(value[0], (tuple, int)):
                        return value[0]
                    return "; ".join(str(x) for x in value)
                return str(value)
        for key in keys:
            if key.lower() in apes:
                return apes[key.lower()].replace("\x00", "; ")
        return None
    if name.endswith((".flac", ".ogg")):
        facts = {"AART": first("albumartist", "album artist"), "TRACK": first("tracknumber"),
                 "TRACKS": first("tracktotal", "totaltracks"), "DISC": first("discnumber"),
                 "DISCS": first("disctotal", "totaldiscs"), "DATE": first("date"),
                 "COMPOSER": first("composer"), "BPM": first("bpm")}
        return facts
    if name.endswith(".m4a"):
        trkn, disk = first("trkn"), first("disk")
        return {"AART": first("aART"), "TRACK": str(trkn[0]), "TRACKS": str(trkn[1]),
                "DISC": str(disk[0]), "DISCS": str(disk[1]), "DATE": first("\xa9day"),
                "COMPOSER": first("\xa9wrt"), "BPM": str(first("tmpo"))}
    if name.endswith(".wma"):
        return {"AART": first("WM/AlbumArtist"), "TRACK": first("WM/TrackNumber"),
                "DISC": first("WM/PartOfSet"), "DATE": first("WM/Year"),
                "COMPOSER": first("WM/Composer"), "BPM": first("WM/BeatsPerMinute")}
    # ID3v2 (MP3, WAV, AIFF, DSF), then the APE tag, then ID3v1.
    facts = {"AART": first("TPE2", "Album Artist"), "TRACK": first("TRCK", "Track"),
             "DISC": first("TPOS", "Disc"), "DATE": first("TYER", "TDRC", "Year"),
             "COMPOSER": first("TCOM", "Composer"), "BPM": first("TBPM", "BPM")}
    if name == "album-id3v23-ape.mp3":
        facts["TRACKS"] = apes["track"].split("/")[1]
    if name == "album-id3v1.mp3":
        v1 = open(path, "rb").read()[-128:]
        facts = {"DATE": v1[93:97].decode(), "TRACK": str(v1[126])}
    return facts

def number(text):
    return str(int(text)) if text and text.strip().isdigit() and int(text) else ""

bad = 0
for name, codes in expected.items():
    facts = {k: v for k, v in raw_facts(name).items() if v is not None}
    track, disc = facts.get("TRACK", ""), facts.get("DISC", "")
    tracks = facts.get("TRACKS") or (track.split("/")[1] if "/" in track else "")
    discs = facts.get("DISCS") or (disc.split("/")[1] if "/" in disc else "")
    width = max(2, len(number(tracks)))
    bpm = facts.get("BPM", "")
    want = {"AART": facts.get("AART", ""), "COMPOSER": facts.get("COMPOSER", ""),
            "TRACK1": number(track.split("/")[0]), "TRACK2": number(tracks),
            "TRACK00": number(track.split("/")[0]).zfill(width) if number(track.split("/")[0]) else "",
            "DISC1": number(disc.split("/")[0]), "DISC2": number(discs),
            "YEAR": facts.get("DATE", "")[:4],
            "BPM": str(round(float(bpm) + 1e-9)) if bpm else ""}
    for code, value in codes.items():
        if code in want and want[code] != value:
            print(f"MISMATCH {name} {code}: expected-album.tsv {value!r}, tags {want[code]!r}")
            bad += 1
    print("==", name, facts)
sys.exit(1 if bad else 0)
PY
