#!/usr/bin/python3
"""Times quorvale-txt2pdf against dd (the floor) and the installed text-to-PDF peers.

Generates a deterministic text corpus (1 MB and 100 MB) in a work folder, then runs every tool
on it several times, interleaved, and prints the median wall time, the throughput, the peak
resident memory and the ratios. Then measures the converter's peak memory on two hostile inputs:
one 100 MB line without a break character, and 2,000,000 pages of form feeds. Standard library
only; bench/txt2pdf.sh installs the peers and builds the command first.
"""

import argparse
import os
import platform
import shlex
import shutil
import statistics
import subprocess
import sys
import time

CORPUS_VERSION = 1
TEXTTOPDF = "/usr/lib/cups/filter/texttopdf"


class Lcg:
    """A fixed 64-bit generator, so the corpus is the same on every machine and Python version."""

    def __init__(self, seed):
        self.state = seed

    def below(self, n):
        self.state = (self.state * 6364136223846793005 + 1442695040888963407) & 0xFFFFFFFFFFFFFFFF
        return (self.state >> 33) % n


WORDS = (b"the part was checked against the drawing and the tolerance held within limits for every "
         b"sample taken during the run operator noted a slight burr on the edge which was removed "
         b"bracket housing flange bore thread depth surface finish gauge caliper micrometer shift").split()
HIGH_WORDS = [b"caf\xe9", b"M\xfcller", b"\xb10.05", b"25\xb0C", b"12\xb5m", b"\x80 4.50", b"na\xefve",
              b"\x93quoted\x94", b"\x96", b"\xa7 4", b"\xc5ngstr\xf6m", b"\xdf", b"\xff"]
LEVELS = [b"INFO", b"WARN", b"DEBUG", b"ERROR"]
CODE = [b"if (x[i] > 0) { total += f(x, \"a\\n\"); }", b"printf(\"%d\\t%s\\n\", n, name);",
        b"path = \"C:\\\\runs\\\\bracket.pdf\";", b"return (a + b) * (c - d) / 2;",
        b"for (int i = 0; i < n; ++i) sum += v[i];", b"} else {", b"#define MAX(a, b) ((a) > (b) ? (a) : (b))",
        b"regex = /\\(\\d+\\)/;"]


def prose(rng, words):
    parts = []
    for _ in range(words):
        parts.append(HIGH_WORDS[rng.below(len(HIGH_WORDS))] if rng.below(40) == 0 else WORDS[rng.below(len(WORDS))])
    return b" ".join(parts)


def corpus_line(rng, number):
    """One line of a mix of log, code, prose, tabbed, blank and very long lines."""
    kind = rng.below(100)
    if kind < 30:
        return b"2026-12-%02d %02d:%02d:%02d.%03d %s [worker-%d] (took %d ms) path=C:\\data\\%d.txt %s" % (
            1 + rng.below(28), rng.below(24), rng.below(60), rng.below(60), rng.below(1000),
            LEVELS[rng.below(4)], rng.below(8), rng.below(5000), number, prose(rng, 3 + rng.below(8)))
    if kind < 55:
        return b"    " * rng.below(4) + CODE[rng.below(len(CODE))]
    if kind < 75:
        return prose(rng, 2 + rng.below(12))
    if kind < 83:
        return b"\t".join(b"%d.%03d" % (rng.below(100), rng.below(1000)) for _ in range(2 + rng.below(6)))
    if kind < 93:
        return b" " * rng.below(3)
    if kind < 98:
        return prose(rng, 40 + rng.below(120))
    return b"  " + prose(rng, 5) + b"  "


def generate(path, size):
    """Writes exactly size bytes of CR LF text; a form feed starts about one line in 3000."""
    rng = Lcg(20261207 + size)
    written, number, chunks = 0, 0, []
    with open(path + ".part", "wb") as out:
        while written < size:
            line = corpus_line(rng, number)
            if rng.below(3000) == 0:
                line = b"\f" + line
            line += b"\r\n"
            chunks.append(line)
            written += len(line)
            number += 1
            if len(chunks) >= 4096:
                out.write(b"".join(chunks))
                chunks = []
        data = b"".join(chunks)
        out.write(data[:len(data) - (written - size)])
    os.replace(path + ".part", path)


