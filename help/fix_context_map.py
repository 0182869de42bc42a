#!/usr/bin/env python3
"""Repairs the context map of a CHM file compiled by chmcmd 3.2.2.

chmcmd 3.2.2 writes each context-map entry ([MAP] and [ALIAS] of the project file) as the
topic's absolute path on the build machine ("/home/me/help/setup.html"), so HTML Help looks for
a topic that is not in the file and HH_HELP_CONTEXT opens nothing. This script points every
context number at the topic's name inside the file ("setup.html") instead.

How: the #IVB (context number -> offset in #STRINGS) and #STRINGS files are rewritten and
stored uncompressed after the existing content (section 0); their directory entries are
updated. #STRINGS keeps all its old strings at their old offsets (the window definitions
refer to them) and gains the corrected topic names at its end.

Usage: fix_context_map.py FILE.chm PROJECT_FOLDER
"""

import os
import struct
import subprocess
import sys
import tempfile

CHUNK_SIZE = 0x1000
LISTING_HEADER_SIZE = 0x14
QUICKREF_EVERY = 5  # chmcmd writes a quick-reference entry after every fifth entry


def read_encint(data, pos):
    value = 0
    while True:
        byte = data[pos]
        pos += 1
        value = (value << 7) | (byte & 0x7F)
        if byte < 0x80:
            return value, pos


def encint(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.append(0x80 | (value & 0x7F))
        value >>= 7
    return bytes(reversed(out))


def extract(chm, name):
    """An internal file's content, decompressed by chmls (same package as chmcmd)."""
    with tempfile.TemporaryDirectory() as folder:
        target = os.path.join(folder, "out.bin")
        subprocess.run(["chmls", "extract", chm, name, target], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        with open(target, "rb") as f:
            return f.read()


def parse_listing_chunk(chunk):
    """Entries of a PMGL chunk as [name, section, offset, length]."""
    free_space = struct.unpack_from("<I", chunk, 4)[0]
    end = CHUNK_SIZE - free_space
    entries, pos = [], LISTING_HEADER_SIZE
    while pos < end:
        length, pos = read_encint(chunk, pos)
        name = bytes(chunk[pos:pos + length])
        pos += length
        section, pos = read_encint(chunk, pos)
        offset, pos = read_encint(chunk, pos)
        size, pos = read_encint(chunk, pos)
        entries.append([name, section, offset, size])
    return entries


def build_listing_chunk(old_chunk, entries):
    """A PMGL chunk with the old header fields, these entries and chmcmd's quick references."""
    body = bytearray()
    quickrefs = []
    for index, (name, section, offset, size) in enumerate(entries, start=1):
        start = len(body)
        body += encint(len(name)) + name + encint(section) + encint(offset) + encint(size)
        if index % QUICKREF_EVERY == 0:
            quickrefs.append(start)
    used = LISTING_HEADER_SIZE + len(body)
    if used + 2 * (len(quickrefs) + 1) > CHUNK_SIZE:
        sys.exit("fix_context_map: the directory chunk cannot hold the changed entries")
    chunk = bytearray(CHUNK_SIZE)
    chunk[0:LISTING_HEADER_SIZE] = old_chunk[0:LISTING_HEADER_SIZE]
    struct.pack_into("<I", chunk, 4, CHUNK_SIZE - used)
    chunk[LISTING_HEADER_SIZE:used] = body
    for n, value in enumerate(quickrefs, start=1):
        struct.pack_into("<H", chunk, CHUNK_SIZE - 2 - 2 * n, value)
    struct.pack_into("<H", chunk, CHUNK_SIZE - 2, len(entries))
    return chunk


def main():
    chm, project_folder = sys.argv[1], os.path.abspath(sys.argv[2])
    prefix = project_folder.rstrip("/") + "/"

    ivb = extract(chm, "/#IVB")
    strings = bytearray(extract(chm, "/#STRINGS"))
    if len(ivb) < 4:
        return  # no context map

    # #IVB: a DWORD byte count, then (context number, offset in #STRINGS) pairs.
    pairs = [struct.unpack_from("<II", ivb, pos) for pos in range(4, len(ivb) - 7, 8)]
    new_pairs = []
    for context, offset in pairs:
        end = strings.index(b"\0", offset)
        topic = bytes(strings[offset:end]).decode("latin-1")
        if topic.startswith(prefix):
            topic = topic[len(prefix):]
        new_pairs.append((context, len(strings)))
        strings += topic.encode("latin-1") + b"\0"
    new_ivb = struct.pack("<I", 8 * len(new_pairs))
    for context, offset in new_pairs:
        new_ivb += struct.pack("<II", context, offset)

    with open(chm, "rb") as f:
        data = bytearray(f.read())
    if data[0:4] != b"ITSF":
        sys.exit("fix_context_map: not a CHM file")
    header_section, _ = struct.unpack_from("<QQ", data, 0x38)
    directory_offset, _ = struct.unpack_from("<QQ", data, 0x48)
    content_offset = struct.unpack_from("<Q", data, 0x58)[0]
    directory_header_size = struct.unpack_from("<I", data, directory_offset + 8)[0]
    first_listing, last_listing = struct.unpack_from("<ii", data, directory_offset + 0x20)

    # The two files go after everything else, in the uncompressed section.
    new_places = {}
    for name, content in ((b"/#IVB", bytes(new_ivb)), (b"/#STRINGS", bytes(strings))):
        new_places[name] = (len(data) - content_offset, len(content))
        data += content

    replaced = set()
    for chunk_number in range(first_listing, last_listing + 1):
        start = directory_offset + directory_header_size + chunk_number * CHUNK_SIZE
        chunk = data[start:start + CHUNK_SIZE]
        if chunk[0:4] != b"PMGL":
            continue
        entries = parse_listing_chunk(chunk)
        if build_listing_chunk(chunk, entries) != chunk:
            sys.exit("fix_context_map: unexpected directory layout; the chunk would not be "
                     "rewritten as the compiler wrote it")
        changed = False
        for entry in entries:
            if entry[0] in new_places:
                entry[1] = 0
                entry[2], entry[3] = new_places[entry[0]]
                replaced.add(entry[0])
                changed = True
        if changed:
            data[start:start + CHUNK_SIZE] = build_listing_chunk(chunk, entries)
    if replaced != set(new_places):
        sys.exit("fix_context_map: #IVB or #STRINGS missing from the directory")

    struct.pack_into("<Q", data, header_section + 8, len(data))  # file length
    with open(chm, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main()
