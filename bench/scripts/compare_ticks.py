#!/usr/bin/env python3
"""The play benchmark's tick files of two builds side by side, each switch paired with
the same switch of the other build.

bench_stage_play --ticks FILE writes a line a tick, "TICK VIEW: WALL CPU" (the view as
its table names it, the wall and processor milliseconds). A tick that switches the
screen or the stage (loading what comes next and drawing its first frame) is named by
the view it leaves, with " switching"; the next tick names the view it went to. The
benchmark's table pools every such tick of a view into one row ("screen 16 switching"),
so when the two builds play different roads that row compares different switches.

Here each switch is a row of its own, named by where it leaves and where it goes and
by how many times that same switch happened before it in the run:
"screen 16 switching to screen 11 (2nd)" is the second switch from screen 16 to
screen 11. The two builds' rows pair by that name, so a switch that only one build's
road makes stands alone, marked "base only" or "new only". Every other row is the
benchmark's own (the screen, stage, pause page and loading shown), with its figures.

Each row's median and 99th percentile (the benchmark's: the ceil(p * n)-th smallest)
are worked per run, and the medians of those over the repeats are printed with the
ratio new/base; a switch row has one tick a run, so both are the median of its ticks.

  compare_ticks.py [--cpu] [--skip N] [--mark RATIO] [--in-screen] DIR
  compare_ticks.py [--cpu] [--skip N] [--mark RATIO] [--in-screen] --base FILE... --new FILE...

DIR holds the tick files compare_play.sh writes with TICKS=DIR, named
BUILD-CASE-REPEAT.ticks (BUILD base or new): a table per case. --cpu compares the
processor time instead of the wall time; --skip leaves out the first N ticks of every
run, as the benchmark's --skip does; --mark puts "*" before rows whose 99th-percentile
ratio is above RATIO; --in-screen counts each switching tick in the view it loads and
first shows, as a frame of that screen (or stage), instead of as a row of its own: each
screen's and stage's figures over every frame it was shown in.
"""
import argparse
import math
import os
import re
import statistics
import sys

TICK_LINE = re.compile(r"^(\d+) (.*): (-?[\d.]+) (-?[\d.]+)$")
SWITCHING = " switching"
PLACE = re.compile(r"^screen \d+(?: stage -?\d+)?")


def percentile(values, p):
    """The benchmark's percentile: the ceil(p * n)-th smallest value."""
    values = sorted(values)
    at = max(math.ceil(p * len(values)) - 1, 0)
    return values[min(at, len(values) - 1)]


def ordinal(n):
    if n % 100 in (11, 12, 13):
        return f"{n}th"
    return f"{n}{ {1: 'st', 2: 'nd', 3: 'rd'}.get(n % 10, 'th') }"


def read_ticks(path):
    """The run's ticks in order: (tick, view, wall ms, cpu ms)."""
    ticks = []
    with open(path, encoding="utf-8") as lines:
        for number, line in enumerate(lines, 1):
            line = line.rstrip("\n")
            if not line:
                continue
            match = TICK_LINE.match(line)
            if match is None:
                raise ValueError(f"{path}:{number}: not a tick line: {line!r}")
            ticks.append((int(match.group(1)), match.group(2), float(match.group(3)), float(match.group(4))))
    return ticks


def rows_of_run(ticks, skip, use_cpu, in_screen=False):
    """Each row's times in one run, and the tick where the row first came, by row name.

    A switching tick's row names the view it leaves, the screen (and stage) the next
    tick shows and the count of that same switch so far; the last tick of a run has
    no next tick, so its switch goes to "the run's end". With in_screen the tick is
    counted in the view the next tick shows (the one it loaded and drew first)."""
    times, first = {}, {}
    seen = {}
    for i, (tick, view, wall, cpu) in enumerate(ticks):
        name = view
        if in_screen and view.endswith(SWITCHING) and i + 1 < len(ticks):
            name = ticks[i + 1][1].removesuffix(SWITCHING)
        elif view.endswith(SWITCHING):
            if i + 1 < len(ticks):
                after = ticks[i + 1][1]
                place = PLACE.match(after)
                to = place.group(0) if place else after.removesuffix(SWITCHING)
            else:
                to = "the run's end"
            switch = f"{view} to {to}"
            seen[switch] = seen.get(switch, 0) + 1
            name = f"{switch} ({ordinal(seen[switch])})"
        if tick <= skip:
            continue
        times.setdefault(name, []).append(cpu if use_cpu else wall)
        first.setdefault(name, tick)
    return times, first


