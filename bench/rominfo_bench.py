#!/usr/bin/env python3
"""Benchmark of tolvane-rominfo against md5sum; see rominfo-bench.sh."""

import argparse
import json
import os
import platform
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

SIZE = "64M"
ORDERS = ("z64", "v64", "n64")
RATIO_TARGET = 1.05
RSS_TARGET_MIB = 48


def run(argv):
    """Runs argv with output discarded; returns (wall seconds, peak RSS in KiB, CPU seconds
    user + system) of that child."""
    start = time.perf_counter()
    with open(os.devnull, "wb") as devnull:
        proc = subprocess.Popen(argv, stdout=devnull, stderr=subprocess.PIPE)
        # wait4 gives this child's own rusage, so earlier children do not inflate the peak.
        _, status, usage = os.wait4(proc.pid, 0)
        elapsed = time.perf_counter() - start
        err = proc.stderr.read()
        proc.stderr.close()
        proc.returncode = os.waitstatus_to_exitcode(status)
    if proc.returncode != 0:
        sys.exit(f"{argv[0]} failed ({proc.returncode}): {err.decode(errors='replace')}")
    return elapsed, usage.ru_maxrss, usage.ru_utime + usage.ru_stime


def cpu_model():
    try:
        with open("/proc/cpuinfo") as f:
            for line in f:
                if line.startswith("model name"):
                    return line.split(":", 1)[1].strip()
    except OSError:
        pass
    return platform.processor() or "unknown"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--rounds", type=int, default=7)
    args = parser.parse_args()

    rominfo = os.path.join(args.build, "bin", "tolvane-rominfo")
    makerom = os.path.join(args.build, "bin", "tolvane-make-rom")
    md5sum = shutil.which("md5sum")
    for tool in (rominfo, makerom):
        if not os.access(tool, os.X_OK):
            sys.exit(f"missing {tool}: build the tolvane-rominfo and tolvane-make-rom targets")
    if not md5sum:
        sys.exit("md5sum not found")

    print(f"machine: {os.cpu_count()} CPUs (nproc {len(os.sched_getaffinity(0))}), {cpu_model()}")
    print(f"image: {SIZE}, {args.rounds} alternating rounds per tool, page cache warm, "
          f"load average {os.getloadavg()[0]:.1f}")
    failed = False
    with tempfile.TemporaryDirectory(prefix="rominfo-bench-") as tmp:
        canonical_md5 = None
        for order in ORDERS:
            image = os.path.join(tmp, f"bench.{order}")
            subprocess.run([makerom, "--size", SIZE, "--order", order, image], check=True)

            # Same digest as md5sum of the canonical file, else the timing means nothing.
            out = subprocess.run([rominfo, "--json", image], check=True, capture_output=True).stdout
            digest = json.loads(out)[0]["md5"]
            if order == "z64":
                canonical_md5 = subprocess.run([md5sum, image], check=True,
                                               capture_output=True).stdout.split()[0].decode()
            if digest != canonical_md5:
                sys.exit(f"{order}: digest {digest} differs from md5sum of the z64 image {canonical_md5}")

            run([rominfo, image])  # warm the page cache for both
            run([md5sum, image])
            ours, theirs, rss, our_cpu, their_cpu = [], [], [], [], []
            for _ in range(args.rounds):
                t, r, c = run([rominfo, image])
                ours.append(t)
                rss.append(r)
                our_cpu.append(c)
                t, _, c = run([md5sum, image])
                theirs.append(t)
                their_cpu.append(c)
            ratio = statistics.median(ours) / statistics.median(theirs)
            # CPU time is what a loaded machine distorts least: other processes stretch the wall.
            cpu_ratio = statistics.median(our_cpu) / statistics.median(their_cpu)
            peak_mib = max(rss) / 1024
            ok = ratio <= RATIO_TARGET and peak_mib < RSS_TARGET_MIB
            failed |= not ok
            print(f"{order}: tolvane-rominfo median {statistics.median(ours) * 1000:.1f} ms, "
                  f"md5sum median {statistics.median(theirs) * 1000:.1f} ms, "
                  f"ratio {ratio:.3f} (target <= {RATIO_TARGET}); CPU user+sys "
                  f"{statistics.median(our_cpu) * 1000:.1f} / {statistics.median(their_cpu) * 1000:.1f} ms, "
                  f"ratio {cpu_ratio:.3f}; "
                  f"peak RSS {peak_mib:.1f} MiB (target < {RSS_TARGET_MIB}) "
                  f"{'ok' if ok else 'MISSED'}")
            os.remove(image)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
