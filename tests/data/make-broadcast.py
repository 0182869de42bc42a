#!/usr/bin/env python3
"""Writes TV recordings with their own service information, for the tests: ffmpeg makes a
second of tiny video and sound as an MPEG transport stream (and its DVB SDT, from the
service_name and service_provider metadata); this script then puts SDT, EIT and TOT/TDT sections
of its own (with their CRC-32) in front of the stream's packets, in place of ffmpeg's SDT where
it writes an ISDB one.

  media/broadcast-isdb-present.ts    ISDB-T: EIT present/following whose present event is the
                                     second of its section; texts with every shift and
                                     designation; TOT with Japan's local time offset
  media/broadcast-isdb-schedule.m2ts ISDB BS network id, 192-byte packets, no present/following:
                                     the schedule event that holds the TOT time
  media/broadcast-dvb.ts             ffmpeg's DVB SDT; EIT with character-table selectors; TDT
  media/expected-broadcast.tsv       file, field ("program": the service read), expected text (CR, LF and backslash escaped)
  broadcast-texts.tsv                ARIB texts: case, coded bytes (hex), expected text, and
                                     where libaribb24 departs from the standard, how

The ARIB texts are assembled from the codes of ARIB STD-B24 volume 1 (its second part); the expected
texts beside them are what the standard says they show.

    python3 tests/data/make-broadcast.py   (from the repository root; needs ffmpeg)
"""
import os
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
MEDIA = os.path.join(HERE, "media")

# --- ARIB STD-B24 8-bit codes ------------------------------------------------------------
ESC, LS0, LS1, SS2, SS3, APR = b"\x1b", b"\x0f", b"\x0e", b"\x19", b"\x1d", b"\x0d"
LS2, LS3, LS1R, LS2R, LS3R = ESC + b"\x6e", ESC + b"\x6f", ESC + b"\x7e", ESC + b"\x7d", ESC + b"\x7c"
MSZ, NSZ = b"\x89", b"\x8a"
KANJI_TO_G0 = ESC + b"\x24\x42"


def jis(text):
    """JIS X 0208 codes (7-bit pairs) of kanji, kana or symbols."""
    return bytes(b & 0x7F for b in text.encode("euc_jp"))


def gr(code_bytes):
    return bytes(b | 0x80 for b in code_bytes)


def kana(text):
    """Hiragana or katakana set codes: the cell of row 4 or 5, one byte each."""
    return bytes(jis(ch)[1] for ch in text)


def ascii_(text):
    return text.encode("ascii")


FW = {c: chr(ord(c) + 0xFEE0) for c in map(chr, range(0x21, 0x7F))}
FW[" "] = "\u3000"


def full(text):
    return "".join(FW.get(c, c) for c in text)


