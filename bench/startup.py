#!/usr/bin/env python3
"""Start-up time and memory of a program under Wine, side by side with a bare window.

Time: from launching the program until the X server maps its first window
(seen through `xev -root -event substructure`). Memory: the process's resident
set one second after that. Prints the median and range over the runs, then
where the first program's memory exceeds the last one's, by mapping (from
/proc/PID/smaps of the last run).
Runs inside the environment that scripts/bench.sh sets up (DISPLAY, WINEPREFIX).
"""
import collections
import statistics
import subprocess
import sys
import time


def resident_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def resident_by_mapping(pid):
    """KiB resident per mapped file name; anonymous memory as [anon]."""
    found = collections.Counter()
    name = "[anon]"
    with open(f"/proc/{pid}/smaps") as smaps:
        for line in smaps:
            fields = line.split()
            if "-" in fields[0] and not fields[0].endswith(":"):
                name = fields[5].rsplit("/", 1)[-1] if len(fields) > 5 else "[anon]"
            elif fields[0] == "Rss:":
                found[name] += int(fields[1])
    return found


def one_start(exe):
    watcher = subprocess.Popen(["xev", "-root", "-event", "substructure"],
                               stdout=subprocess.PIPE, text=True, bufsize=1)
    time.sleep(0.3)  # let xev select the events before the program starts
    start = time.perf_counter()
    program = subprocess.Popen(["wine", exe], stdin=subprocess.DEVNULL,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    mapped = None
    for line in watcher.stdout:
        if line.startswith("MapNotify"):
            mapped = time.perf_counter()
            break
    watcher.kill()
    watcher.wait()
    time.sleep(1.0)
    memory = resident_kib(program.pid)
    mappings = resident_by_mapping(program.pid)
    program.kill()
    program.wait()
    if mapped is None:
        raise RuntimeError(f"{exe}: no window was mapped")
    return (mapped - start) * 1000.0, memory / 1024.0, mappings


def describe(values, unit):
    return (f"median {statistics.median(values):7.1f} {unit}"
            f"  (min {min(values):.1f}, max {max(values):.1f})")


def main():
    runs = int(sys.argv[1])
    programs = sys.argv[2:]
    results = {exe: ([], []) for exe in programs}
    mappings = {}
    for _ in range(runs):
        for exe in programs:  # interleaved, so drift hits both alike
            ms, mib, mappings[exe] = one_start(exe)
            results[exe][0].append(ms)
            results[exe][1].append(mib)
    base_ms = statistics.median(results[programs[-1]][0])
    base_mib = statistics.median(results[programs[-1]][1])
    for exe, (times, memory) in results.items():
        name = exe.rsplit("/", 1)[-1]
        print(f"{name:24} start {describe(times, 'ms')}  x{statistics.median(times) / base_ms:.2f}")
        print(f"{'':24} RSS   {describe(memory, 'MiB')}  x{statistics.median(memory) / base_mib:.2f}")
    first, last = mappings[programs[0]], mappings[programs[-1]]
    extra = {name: first[name] - last[name] for name in set(first) | set(last)}
    print(f"Resident beyond {programs[-1].rsplit('/', 1)[-1]}, by mapping (KiB, last run):")
    for name, kib in sorted(extra.items(), key=lambda item: -abs(item[1])):
        if abs(kib) >= 64:
            print(f"  {kib:+7d}  {name}")


if __name__ == "__main__":
    main()