def utf8_twin(path, twin):
    """The same text in UTF-8: texttopdf reads UTF-8 and stops converting at Windows-1252 bytes."""
    with open(path, "rb") as src, open(twin + ".part", "wb") as out:
        while chunk := src.read(1 << 20):
            out.write(chunk.decode("cp1252").encode("utf-8"))
    os.replace(twin + ".part", twin)


def corpus(workdir, size):
    """Paths of the Windows-1252 corpus of size bytes and of its UTF-8 twin, generated when missing."""
    path = os.path.join(workdir, "corpus-v%d-%d.txt" % (CORPUS_VERSION, size))
    twin = path[:-4] + "-utf8.txt"
    if not os.path.exists(path) or os.path.getsize(path) != size or not os.path.exists(twin):
        print("generating %s ..." % path, flush=True)
        generate(path, size)
        utf8_twin(path, twin)
    return path, twin


def run_once(command, stdout_path):
    """Wall seconds of one run; command is an argument list, or a string for the shell."""
    with open(stdout_path, "wb") if stdout_path else open(os.devnull, "wb") as out:
        start = time.perf_counter()
        proc = subprocess.run(command, stdout=out, stderr=subprocess.PIPE, shell=isinstance(command, str))
        elapsed = time.perf_counter() - start
    if proc.returncode != 0:
        raise RuntimeError("%s failed (%d): %s" % (command, proc.returncode, proc.stderr.decode(errors="replace")))
    return elapsed


def peak_rss(command, stdout_path):
    """Peak RSS in KiB of the largest process of one run, through GNU time.

    Measured in a run of its own: a child forked from this Python process would report Python's
    size, and GNU time itself adds about 1 MiB of floor."""
    if isinstance(command, str):
        command = ["sh", "-c", command]
    with open(stdout_path, "wb") if stdout_path else open(os.devnull, "wb") as out:
        proc = subprocess.run(["/usr/bin/time", "-f", "%M"] + command, stdout=out, stderr=subprocess.PIPE, check=True)
    return int(proc.stderr.decode().split()[-1])


def tools(binary, src, src_utf8, out):
    """(name, command, file that receives standard output) for every tool."""

    return [
        ("quorvale-txt2pdf", [binary, src, out], None),
        ("quorvale-txt2pdf, UTF-8 text", [binary, src_utf8, out], None),
        ("dd bs=32000", ["dd", "if=" + src, "of=" + out, "bs=32000", "status=none"], None),
        ("texttopdf", [TEXTTOPDF, "1", "user", "title", "1", "", src_utf8], out),
        ("enscript + ps2pdf", "enscript -q -p - %s | ps2pdf - %s" % (shlex.quote(src), shlex.quote(out)), None),
    ]


def measure(binary, path, path_utf8, runs, slow_runs, workdir, only):
    """Interleaves the tools run by run; tools slower than a second per run stop at slow_runs."""
    out = os.path.join(workdir, "out.pdf")
    entries = [entry for index, entry in enumerate(tools(binary, path, path_utf8, out)) if index < 3 or not only]
    times = {name: [] for name, _, _ in entries}
    for warm_up in (path, path_utf8):  # the first tool should not pay for reading from disk
        with open(warm_up, "rb") as warm:
            while warm.read(1 << 20):
                pass
    for run in range(runs):
        for name, command, stdout_path in entries:
            if run >= slow_runs and statistics.median(times[name]) > 1.0:
                continue
            if os.path.exists(out):
                os.unlink(out)
            times[name].append(run_once(command, stdout_path))
    rows = []
    for name, command, stdout_path in entries:
        if os.path.exists(out):
            os.unlink(out)
        rows.append((name, statistics.median(times[name]), len(times[name]), peak_rss(command, stdout_path)))
    os.unlink(out)
    return rows


