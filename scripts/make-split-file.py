#!/usr/bin/python3
"""Writes a realistic split file for measurements.

make-split-file.py ROWS OUT [--runs N] [--seed S] [--offset -1.50]

ROWS splits; the best segments and N stored runs (default 10, so the grid has 12 columns with
"Best Splits" and "Current"); each stored run a little slower than the best segments and
missing a time now and then; a note in about one cell in ten (some of two lines, "|r"). The
last stored run is the kept run. Same ROWS, runs and seed give the same file, byte for byte.

    make-split-file.py 20 /tmp/route-20.txt
    make-split-file.py 1000 /tmp/route-1000.txt
"""
import argparse
import random

NOTES = [
    "jump late", "wait for the cycle", "hold left on landing", "save a bomb",
    "menu the boss|rskip the text", "roll into the gate", "lost the torch here",
    "damage boost off the bat", "take the lower path", "reset if no drop",
]
PLACES = ["Courtyard", "Gatehouse", "Well", "Armory", "Chapel", "Bell Tower", "Catacombs",
          "Lantern Room", "Drawbridge", "Throne Hall", "Ramparts", "Vault", "Crypt", "Garden"]


def time_text(hundredths):
    """1234 -> "12.34", 523 -> "5.23", 6523 -> "1:05.23", 360000 -> "1:00:00.00"."""
    h, r = divmod(hundredths, 360000)
    m, r = divmod(r, 6000)
    s, c = divmod(r, 100)
    if h:
        text = "%02d:%02d:%02d.%02d" % (h, m, s, c)
    elif m:
        text = "%02d:%02d.%02d" % (m, s, c)
    else:
        text = "%02d.%02d" % (s, c)
    return text[1:] if text.startswith("0") else text


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("rows", type=int)
    parser.add_argument("out")
    parser.add_argument("--runs", type=int, default=10)
    parser.add_argument("--seed", type=int, default=7)
    parser.add_argument("--offset", default="-1.50", help="start offset, as time text")
    args = parser.parse_args()
    rng = random.Random(args.seed)

    best = [rng.randint(800, 6000) for _ in range(args.rows)]
    totals = [0] * args.runs
    lines = ["%d\t%s" % (rng.randint(50, 900), args.offset),
             "\t".join(["Lantern Keep - Any%", "Best Splits"] +
                       ["Run %d" % (k + 1) for k in range(args.runs - 1)] + ["Personal Best"])]
    for row in range(args.rows):
        cells = ["%s %d" % (PLACES[row % len(PLACES)], row // len(PLACES) + 1),
                 time_text(best[row])]
        for run in range(args.runs):
            totals[run] += int(best[row] * rng.uniform(1.0, 1.15))
            skipped = run < args.runs - 1 and rng.random() < 0.02
            cells.append("0.00" if skipped else time_text(totals[run]))
        notes = [""] + [rng.choice(NOTES) if rng.random() < 0.1 else ""
                        for _ in range(args.runs + 1)]
        lines.append("\t".join(cells))
        lines.append("\t".join(notes))
    with open(args.out, "w", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