def summarise(paths, skip, use_cpu, in_screen=False):
    """Per row: the medians over the runs of its per-run p50 and p99, its ticks per run
    (the first run's), the runs it appears in, and its first tick."""
    per_row, first = {}, {}
    for path in paths:
        times, firsts = rows_of_run(read_ticks(path), skip, use_cpu, in_screen)
        for name, values in times.items():
            per_row.setdefault(name, []).append((len(values), percentile(values, 0.5), percentile(values, 0.99)))
            first[name] = min(first.get(name, firsts[name]), firsts[name])
    summary = {}
    for name, runs in per_row.items():
        summary[name] = {
            "ticks": runs[0][0],
            "runs": len(runs),
            "p50": statistics.median(r[1] for r in runs),
            "p99": statistics.median(r[2] for r in runs),
            "first": first[name],
        }
    return summary


def ratio(new, base):
    return f"{new / base:5.2f}" if base > 0 else "    -"


def print_table(title, base_paths, new_paths, skip, use_cpu, mark, in_screen=False):
    base = summarise(base_paths, skip, use_cpu, in_screen)
    new = summarise(new_paths, skip, use_cpu, in_screen)
    kind = "processor" if use_cpu else "wall"
    print(f"== {title}: {kind} ms, {len(base_paths)} base run(s), {len(new_paths)} new run(s)")
    print(f"  {'what is shown':58s} {'ticks':>11s} {'p50 base -> new':>17s} {'ratio':>5s}"
          f" {'p99 base -> new':>17s} {'ratio':>5s}")
    names = sorted(set(base) | set(new), key=lambda n: (min(r["first"] for r in (base.get(n), new.get(n)) if r), n))
    for name in names:
        b, n = base.get(name), new.get(name)
        if b and n:
            r99 = n["p99"] / b["p99"] if b["p99"] > 0 else 0.0
            flag = "*" if mark is not None and r99 > mark else " "
            print(f"{flag} {name:58s} {b['ticks']:5d}/{n['ticks']:<5d} {b['p50']:7.2f} -> {n['p50']:6.2f} "
                  f"{ratio(n['p50'], b['p50'])} {b['p99']:7.2f} -> {n['p99']:6.2f} {ratio(n['p99'], b['p99'])}")
        else:
            only, r = ("base only", b) if b else ("new only", n)
            print(f"  {name:58s} {r['ticks']:5d} {only:>5s}    p50 {r['p50']:7.2f}       p99 {r['p99']:7.2f}")


def cases_in(directory):
    """The tick files of a directory by case: {case: {"base": [...], "new": [...]}}."""
    named = re.compile(r"^(base|new)-(.+)-([^-]+)\.ticks$")
    cases = {}
    for entry in sorted(os.listdir(directory)):
        match = named.match(entry)
        if match:
            cases.setdefault(match.group(2), {"base": [], "new": []})[match.group(1)].append(
                os.path.join(directory, entry))
    return cases


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("directory", nargs="?", help="tick files named BUILD-CASE-REPEAT.ticks")
    parser.add_argument("--base", nargs="+", default=[], help="the base build's tick files of one case")
    parser.add_argument("--new", nargs="+", default=[], help="the new build's tick files of the same case")
    parser.add_argument("--cpu", action="store_true", help="processor time instead of wall time")
    parser.add_argument("--skip", type=int, default=0, help="leave out each run's first N ticks")
    parser.add_argument("--mark", type=float, default=None, help="mark p99 ratios above this")
    parser.add_argument("--in-screen", action="store_true",
                        help="count each switching tick in the view it loads and first shows")
    args = parser.parse_args(argv)
    try:
        compare(parser, args)
    except (OSError, ValueError) as error:
        parser.error(str(error))
    return 0


def compare(parser, args):
    if args.directory and not (args.base or args.new):
        cases = cases_in(args.directory)
        if not cases:
            parser.error(f"no BUILD-CASE-REPEAT.ticks files in {args.directory}")
        for case, builds in cases.items():
            if builds["base"] and builds["new"]:
                print_table(case, builds["base"], builds["new"], args.skip, args.cpu, args.mark, args.in_screen)
            else:
                print(f"== {case}: tick files of one build only, nothing to compare")
    elif args.base and args.new and not args.directory:
        print_table("base and new", args.base, args.new, args.skip, args.cpu, args.mark, args.in_screen)
    else:
        parser.error("give a directory of tick files, or --base FILE... and --new FILE...")


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
