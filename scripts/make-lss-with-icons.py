#!/usr/bin/python3
"""Writes an XML split file (.lss, version 1.8) with an icon in every segment, for measuring
an import that writes many icons.

make-lss-with-icons.py SEGMENTS OUT [--icon-bytes B] [--seed S]

SEGMENTS segments, each with a PNG icon of B bytes (default 1,400: a PNG signature and
header, then random bytes, then an IEND chunk), a best segment and the times of two
comparisons ("Personal Best" and "Best Run"). Same arguments give the same file, byte for
byte. 9,000 segments with the default icon make a file of about 19 MB, under the converter's
20 MB limit:

    make-lss-with-icons.py 9000 /tmp/icons-9000.lss
    quorvel-convert /tmp/icons-9000.lss /tmp/icons-9000.txt    (9,000 icons beside it)
"""
import argparse
import base64
import random
import struct
import zlib


def png(rng, size):
    """PNG signature, an IHDR chunk, a data chunk of random bytes, IEND: size bytes in all."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(
            ">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    head = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 16, 16, 8, 2, 0, 0, 0))
    tail = chunk(b"IEND", b"")
    data = bytes(rng.getrandbits(8) for _ in range(max(0, size - len(head) - len(tail) - 12)))
    return head + chunk(b"IDAT", data) + tail


def clock(hundredths):
    """6523 -> "00:01:05.2300000"."""
    h, r = divmod(hundredths, 360000)
    m, r = divmod(r, 6000)
    s, c = divmod(r, 100)
    return "%02d:%02d:%02d.%02d00000" % (h, m, s, c)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("segments", type=int)
    parser.add_argument("out")
    parser.add_argument("--icon-bytes", type=int, default=1400)
    parser.add_argument("--seed", type=int, default=7)
    args = parser.parse_args()
    rng = random.Random(args.seed)

    parts = ['<?xml version="1.0" encoding="UTF-8"?>\n<Run version="1.8.0">\n'
             "  <GameIcon />\n  <GameName>Icon Game</GameName>\n"
             "  <CategoryName>Any%</CategoryName>\n  <Offset>00:00:00</Offset>\n"
             "  <AttemptCount>12</AttemptCount>\n  <AttemptHistory />\n  <Segments>\n"]
    totals = [0, 0]
    for s in range(args.segments):
        best = rng.randint(2000, 3000)
        icon = base64.b64encode(png(rng, args.icon_bytes)).decode("ascii")
        parts.append("    <Segment>\n      <Name>Split %d</Name>\n      <Icon>%s</Icon>\n"
                     "      <SplitTimes>\n" % (s + 1, icon))
        for c, name in enumerate(("Personal Best", "Best Run")):
            totals[c] += best + rng.randint(0, 500)
            parts.append('        <SplitTime name="%s"><RealTime>%s</RealTime></SplitTime>\n'
                         % (name, clock(totals[c])))
        parts.append("      </SplitTimes>\n      <BestSegmentTime><RealTime>%s</RealTime>"
                     "</BestSegmentTime>\n      <SegmentHistory />\n    </Segment>\n"
                     % clock(best))
    parts.append("  </Segments>\n  <AutoSplitterSettings />\n</Run>\n")
    with open(args.out, "w", encoding="ascii") as out:
        out.write("".join(parts))


if __name__ == "__main__":
    main()
