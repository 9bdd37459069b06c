#!/usr/bin/env python3
"""Reads `perf sched timehist` output of a benchmark run and tells, for every
run of the clean-up program, how long it lived, how much processor time it and
the Wine server took, and whether the two ran on one processor or bounced
between two.

Every request a Wine program makes is a round trip to the one server process.
When the program and the server sit on the same processor a round trip takes
some 12 us here; when each sits on its own and the other processor idles in
between, it takes some 40 us. The clean-up program makes about 660 requests
while it starts, so where the scheduler puts it decides much of its time.

  perf sched timehist -i DATA | tools/sched_report.py
"""
import bisect
import re
import statistics
import sys
from collections import defaultdict

CHILD = "NimboCleanup.fi"  # perf keeps 15 characters of a task's name
MENUS = ("Splash.exe", "SplashTimed.exe")
# Longer turns than this on a processor are not looked back for.
LONGEST_TURN_S = 0.05
LINE = re.compile(r"\s*([\d.]+)\s+\[(\d+)\]\s+(.+?)\[(\d+)(?:/(\d+))?\]\s+[\d.]+\s+[\d.]+\s+([\d.]+)")


def read_slices(stream):
    """(start s, end s, task name, process id, processor) for each run of a task."""
    slices = []
    for line in stream:
        match = LINE.match(line)
        if not match:
            continue
        end = float(match.group(1))
        run = float(match.group(6)) / 1000.0
        process = int(match.group(5) or match.group(4))
        slices.append((end - run, end, match.group(3), process, int(match.group(2))))
    slices.sort()
    return slices


def lifetimes(slices, names):
    """First start and last end of every process whose task has one of the names."""
    spans = {}
    for start, end, name, process, _ in slices:
        if name in names:
            first, last = spans.get(process, (start, end))
            spans[process] = (min(first, start), max(last, end))
    return spans


def describe_runs(slices):
    children = defaultdict(list)
    for piece in slices:
        if piece[2] == CHILD:
            children[piece[3]].append(piece)
    menus = lifetimes(slices, MENUS)
    starts = [piece[0] for piece in slices]
    runs_of_menu = defaultdict(int)
    rows = []
    for process, pieces in sorted(children.items(), key=lambda item: item[1][0][0]):
        start, end = pieces[0][0], pieces[-1][1]
        if end - start < 0.002:
            continue  # a helper the program's start forks off, not the run
        parent = next((menu for menu, (first, last) in menus.items() if first <= start <= last), None)
        if parent is None:
            where = "started alone by the bench"
        else:
            runs_of_menu[parent] += 1
            where = "started by the menu, run %d" % runs_of_menu[parent]
        child_cpu = server_cpu = 0.0
        server_slices = split = 0
        last_child_cpu = None
        console = False
        first = bisect.bisect_left(starts, start - LONGEST_TURN_S)
        for piece in slices[first:bisect.bisect_left(starts, end)]:
            if piece[1] <= start:
                continue
            overlap = min(piece[1], end) - max(piece[0], start)
            if piece[3] == process:
                child_cpu += overlap
                last_child_cpu = piece[4]
            elif piece[2].startswith("wineserver"):
                server_cpu += overlap
                if last_child_cpu is not None:
                    server_slices += 1
                    split += piece[4] != last_child_cpu
            elif piece[2].startswith("conhost"):
                console = True
        if console:
            where += ", console stand-in"
        rows.append((where, (end - start) * 1000, child_cpu * 1000, server_cpu * 1000,
                     100.0 * split / server_slices if server_slices else 0.0))
    return rows


def main():
    rows = describe_runs(read_slices(sys.stdin))
    if not rows:
        print("no run of the clean-up program was recorded")
        return 1
    print("Runs of the clean-up program, from its first to its last moment on a processor"
          " (medians; split: share of the server's turns on another processor than the program's)")
    header = ("runs", "where", "lived ms", "its processor ms", "server's ms", "split %")
    print("%4s  %-52s %9s %17s %12s %8s" % header)
    groups = defaultdict(list)
    for row in rows:
        groups[row[0]].append(row)
    for where in sorted(groups):
        group = groups[where]
        medians = [statistics.median(row[index] for row in group) for index in range(1, 5)]
        print("%4d  %-52s %9.1f %17.1f %12.1f %8.0f" % (len(group), where, *medians))
    print()
    print("Each run (lived ms, split %):")
    for where in sorted(groups):
        print("  %s: %s" % (where, ", ".join("%.0f (%.0f)" % (row[1], row[4]) for row in groups[where])))
    return 0


if __name__ == "__main__":
    sys.exit(main())