# (case, coded bytes, expected text, libaribb24's departure or "")
ARIB_TEXTS = [
    ("kanji in GL, hiragana in GR", jis("番組") + gr(kana("のなまえ")), "番組のなまえ", ""),
    ("LS1 alphanumerics at normal size are full-width, LS0 back",
     LS1 + ascii_("NHK 1") + LS0 + jis("総合"), full("NHK 1") + "総合", ""),
    ("MSZ gives half-width alphanumerics, NSZ full-width again",
     MSZ + LS1 + ascii_("abc 12") + NSZ + ascii_("Z"), "abc 12" + full("Z"), "ignores MSZ"),
    ("LS2 and LS3 put hiragana and katakana in GL",
     LS2 + kana("ひらがな") + LS3 + kana("カタカナ") + LS0 + jis("字"), "ひらがなカタカナ字", ""),
    ("LS1R, LS3R and LS2R put alphanumerics, katakana and hiragana in GR",
     LS1R + gr(ascii_("TV")) + LS3R + gr(kana("ドラマ")) + LS2R + gr(kana("だ")),
     full("TV") + "ドラマだ", ""),
    ("SS2 and SS3 shift one character", jis("第") + SS2 + kana("の") + SS3 + kana("ワ") + jis("話"),
     "第のワ話", ""),
    ("katakana and hiragana extras", LS3 + bytes([0x77, 0x79]) + LS2 + bytes([0x7B, 0x7C]),
     "ヽー「」", ""),
    ("half-width katakana at middle size", MSZ + LS3 + kana("テレビ") + NSZ + kana("テ"),
     "ﾃﾚﾋﾞテ", "ignores MSZ"),
    ("JIS X 0201 katakana designated to G3", ESC + b"\x2b\x49" + SS3 + b"\x36" + MSZ + SS3 + b"\x36",
     "カｶ", "ignores MSZ"),
    ("additional symbols in the kanji set", jis("映画") + b"\x7a\x56" + b"\x7a\x58",
     "映画\U0001F211\U0001F213", ""),
    ("additional symbols set by SS3 while GL holds alphanumerics",
     ESC + b"\x24\x2b\x3b" + LS1 + ascii_("A") + SS3 + b"\x7a\x6b" + ascii_("B"),
     full("A") + "\U0001F21F" + full("B"), "reads one byte after SS3"),
    ("JIS X 0213 plane 1: beyond the BMP and a combining pair",
     ESC + b"\x24\x39" + b"\x2e\x22" + b"\x24\x77" + KANJI_TO_G0 + jis("字"),
     "\U0002000Bか\u309A字", "has no JIS X 0213"),
    ("JIS X 0213 plane 2 in G2 through GR", ESC + b"\x24\x2a\x3a" + b"\xa1\xa1" + jis("字"),
     "\U00020089字", "has no JIS X 0213"),
    ("two-byte DRCS gives one geta mark",
     ESC + b"\x24\x28\x20\x40" + b"\x21\x21" + KANJI_TO_G0 + jis("字"), "\u3013字",
     "two geta marks per DRCS character"),
    ("one-byte DRCS", ESC + b"\x29\x20\x41" + LS1 + b"\x21" + LS0 + jis("字"), "\u3013字", ""),
    ("APR is a line break", jis("一行") + APR + jis("二行"), "一行\r\n二行", "drops APR"),
    ("controls and their parameters are skipped",
     b"\x90\x48" + b"\x9b\x31\x3b\x32\x20\x53" + b"\x8b\x60" + b"\x90\x20\x41" + jis("字"),
     "字", ""),
]

# Texts of the fixture events, and what they read as.
TITLE = (b"\x7a\x50" + jis("番組") + LS1 + ascii_("No.1") + LS0 + SS2 + kana("の")
         + gr(kana("なまえ")) + b"\x7a\x56")
TITLE_TEXT = "\U0001F14A番組" + full("No.1") + "のなまえ\U0001F211"
DESCRIPTION = jis("一行目") + APR + MSZ + LS1 + ascii_("Vol. 2") + NSZ + LS0 + jis("二行目")
DESCRIPTION_TEXT = "一行目\r\nVol. 2二行目"
CHANNEL = LS1 + ascii_("SNV") + LS0 + jis("総合") + LS3R + gr(kana("テレビ"))
CHANNEL_TEXT = full("SNV") + "総合テレビ"


# --- Sections ------------------------------------------------------------------------------
def crc32_mpeg2(data):
    crc = 0xFFFFFFFF
    for b in data:
        crc ^= b << 24
        for _ in range(8):
            crc = ((crc << 1) ^ 0x04C11DB7 if crc & 0x80000000 else crc << 1) & 0xFFFFFFFF
    return crc


def section(table_id, extension, body, version=1, number=0, last=0, syntax=True):
    if not syntax:
        return bytes([table_id]) + struct.pack(">H", 0x7000 | len(body)) + body
    payload = struct.pack(">HBBB", extension, 0xC1 | (version << 1), number, last) + body
    head = bytes([table_id]) + struct.pack(">H", 0xF000 | (len(payload) + 4))
    return head + payload + struct.pack(">I", crc32_mpeg2(head + payload))


def descriptor(tag, body):
    return bytes([tag, len(body)]) + body


def service_descriptor(provider, name):
    return descriptor(0x48, bytes([1, len(provider)]) + provider + bytes([len(name)]) + name)


def sdt(tsid, onid, services):
    body = struct.pack(">HB", onid, 0xFF)
    for service_id, descriptors in services:
        body += struct.pack(">HBH", service_id, 0xFF, 0x8000 | len(descriptors)) + descriptors
    return section(0x42, tsid, body)


