#!/usr/bin/env bash
# Builds the benchmark corpus with real encoders: for each of the sixteen formats a few
# hundred small files (tagged where the format has tags), plus a few large ones (a 60-minute VBR
# MP3 without a VBR header, a long MP4 with video, a large WAV, a long Ogg, a 60-minute Matroska
# movie and the same movie as a 60-minute transport stream recording).
#
# A handful of sources per format is encoded once; the many small files are copies of those
# with their own tags, written by mutagen (MP3, WMA, Ogg, APE, MP4, FLAC, AIFF, WavPack, DSF, AAC),
# by mkvpropedit (Matroska) or by a small RIFF INFO writer (WAV, AVI). VQF and DSF files come
# from the test fixtures' generators (no TwinVQ or DSD encoder is packaged). The exact playing
# time of the header-less VBR MP3 is written to expected.tsv.
#
# Needs: ffmpeg lame python3-mutagen flac wavpack sox mkvtoolnix; vorbis-tools (else ffmpeg's
#        Vorbis encoder); for APE files libjmac-java and a Java runtime (default-jre-headless).
# Usage: bench/make-corpus.sh [OUTDIR]   (default build/bench-corpus)
# Environment: CORPUS_SMALL  small files per format (default 300)
#              CORPUS_LONG_MINUTES  length of the long MP3, Ogg and Matroska movie (default 60)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
out=${1:-$root/build/bench-corpus}
# The steps below change folders: a relative OUTDIR is taken from where the script was started.
case $out in /*) ;; *) out=$PWD/$out ;; esac
small=${CORPUS_SMALL:-300}
long_min=${CORPUS_LONG_MINUTES:-60}
long_s=$((long_min * 60))

for tool in ffmpeg ffprobe lame flac wavpack sox mkvpropedit; do
  command -v "$tool" >/dev/null || { echo "make-corpus: $tool is needed" >&2; exit 1; }
done
# Debian's Python, which has python3-mutagen (a python3 earlier in PATH may lack it).
py=/usr/bin/python3
(cd / && "$py" -c 'import mutagen') || { echo "make-corpus: python3-mutagen is needed" >&2; exit 1; }

src=$(mktemp -d)
trap 'rm -rf "$src"' EXIT
rm -rf "$out.tmp"
mkdir -p "$out.tmp"/{mp3,wav,avi,vqf,wma,ogg,ape,mp4,flac,aiff,wv,dsf,mkv,ts,mpg,aac} \
  "$src"/{mp3,wav,avi,wma,ogg,ape,mp4,flac,aiff,wv,mkv,ts,mpg,aac}
ff() { ffmpeg -hide_banner -loglevel error -nostdin -y "$@"; }
sine() { ff -f lavfi -i "sine=frequency=$1:sample_rate=$2:duration=$3" -ac "$4" "$5"; }
# Noise whose loudness swings, so VBR encoders vary the bitrate from frame to frame.
swing() {
  ff -f lavfi -i "anoisesrc=d=$1:c=pink:r=$2:a=0.5,volume='0.2+0.8*abs(sin(t/3))':eval=frame" \
    -ac "$3" "$4"
}
started=$(date +%s)

echo "== sources"
sine 440 44100 8 2 "$src/s8.wav"
sine 330 22050 12 1 "$src/m12.wav"
swing 10 44100 2 "$src/n10.wav"
swing 6 22050 1 "$src/n6m.wav"
# Sources for the lossless encoders, without the LIST chunk ffmpeg writes (flac warns of it).
bare=(-fflags +bitexact -flags:a +bitexact -map_metadata -1)
ff -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=2" -ac 2 "${bare[@]}" "$src/s2.wav"
ff -i "$src/n6m.wav" "${bare[@]}" "$src/n6m-bare.wav"

# MP3: CBR with an Info header, CBR without one, VBR with Xing, VBR without any header (the
# reader hops through the frames), MPEG-2 and MPEG-2.5.
lame --quiet -b 128 "$src/s8.wav" "$src/mp3/cbr128-info.mp3"
lame --quiet -b 64 -m m -t "$src/m12.wav" "$src/mp3/cbr64-mono-noheader.mp3"
lame --quiet -V 4 "$src/n10.wav" "$src/mp3/vbr-xing.mp3"
lame --quiet -V 6 -t "$src/n10.wav" "$src/mp3/vbr-noheader.mp3"
lame --quiet -b 48 --resample 22.05 "$src/m12.wav" "$src/mp3/mpeg2-48.mp3"
lame --quiet -b 16 --resample 11.025 "$src/n6m.wav" "$src/mp3/mpeg25-16.mp3"

# WAV: 16-bit PCM, mono 8-bit, 24-bit extensible, float, IMA ADPCM.
ff -i "$src/s8.wav" -c:a pcm_s16le "$src/wav/pcm16.wav"
ff -i "$src/m12.wav" -ar 8000 -c:a pcm_u8 "$src/wav/u8-mono.wav"
ff -i "$src/n6m.wav" -c:a pcm_s24le -ac 2 "$src/wav/s24-ext.wav"
ff -i "$src/n6m.wav" -c:a pcm_f32le "$src/wav/float.wav"
ff -i "$src/s8.wav" -c:a adpcm_ima_wav "$src/wav/ima.wav"

# AVI: MPEG-4 part 2 + MP3, Motion JPEG + PCM, audio only.
ff -f lavfi -i "testsrc=size=96x72:rate=10:duration=3" -i "$src/s8.wav" -shortest \
  -c:v mpeg4 -vtag XVID -q:v 8 -c:a libmp3lame -b:a 64k "$src/avi/xvid-mp3.avi"
ff -f lavfi -i "testsrc=size=64x48:rate=5:duration=2" -i "$src/m12.wav" -shortest \
  -c:v mjpeg -q:v 10 -c:a pcm_s16le "$src/avi/mjpeg-pcm.avi"
ff -f lavfi -i "testsrc=size=96x72:rate=10:duration=3" -i "$src/n6m.wav" -shortest \
  -c:v msmpeg4 -q:v 8 -c:a adpcm_ima_wav "$src/avi/msmpeg4-ima.avi"

# ASF: WMA v2 and v1, and a WMV with audio.
ff -i "$src/s8.wav" -c:a wmav2 -b:a 48k "$src/wma/v2-48.wma"
ff -i "$src/m12.wav" -c:a wmav1 -b:a 32k "$src/wma/v1-32-mono.wma"
ff -i "$src/n10.wav" -c:a wmav2 -b:a 64k "$src/wma/v2-64.wma"
ff -f lavfi -i "testsrc=size=96x72:rate=10:duration=3" -i "$src/s8.wav" -shortest \
  -c:v wmv2 -b:v 64k -c:a wmav2 -b:a 32k "$src/wma/clip.wmv"

# Ogg: Vorbis (oggenc when installed), Opus, FLAC.
if command -v oggenc >/dev/null; then
  oggenc -Q -q 1 -o "$src/ogg/vorbis-q1.ogg" "$src/s8.wav"
  oggenc -Q -q -1 -o "$src/ogg/vorbis-mono.ogg" "$src/m12.wav"
  oggenc -Q -q 3 -o "$src/ogg/vorbis-q3.ogg" "$src/n10.wav"
else
  ff -i "$src/s8.wav" -c:a libvorbis -q:a 1 "$src/ogg/vorbis-q1.ogg"
  ff -i "$src/m12.wav" -c:a libvorbis -q:a 0 "$src/ogg/vorbis-mono.ogg"
  ff -i "$src/n10.wav" -c:a libvorbis -q:a 3 "$src/ogg/vorbis-q3.ogg"
fi
ff -i "$src/s8.wav" -c:a libopus -b:a 32k "$src/ogg/opus.ogg"
ff -i "$src/m12.wav" -c:a flac "$src/ogg/flac.ogg"

# Monkey's Audio: the Java port of the encoder (libjmac-java and a Java runtime), two levels.
if command -v java >/dev/null && [ -f /usr/share/java/jmac.jar ]; then
  java -jar /usr/share/java/jmac.jar c2 "$src/s8.wav" "$src/ape/normal.ape" >/dev/null
  java -jar /usr/share/java/jmac.jar c4 "$src/n6m.wav" "$src/ape/extrahigh.ape" >/dev/null
else
  echo "make-corpus: no Java runtime or libjmac-java: the corpus has no APE files" >&2
fi

# MP4: AAC with moov first and last, ALAC, H.264 + AAC video.
ff -i "$src/s8.wav" -c:a aac -b:a 64k -movflags +faststart "$src/mp4/aac-faststart.m4a"
ff -i "$src/n10.wav" -c:a aac -b:a 96k "$src/mp4/aac-moov-last.m4a"
ff -i "$src/m12.wav" -c:a alac "$src/mp4/alac.m4a"
ff -f lavfi -i "testsrc=size=96x72:rate=15:duration=3" -i "$src/s8.wav" -shortest \
  -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -b:a 48k "$src/mp4/h264-aac.mp4"

# FLAC: flac at its best and default levels, 24-bit 96 kHz mono, and ffmpeg's
# encoder (6 channels, 5.1).
flac -s -f --best -o "$src/flac/best-stereo.flac" "$src/s2.wav"
flac -s -f -o "$src/flac/noise-mono.flac" "$src/n6m-bare.wav"
ff -f lavfi -i "sine=frequency=1000:sample_rate=96000:duration=1.5" -af volume=0.03 -ac 1 \
  -c:a pcm_s24le "${bare[@]}" "$src/s96.wav"
flac -s -f -o "$src/flac/24bit-96k.flac" "$src/s96.wav"
ff -f lavfi -i "sine=frequency=440:sample_rate=48000:duration=1.5" -ac 6 -channel_layout 5.1 \
  -c:a flac "$src/flac/ffmpeg-6ch.flac"

# AIFF and AIFF-C: 16-bit (sox), 24-bit (ffmpeg), AIFF-C sowt and fl32.
sox -R -D "$src/s2.wav" "$src/aiff/pcm16.aiff"
ff -i "$src/n6m.wav" -ar 11025 -c:a pcm_s24be "${bare[@]}" "$src/aiff/s24-mono.aiff"
ff -i "$src/m12.wav" -ar 8000 -c:a pcm_s16le -f aiff "$src/aiff/sowt.aifc"
sox -R -D -n -r 4000 -c 1 -b 32 -e floating-point "$src/aiff/fl32.aifc" synth 2.0 sine 440 gain -20

# WavPack: lossless, hybrid (lossy, no correction file), 32-bit float.
wavpack -q -y "$src/s2.wav" -o "$src/wv/lossless.wv"
wavpack -q -y -b96 "$src/n6m-bare.wav" -o "$src/wv/hybrid.wv"
ff -i "$src/m12.wav" -ar 11025 -c:a pcm_f32le "${bare[@]}" "$src/f32.wav"
wavpack -q -y "$src/f32.wav" -o "$src/wv/float.wv"

# Matroska: H.264 + AAC, HEVC + AAC, VP9 + Opus in WebM, audio-only Opus and FLAC.
ff -f lavfi -i "testsrc=size=96x72:rate=15:duration=3" -i "$src/s8.wav" -shortest \
  -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -b:a 48k "$src/mkv/h264-aac.mkv"
ff -f lavfi -i "testsrc=size=64x48:rate=10:duration=2" -i "$src/m12.wav" -shortest \
  -c:v libx265 -preset ultrafast -crf 45 -x265-params log-level=error -pix_fmt yuv420p \
  -c:a aac -b:a 32k "$src/mkv/hevc-aac.mkv"
ff -f lavfi -i "testsrc=size=64x48:rate=15:duration=2" -i "$src/s2.wav" -shortest \
  -c:v libvpx-vp9 -deadline realtime -cpu-used 8 -b:v 20k -c:a libopus -b:a 24k \
  "$src/mkv/vp9-opus.webm"
ff -i "$src/s8.wav" -c:a libopus -b:a 32k "$src/mkv/opus.mka"
ff -i "$src/m12.wav" -c:a flac "$src/mkv/flac.mka"

# Transport streams: H.264 + AAC (TS), MPEG-2 + MP2 (TS), H.264 + AC-3 in 192-byte packets
# (M2TS). Program streams: MPEG-1 + MP2 (VCD), MPEG-2 + AC-3 (DVD). Raw AAC (ADTS).
ff -f lavfi -i "testsrc=size=96x72:rate=15:duration=3" -i "$src/s8.wav" -shortest \
  -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -b:a 48k -f mpegts "$src/ts/h264-aac.ts"
ff -f lavfi -i "testsrc=size=96x72:rate=25:duration=2" -i "$src/m12.wav" -shortest \
  -c:v mpeg2video -q:v 20 -c:a mp2 -b:a 64k -f mpegts "$src/ts/mpeg2-mp2.ts"
ff -f lavfi -i "testsrc=size=96x72:rate=25:duration=2" -i "$src/s2.wav" -shortest \
  -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a ac3 -b:a 96k -ar 48000 -f mpegts \
  -mpegts_m2ts_mode 1 "$src/ts/h264-ac3.m2ts"
ff -f lavfi -i "testsrc=size=96x72:rate=25:duration=2" -i "$src/s2.wav" -shortest \
  -c:v mpeg1video -q:v 20 -c:a mp2 -b:a 64k -f vcd "$src/mpg/vcd.mpg"
ff -f lavfi -i "testsrc=size=96x72:rate=25:duration=2" -i "$src/s2.wav" -shortest \
  -c:v mpeg2video -q:v 20 -c:a ac3 -b:a 96k -ar 48000 -f dvd "$src/mpg/dvd.vob"
ff -i "$src/s8.wav" -c:a aac -b:a 64k -f adts "$src/aac/tone.aac"
ff -i "$src/m12.wav" -c:a aac -b:a 32k -f adts "$src/aac/mono.aac"

echo "== $small tagged copies per format"
(cd / && "$py" - "$src" "$out.tmp" "$small" "$root/tests/data/make-vqf.py" \
  "$root/tests/data/make-dsf.py") <<'PY'
import importlib.util, os, shutil, struct, subprocess, sys

src, out, count, vqf_script, dsf_script = sys.argv[1], sys.argv[2], int(sys.argv[3]), *sys.argv[4:]

from mutagen.id3 import ID3, TIT2, TPE1, TALB, TRCK, COMM
from mutagen.aiff import AIFF
from mutagen.dsf import DSF
from mutagen.flac import FLAC
from mutagen.asf import ASF
from mutagen.oggvorbis import OggVorbis
from mutagen.oggopus import OggOpus
from mutagen.oggflac import OggFLAC
from mutagen.apev2 import APEv2
from mutagen.mp4 import MP4


def titles(i):
    return f"Title {i:04d}", f"Artist {i % 37}", f"Album {i % 11}"


def tag_mp3(path, i):
    title, artist, album = titles(i)
    tag = ID3()
    tag.add(TIT2(encoding=3 if i % 2 else 1, text=title))
    tag.add(TPE1(encoding=3, text=artist))
    tag.add(TALB(encoding=3, text=album))
    tag.add(TRCK(encoding=3, text=str(i % 20 + 1)))
    if i % 5 == 0:
        tag.add(COMM(encoding=3, lang="eng", desc="", text="Comment " + title))
    # Every other file also carries an ID3v1 tag at its end; a few are v2.4.
    tag.save(path, v1=2 if i % 2 else 0, v2_version=4 if i % 7 == 0 else 3)


def riff_with_title(data, title, artist):
    """The RIFF file with its INFO list replaced by one holding INAM and IART."""
    if data[:4] != b"RIFF":
        raise ValueError("not RIFF")
    form, pos, kept = data[8:12], 12, []
    while pos + 8 <= len(data):
        cid, size = data[pos:pos + 4], struct.unpack("<I", data[pos + 4:pos + 8])[0]
        end = min(pos + 8 + size + (size & 1), len(data))
        if not (cid == b"LIST" and data[pos + 8:pos + 12] == b"INFO"):
            kept.append(data[pos:end])
        pos = end

    def sub(cid, text):
        b = text.encode("latin-1") + b"\0"
        return cid + struct.pack("<I", len(b)) + b + (b"\0" if len(b) & 1 else b"")

    body = b"INFO" + sub(b"INAM", title) + sub(b"IART", artist)
    info = b"LIST" + struct.pack("<I", len(body)) + body
    payload = form + b"".join(kept) + info
    return b"RIFF" + struct.pack("<I", len(payload)) + payload


def tag_riff(path, i):
    title, artist, _ = titles(i)
    with open(path, "rb") as f:
        data = f.read()
    with open(path, "wb") as f:
        f.write(riff_with_title(data, title, artist))


def tag_asf(path, i):
    title, artist, album = titles(i)
    f = ASF(path)
    f["Title"], f["Author"], f["WM/AlbumTitle"] = title, artist, album
    f["WM/TrackNumber"] = str(i % 20 + 1)
    f.save()


def tag_ogg(path, i):
    title, artist, album = titles(i)
    for kind in (OggVorbis, OggOpus, OggFLAC):
        try:
            f = kind(path)
            break
        except Exception:
            continue
    f["TITLE"], f["ARTIST"], f["ALBUM"] = title, artist, album
    f["TRACKNUMBER"] = str(i % 20 + 1)
    f.save()


def tag_ape(path, i):
    title, artist, album = titles(i)
    tag = APEv2()
    tag["Title"], tag["Artist"], tag["Album"] = title, artist, album
    tag["Track"] = str(i % 20 + 1)
    tag.save(path)


def tag_flac(path, i):
    title, artist, album = titles(i)
    f = FLAC(path)
    f["TITLE"], f["ARTIST"], f["ALBUM"] = title, artist, album
    f["TRACKNUMBER"] = str(i % 20 + 1)
    f.save()


def tag_id3_chunk(kind):
    """A tagger for files that hold an ID3v2 tag in a chunk (AIFF) or at their end (DSF)."""
    def tag(path, i):
        title, artist, album = titles(i)
        f = kind(path)
        if f.tags is None:
            f.add_tags()
        f.tags.add(TIT2(encoding=3 if i % 2 else 1, text=title))
        f.tags.add(TPE1(encoding=3, text=artist))
        f.tags.add(TALB(encoding=3, text=album))
        f.tags.add(TRCK(encoding=3, text=str(i % 20 + 1)))
        f.save(v2_version=4 if i % 7 == 0 else 3)
    return tag


def tag_matroska(path, i):
    title, artist, _ = titles(i)
    subprocess.run(["mkvpropedit", "-q", path, "--edit", "info", "--set", "title=" + title],
                   check=True)


def tag_adts(path, i):
    title, artist, album = titles(i)
    tags = ID3()
    tags.add(TIT2(encoding=3, text=title))
    tags.add(TPE1(encoding=3, text=artist))
    tags.add(TALB(encoding=3, text=album))
    tags.save(path)


def tag_none(path, i):
    pass


def tag_mp4(path, i):
    title, artist, album = titles(i)
    f = MP4(path)
    f["\xa9nam"], f["\xa9ART"], f["\xa9alb"] = title, artist, album
    f["trkn"] = [(i % 20 + 1, 20)]
    f.save()


taggers = {"mp3": tag_mp3, "wav": tag_riff, "avi": tag_riff, "wma": tag_asf,
           "ogg": tag_ogg, "ape": tag_ape, "mp4": tag_mp4, "flac": tag_flac,
           "aiff": tag_id3_chunk(AIFF), "wv": tag_ape, "dsf": tag_id3_chunk(DSF),
           "mkv": tag_matroska, "ts": tag_none, "mpg": tag_none, "aac": tag_adts}


def load_script(name, path):
    module_spec = importlib.util.spec_from_file_location(name, path)
    module = importlib.util.module_from_spec(module_spec)
    module_spec.loader.exec_module(module)
    return module


# DSF: the fixtures' generator (a sigma-delta tone), short so that 300 copies stay small:
# DSD64 stereo and mono, DSD128 stereo.
make_dsf = load_script("make_dsf", dsf_script)
os.makedirs(os.path.join(src, "dsf"))
for name, rate, channels, seconds in [("dsd64-stereo", 2822400, 2, 0.25),
                                      ("dsd64-mono", 2822400, 1, 0.5),
                                      ("dsd128-stereo", 5644800, 2, 0.12)]:
    with open(os.path.join(src, "dsf", name + ".dsf"), "wb") as f:
        f.write(make_dsf.dsf(rate, channels, seconds))

for fmt, tagger in taggers.items():
    sources = sorted(os.listdir(os.path.join(src, fmt)))
    for i in range(count if sources else 0):
        name = sources[i % len(sources)]
        base, ext = os.path.splitext(name)
        target = os.path.join(out, fmt, f"{i:04d}-{base}{ext}")
        shutil.copyfile(os.path.join(src, fmt, name), target)
        tagger(target, i)

# VQF: the fixtures' generator, with varied bitrates, lengths and titles.
make_vqf = load_script("make_vqf", vqf_script)
modes = [(b"97012000", 1, 96, 44), (b"97012000", 0, 48, 22), (b"00052200", 1, 80, 44),
         (b"00052200", 0, 24, 11)]
for i in range(count):
    version, channels, kbps, rate = modes[i % len(modes)]
    title, artist, album = titles(i)
    data = make_vqf.vqf(version, channels, kbps, rate, 2 + i % 5,
                        [(b"NAME", title.encode()), (b"AUTH", artist.encode()),
                         (b"ALBM", album.encode())], with_dsiz=i % 3 != 0)
    with open(os.path.join(out, "vqf", f"{i:04d}-{kbps}k.vqf"), "wb") as f:
        f.write(data)
PY

echo "== large files"
# A VBR MP3 without a VBR header: its exact length needs every frame.
ff -f lavfi -i "anoisesrc=d=$long_s:c=pink:r=16000:a=0.5,volume='0.2+0.8*abs(sin(t/3))':eval=frame" \
  -ac 1 -f wav - | lame --quiet -V 9 -t -m m --resample 16 --tt "Long VBR" --ta "Bench" \
  --add-id3v2 - "$out.tmp/mp3/long-vbr-noheader.mp3"
# A long Ogg Vorbis.
if command -v oggenc >/dev/null; then
  ff -f lavfi -i "anoisesrc=d=$long_s:c=pink:r=16000:a=0.5" -ac 1 -f wav - |
    oggenc -Q -q -1 -t "Long Ogg" -o "$out.tmp/ogg/long.ogg" - 2>/dev/null
else
  ff -f lavfi -i "anoisesrc=d=$long_s:c=pink:r=16000:a=0.5" -ac 1 -c:a libvorbis -q:a -1 \
    -metadata title="Long Ogg" "$out.tmp/ogg/long.ogg"
fi
# A 30-minute MP4 with H.264 video and AAC audio, moov at the end.
ff -f lavfi -i "testsrc=size=64x48:rate=5:duration=1800" -f lavfi \
  -i "sine=frequency=500:sample_rate=22050:duration=1800" -c:v libx264 -preset ultrafast \
  -pix_fmt yuv420p -c:a aac -b:a 24k -ac 1 -metadata title="Long MP4" "$out.tmp/mp4/long-video.mp4"
# A 6-minute 44.1 kHz stereo WAV (about 63 MB).
ff -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=360" -ac 2 -c:a pcm_s16le \
  -metadata title="Large WAV" "$out.tmp/wav/large.wav"

# A 60-minute Matroska movie (H.264 + AAC, 320x240): one minute encoded, then repeated by
# stream copy, so it costs seconds to make; the title is in its Info element.
ff -f lavfi -i "testsrc2=size=320x240:rate=25:duration=60" -f lavfi \
  -i "anoisesrc=d=60:c=pink:r=44100:a=0.3" -c:v libx264 -preset ultrafast -b:v 300k \
  -pix_fmt yuv420p -c:a aac -b:a 64k -ac 2 "$src/minute.mkv"
ff -stream_loop $((long_min - 1)) -i "$src/minute.mkv" -c copy -metadata title="Long MKV" \
  "$out.tmp/mkv/long-movie.mkv"
# A 60-minute transport stream recording of the same minute: the reader reads its head and
# tail only.
ff -stream_loop $((long_min - 1)) -i "$src/minute.mkv" -c copy -f mpegts \
  "$out.tmp/ts/long-recording.ts"

# The exact playing time of the header-less VBR MP3, from its frame count.
packets=$(ffprobe -v error -count_packets -select_streams a:0 \
  -show_entries stream=nb_read_packets,sample_rate -of csv=p=0 "$out.tmp/mp3/long-vbr-noheader.mp3")
rate=${packets%%,*}
frames=${packets##*,}
# MPEG-2 Layer III: 576 samples per frame.
printf 'file\tframes\tsample_rate\tduration_ms\n' >"$out.tmp/expected.tsv"
printf 'mp3/long-vbr-noheader.mp3\t%s\t%s\t%s\n' "$frames" "$rate" \
  "$((frames * 576 * 1000 / rate))" >>"$out.tmp/expected.tsv"

rm -rf "$out"
mv "$out.tmp" "$out"
echo "== corpus in $out: $(find "$out" -type f -name '*.*' ! -name '*.tsv' | wc -l) files," \
  "$(du -sh "$out" | cut -f1), $(($(date +%s) - started)) s"
