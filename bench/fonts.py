#!/usr/bin/env python3
"""Times quorvale-txt2pdf on text beyond Windows-1252 against a reference build, side by side.

The reference is the program before it embedded fonts (it writes "?" for every such character).
Also: CUPS's texttopdf on the same file, the peak memory, the bytes a font subset adds for a page
of Central European text, and the Windows-1252 path against dd conv=fsync for the durable file."""

import argparse
import os
import re
import statistics
import subprocess

from txt2pdf import TEXTTOPDF, corpus, peak_rss, run_once

LINES = [
    "Zażółć gęślą jaźń, łódź w Łodzi; pomiar średnicy 25,02 mm – wynik poprawny.",
    "Příliš žluťoučký kůň úpěl ďábelské ódy; měření průměru 25,02 mm – v toleranci.",
    "Η γρήγορη καφέ αλεπού πηδά πάνω από τον τεμπέλη σκύλο· διάμετρος 25,02 mm.",
    "Съешь же ещё этих мягких французских булок, да выпей чаю; диаметр 25,02 мм.",
]
SIZE = 20 * 1024 * 1024


def wide_corpus(workdir):
    path = os.path.join(workdir, "wide-utf8-%d.txt" % SIZE)
    if not os.path.exists(path):
        block = ("\n".join(LINES) + "\n").encode()
        with open(path, "wb") as out:
            out.write(block * (SIZE // len(block)))
    return path


def median_ms(commands, runs):
    """Median wall milliseconds of each command, the runs interleaved so that load hits all alike."""
    times = {name: [] for name in commands}
    for _ in range(runs):
        for name, command in commands.items():
            times[name].append(run_once(command, None))
    return {name: statistics.median(values) * 1000 for name, values in times.items()}


def subset_bytes(binary, workdir, source):
    page = os.path.join(workdir, "wide-page.txt")
    with open(source, "rb") as text, open(page, "wb") as out:
        out.write(text.read(3000).rsplit(b"\n", 1)[0] + b"\n")
    pdf = page[:-4] + ".pdf"
    subprocess.run([binary, page, pdf], check=True, stderr=subprocess.DEVNULL)
    with open(pdf, "rb") as written:
        return [int(n) for n in re.findall(rb"/Length (\d+)\r/Length1", written.read())]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--binary", default="build/bin/quorvale-txt2pdf")
    parser.add_argument("--reference", required=True, help="quorvale-txt2pdf before fonts were embedded")
    parser.add_argument("--workdir", default="build/bench")
    parser.add_argument("--runs", type=int, default=5)
    args = parser.parse_args()
    os.makedirs(args.workdir, exist_ok=True)
    wide = wide_corpus(args.workdir)
    out = os.path.join(args.workdir, "wide.pdf")

    timed = median_ms({"now": [args.binary, wide, out], "reference": [args.reference, wide, out]}, args.runs)
    peer = median_ms({"texttopdf": "%s 1 user title 1 '' %s >%s" % (TEXTTOPDF, wide, out)}, 1)["texttopdf"]
    peak = peak_rss([args.binary, wide, out], None)
    print("| 20 MiB of Polish, Czech, Greek and Cyrillic | median ms | / reference | texttopdf / it | peak RSS MiB |")
    print("|---|---:|---:|---:|---:|")
    print("| embedded subsets | %.0f | %.2f | %.1f | %.1f |" % (
        timed["now"], timed["now"] / timed["reference"], peer / timed["now"], peak / 1024))
    print("| reference (\"?\") | %.0f | 1 | %.1f | |" % (timed["reference"], peer / timed["reference"]))
    print("| texttopdf | %.0f | | | |" % peer)
    print()
    print("Font subsets for a page of that text: %s bytes" % ", ".join(map(str, subset_bytes(args.binary, args.workdir, wide))))

    ansi, _ = corpus(args.workdir, SIZE)
    durable = median_ms({"now": [args.binary, ansi, out],
                         "reference": [args.reference, ansi, out],
                         "dd": ["dd", "if=" + ansi, "of=" + out, "bs=128k", "conv=fsync", "status=none"]}, args.runs)
    print("Windows-1252, 20 MiB to a named file: %.0f ms, %.2f times dd conv=fsync (%.0f ms); reference %.2f times"
          % (durable["now"], durable["now"] / durable["dd"], durable["dd"], durable["reference"] / durable["dd"]))


if __name__ == "__main__":
    main()