def mjd_bcd(year, month, day, hour, minute, second=0):
    # Days from MJD 0 (1858-11-17), by the civil calendar.
    import datetime
    mjd = (datetime.date(year, month, day) - datetime.date(1858, 11, 17)).days
    bcd = lambda v: ((v // 10) << 4) | (v % 10)
    return struct.pack(">HBBB", mjd, bcd(hour), bcd(minute), bcd(second))


def bcd_duration(hours, minutes):
    bcd = lambda v: ((v // 10) << 4) | (v % 10)
    return bytes([bcd(hours), bcd(minutes), 0])


def event(event_id, start, duration, name, text, genre, running=0):
    descriptors = descriptor(0x4D, b"jpn" + bytes([len(name)]) + name + bytes([len(text)]) + text)
    if genre is not None:
        descriptors += descriptor(0x54, bytes([(genre << 4) | 0x0, 0xFF]))
    return (struct.pack(">H", event_id) + start + duration
            + struct.pack(">H", (running << 13) | 0x0000 | len(descriptors)) + descriptors)


def eit(table_id, service_id, tsid, onid, events, number=0, last=1):
    body = struct.pack(">HHBB", tsid, onid, last, table_id) + b"".join(events)
    return section(table_id, service_id, body, number=number, last=last)


def tot(time, country=b"JPN"):
    offset = descriptor(0x58, country + bytes([0x02]) + b"\x00\x00" + b"\xe4\x00\x00\x00\x00"
                        + b"\x00\x00")
    body = time + struct.pack(">H", 0xF000 | len(offset)) + offset
    head = bytes([0x73]) + struct.pack(">H", 0x7000 | (len(body) + 4))
    return head + body + struct.pack(">I", crc32_mpeg2(head + body))


def tdt(time):
    return section(0x70, 0, time, syntax=False)


# --- Packets -------------------------------------------------------------------------------
def packets(pid, sections, counter=0):
    """The sections of one PID in packets: each section starts a packet (pointer 0)."""
    out = []
    for sec in sections:
        data = b"\x00" + sec
        first = True
        while data:
            chunk, data = data[:184], data[184:]
            chunk += b"\xff" * (184 - len(chunk))
            head = struct.pack(">BHB", 0x47, (0x4000 if first else 0) | pid, 0x10 | (counter & 15))
            out.append(head + chunk)
            counter += 1
            first = False
    return out


def ffmpeg_ts(path, service_id, name, provider):
    subprocess.run(
        ["ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", "color=c=blue:s=32x32:r=5:d=1",
         "-f", "lavfi", "-i", "sine=f=440:d=1:sample_rate=16000", "-c:v", "mpeg2video",
         "-b:v", "32k", "-c:a", "mp2", "-b:a", "32k", "-ac", "1", "-metadata",
         f"service_name={name}", "-metadata", f"service_provider={provider}",
         "-mpegts_service_id", str(service_id), "-f", "mpegts", path], check=True)
    with open(path, "rb") as f:
        data = f.read()
    return [data[i:i + 188] for i in range(0, len(data), 188)]


def with_si(ts_packets, si_packets, drop_sdt):
    """The stream with `si_packets` after its first PAT and PMT (ffmpeg's SDT dropped)."""
    kept = [p for p in ts_packets
            if not (drop_sdt and ((p[1] & 0x1F) << 8 | p[2]) == 0x11)]
    return b"".join(kept[:2] + si_packets + kept[2:])


def main():
    expected = []
    with tempfile.TemporaryDirectory() as tmp:
        # ISDB-T, present/following: the present event is the second of section 0.
        base = ffmpeg_ts(os.path.join(tmp, "a.ts"), 0x0400, "x", "x")
        tsid, onid = 0x7FE0, 0x7FE0
        other = eit(0x4E, 0x0401, tsid, onid, [event(9, mjd_bcd(2026, 12, 7, 21, 0),
                                                   bcd_duration(1, 0), jis("別"), b"", 1)])
        present = eit(0x4E, 0x0400, tsid, onid, [
            event(1, mjd_bcd(2026, 12, 7, 20, 0), bcd_duration(1, 0), jis("前の番組"), b"", 5),
            event(2, mjd_bcd(2026, 12, 7, 21, 0), bcd_duration(0, 54), TITLE, DESCRIPTION, 0),
        ])
        following = eit(0x4E, 0x0400, tsid, onid, [
            event(3, mjd_bcd(2026, 12, 7, 21, 54), bcd_duration(0, 6), jis("次"), b"", 0)],
            number=1)
        si = (packets(0x11, [sdt(tsid, onid, [
                  (0x0401, service_descriptor(b"", jis("別局"))),
                  (0x0400, service_descriptor(jis("放送"), CHANNEL))])])
              + packets(0x14, [tot(mjd_bcd(2026, 12, 7, 21, 0, 5))])
              + packets(0x12, [other, following, present]))
        write("broadcast-isdb-present.ts", with_si(base, si, True))
        expected += [("broadcast-isdb-present.ts", k, v) for k, v in [
            ("program", "1024"), ("INAM", TITLE_TEXT), ("ICMT", DESCRIPTION_TEXT), ("CHANNEL", CHANNEL_TEXT),
            ("ICRD", "2026-12-07"), ("START", "2100"), ("IGNR", "ニュース／報道")]]

        # ISDB BS, schedule only, 192-byte packets.
        base = ffmpeg_ts(os.path.join(tmp, "b.ts"), 0x0065, "x", "x")
        tsid, onid = 0x4010, 0x0004
        schedule = eit(0x50, 0x0065, tsid, onid, [
            event(11, mjd_bcd(2026, 12, 31, 22, 0), bcd_duration(1, 0), jis("年末"), b"", 4),
            event(12, mjd_bcd(2026, 12, 31, 23, 0), bcd_duration(1, 30),
                  jis("年越し") + LS1 + ascii_("LIVE"), jis("生放送"), 3),
            event(13, mjd_bcd(2027, 1, 1, 0, 30), bcd_duration(1, 0), jis("新年"), b"", 4),
        ], last=0)
        si = (packets(0x11, [sdt(tsid, onid, [(0x0065, service_descriptor(b"", jis("衛星")
                                                                           + LS1 + ascii_("1")))])])
              + packets(0x12, [schedule]) + packets(0x14, [tot(mjd_bcd(2027, 1, 1, 0, 15))]))
        stream = with_si(base, si, True)
        write("broadcast-isdb-schedule.m2ts",
              b"".join(struct.pack(">I", i * 1000) + stream[i * 188:(i + 1) * 188]
                       for i in range(len(stream) // 188)))
        expected += [("broadcast-isdb-schedule.m2ts", k, v) for k, v in [
            ("program", "101"), ("INAM", "年越し" + full("LIVE")), ("ICMT", "生放送"), ("CHANNEL", "衛星" + full("1")),
            ("ICRD", "2026-12-31"), ("START", "2300"), ("IGNR", "ドラマ")]]

        # DVB: ffmpeg's own SDT (UTF-8 service name); EIT texts in the default table with a
        # diacritic and emphasis codes, and in ISO/IEC 8859-2 (selector 0x10 0x00 0x02) with a
        # CR/LF code.
        base = ffmpeg_ts(os.path.join(tmp, "c.ts"), 1, "Télé Sonavid", "Sonavid Networks")
        title = b"Caf\xc2e \x86Live\x87"
        text = b"\x10\x00\x02" + "Zprávy z Brna".encode("iso8859_2") + b"\x8a" + "Počasí".encode(
            "iso8859_2")
        present = eit(0x4E, 1, 1, 0xFF01, [
            event(7, mjd_bcd(2026, 12, 7, 19, 30), bcd_duration(0, 30), title, text, 2, 4)])
        si = packets(0x12, [present]) + packets(0x14, [tdt(mjd_bcd(2026, 12, 7, 19, 31))])
        write("broadcast-dvb.ts", with_si(base, si, False))
        expected += [("broadcast-dvb.ts", k, v) for k, v in [
            ("program", "1"), ("INAM", "Café Live"), ("ICMT", "Zprávy z Brna\r\nPočasí"), ("CHANNEL", "Télé Sonavid"),
            ("ICRD", "2026-12-07"), ("START", "1930"), ("IGNR", "News/Current affairs")]]

    with open(os.path.join(MEDIA, "expected-broadcast.tsv"), "w", encoding="utf-8") as f:
        f.write("# file\tfield (program: the service read)\texpected (made by make-broadcast.py)\n")
        for name, field, value in expected:
            f.write(f"{name}\t{field}\t{escaped(value)}\n")
    with open(os.path.join(HERE, "broadcast-texts.tsv"), "w", encoding="utf-8") as f:
        f.write("# case\tARIB STD-B24 bytes (hex)\texpected\tlibaribb24 departs (made by "
                "make-broadcast.py)\n")
        for case, coded, text, departure in ARIB_TEXTS:
            f.write(f"{case}\t{coded.hex()}\t{escaped(text)}\t{departure}\n")


def escaped(text):
    return text.replace("\\", "\\\\").replace("\r", "\\r").replace("\n", "\\n")


def write(name, data):
    with open(os.path.join(MEDIA, name), "wb") as f:
        f.write(data)
    print(f"{name}: {len(data)} bytes")


if __name__ == "__main__":
    sys.exit(main())
