#!/usr/bin/env python3
"""Benchmarks of the ROM library; see library-bench.sh. Ratios are measured side by side,
alternating the two commands in each round, and compared as medians."""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

FIRST_SCAN_FILES, FIRST_SCAN_SIZE = 64, "16M"
FIRST_SCAN_TARGET, FIRST_SCAN_RSS_MIB = 0.65, 64
RESCAN_FILES, RESCAN_TARGET = 10000, 2.0
STALL_TARGET_MS = 50


def run(argv, env=None):
    """Runs argv; returns (wall seconds, stdout)."""
    start = time.perf_counter()
    proc = subprocess.Popen(argv, stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=env)
    out, err = proc.communicate()
    elapsed = time.perf_counter() - start
    if proc.returncode != 0:
        sys.exit(f"{argv[0]} failed ({proc.returncode}): {err.decode(errors='replace')}")
    return elapsed, out


def timed_rss(argv):
    """Runs argv with output discarded; returns (wall seconds, the child's own peak RSS in MiB)."""
    start = time.perf_counter()
    with open(os.devnull, "wb") as devnull:
        proc = subprocess.Popen(argv, stdout=devnull, stderr=subprocess.DEVNULL)
        _, status, usage = os.wait4(proc.pid, 0)
    elapsed = time.perf_counter() - start
    code = os.waitstatus_to_exitcode(status)
    if code != 0:
        sys.exit(f"{argv[0]} failed ({code})")
    return elapsed, usage.ru_maxrss / 1024


def side_by_side(rounds, ours, theirs):
    a, b = [], []
    for _ in range(rounds):
        a.append(ours())
        b.append(theirs())
    return statistics.median(a), statistics.median(b)


def load():
    with open("/proc/loadavg") as f:
        return " ".join(f.read().split()[:3])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--rounds", type=int, default=5)
    args = parser.parse_args()
    binary = lambda name: os.path.join(args.build, "bin", name)
    for tool in ("tolvane-rominfo", "tolvane-make-rom", "tolvane-rescan-bench", "tolvane-stall-bench"):
        if not os.access(binary(tool), os.X_OK):
            sys.exit(f"missing {binary(tool)}: build the bench-library target")
    print(f"machine: nproc {len(os.sched_getaffinity(0))}, load average {load()}")
    failed = False
    with tempfile.TemporaryDirectory(prefix="library-bench-") as tmp:
        # First scan: 1 GiB in all three byte orders, page cache warm for both tools.
        big = os.path.join(tmp, "big")
        os.makedirs(big)
        files = []
        for i in range(FIRST_SCAN_FILES):
            order = ("z64", "v64", "n64")[i % 3]
            path = os.path.join(big, f"game{i:02d}.{order}")
            subprocess.run([binary("tolvane-make-rom"), "--size", FIRST_SCAN_SIZE, "--order", order,
                            "--name", f"BENCH {i:02d}", path], check=True, stdout=subprocess.DEVNULL)
            files.append(path)
        rominfo = [binary("tolvane-rominfo"), "-r", "--json", big]
        md5sum = ["md5sum"] + files
        timed_rss(rominfo), timed_rss(md5sum)
        peak = [0.0]

        def ours():
            t, rss = timed_rss(rominfo)
            peak[0] = max(peak[0], rss)
            return t
        a, b = side_by_side(args.rounds, ours, lambda: timed_rss(md5sum)[0])
        ok = a / b <= FIRST_SCAN_TARGET and peak[0] < FIRST_SCAN_RSS_MIB
        failed |= not ok
        print(f"first scan (64 x 16 MiB): tolvane-rominfo -r --json {a * 1000:.0f} ms, md5sum {b * 1000:.0f} ms, "
              f"ratio {a / b:.3f} (target <= {FIRST_SCAN_TARGET}), peak RSS {peak[0]:.1f} MiB "
              f"(target < {FIRST_SCAN_RSS_MIB}) {'ok' if ok else 'MISSED'}")

        # GUI stalls while the panel fills from a cold scan of the same 1 GiB.
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen", HOME=os.path.join(tmp, "home"),
                   XDG_CONFIG_HOME=os.path.join(tmp, "config"), XDG_CACHE_HOME=os.path.join(tmp, "cache"))
        _, out = run([binary("tolvane-stall-bench"), big], env=env)
        line = out.decode().strip()
        worst = float(line.split("worst stall of ")[1].split()[0])
        ok = worst <= STALL_TARGET_MS
        failed |= not ok
        print(f"GUI thread during a cold scan of 1 GiB: {line} (target <= {STALL_TARGET_MS} ms) {'ok' if ok else 'MISSED'}")
        shutil.rmtree(big)

        # Warm rescan: 10,000 small images, all in the cache, against the stat-only walk.
        small = os.path.join(tmp, "small")
        os.makedirs(small)
        seed = os.path.join(tmp, "seed.z64")
        subprocess.run([binary("tolvane-make-rom"), "--size", "4K", seed], check=True, stdout=subprocess.DEVNULL)
        with open(seed, "rb") as f:
            image = f.read()
        for i in range(RESCAN_FILES):
            with open(os.path.join(small, f"rom{i:05d}.z64"), "wb") as f:
                f.write(image)
        cache = os.path.join(tmp, "rescan.sqlite")
        rescan = [binary("tolvane-rescan-bench"), cache, small]
        find = ["find", small, "-type", "f", "-printf", "%s %T@ %i\n"]
        _, out = run(rescan)
        _, out = run(rescan)
        if out.decode().split() != [str(RESCAN_FILES), str(RESCAN_FILES), "0"]:
            sys.exit(f"warm rescan did not come from the cache: {out.decode()}")
        a, b = side_by_side(max(args.rounds, 9), lambda: run(rescan)[0], lambda: run(find)[0])
        ok = a / b <= RESCAN_TARGET
        failed |= not ok
        print(f"warm rescan (10,000 cached): rescan {a * 1000:.1f} ms, find -printf {b * 1000:.1f} ms, "
              f"ratio {a / b:.2f} (target <= {RESCAN_TARGET}) {'ok' if ok else 'MISSED'}")
    print(f"load average after: {load()}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