def machine():
    model = platform.processor() or "?"
    with open("/proc/cpuinfo") as info:
        for line in info:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    with open("/proc/meminfo") as info:
        mem_kib = int(info.readline().split()[1])
    return "%d CPUs (nproc), %s, %.1f GiB memory, Linux %s" % (
        os.cpu_count(), model, mem_kib / 1048576, platform.release())


def print_table(size, rows):
    mb = size / 1e6
    medians = {name: median for name, median, _, _ in rows}
    floor = medians["dd bs=32000"]
    peer = medians.get("texttopdf")
    print()
    print("| %g MB corpus | runs | median ms | MB/s | peak RSS MiB | time / dd | texttopdf / time |" % mb)
    print("|---|---:|---:|---:|---:|---:|---:|")
    for name, median, count, kib in rows:
        print("| %s | %d | %.1f | %.1f | %.1f | %.2f | %s |" % (
            name, count, median * 1000, mb / median, kib / 1024, median / floor,
            "%.1f" % (peer / median) if peer else ""))


def hostile(workdir, binary):
    """Wall time and peak RSS of the converter on inputs made to exhaust memory, written to /dev/null."""
    inputs = [
        ("one 100 MB line without a break character", "line-100mb.txt", lambda out: write_repeated(out, b"x", 100 * 10**6)),
        ("2,000,000 pages (form feed lines)", "pages-2m.txt", lambda out: write_repeated(out, b"\f\n", 2 * 10**6)),
    ]
    print()
    print("| hostile input | seconds | peak RSS MiB |")
    print("|---|---:|---:|")
    for title, name, make in inputs:
        path = os.path.join(workdir, name)
        if not os.path.exists(path):
            with open(path + ".part", "wb") as out:
                make(out)
            os.replace(path + ".part", path)
        command = "%s %s - >/dev/null" % (shlex.quote(binary), shlex.quote(path))
        seconds = run_once(command, None)
        print("| %s | %.2f | %.1f |" % (title, seconds, peak_rss(command, None) / 1024))


def write_repeated(out, piece, times):
    block = piece * ((1 << 20) // len(piece))
    whole, rest = divmod(times * len(piece), len(block))
    for _ in range(whole):
        out.write(block)
    out.write(block[:rest])


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--binary", default="build/bin/quorvale-txt2pdf")
    parser.add_argument("--workdir", default="build/bench")
    parser.add_argument("--sizes", default="1000000,100000000", help="corpus sizes in bytes, comma-separated")
    parser.add_argument("--runs", type=int, default=7, help="runs per tool")
    parser.add_argument("--slow-runs", type=int, default=3, help="runs for tools slower than 1 s per run")
    parser.add_argument("--only-floor", action="store_true", help="time quorvale-txt2pdf and dd only")
    parser.add_argument("--only-hostile", action="store_true", help="measure the hostile inputs only")
    args = parser.parse_args()

    os.makedirs(args.workdir, exist_ok=True)
    for tool in (args.binary, TEXTTOPDF, "enscript", "ps2pdf", "dd"):
        if not shutil.which(tool):
            sys.exit("bench: %s not found" % tool)
    print("Machine: " + machine())
    print("Runs interleaved; a tool slower than 1 s per run stops after %d runs, the others make %d."
          % (args.slow_runs, args.runs))
    print("texttopdf reads the same text encoded in UTF-8; MB/s counts the Windows-1252 corpus for every tool.")
    for size in (int(s) for s in args.sizes.split(",") if not args.only_hostile):
        path, path_utf8 = corpus(args.workdir, size)
        rows = measure(os.path.abspath(args.binary), path, path_utf8, args.runs, args.slow_runs, args.workdir,
                       args.only_floor)
        print_table(size, rows)
    hostile(args.workdir, os.path.abspath(args.binary))


if __name__ == "__main__":
    main()
