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
# First scan of many small images in many folders, from exec to the last row in the cache,
# against md5sum of the same files plus the scanner's own start-up on an empty folder.
SMALL_COUNTS, SMALL_FOLDERS, SMALL_SIZE, SMALL_TARGET = (4000, 20000), 2000, 32 * 1024, 1.0
RENAME_FILES = 1000


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


def write_small_library(root, count, image, folders=SMALL_FOLDERS):
    """count copies of image as rom#####.z64, spread over folders subfolders of root."""
    files = []
    # Changed an hour ago: a file read within moments of its change is read again at the next scan.
    then = time.time() - 3600
    for i in range(count):
        folder = os.path.join(root, f"f{i % folders:04d}")
        os.makedirs(folder, exist_ok=True)
        files.append(os.path.join(folder, f"rom{i:05d}.z64"))
        with open(files[-1], "wb") as f:
            f.write(image)
        os.utime(files[-1], (then, then))
    return files


def fresh(cache):
    for suffix in ("", "-wal", "-shm"):
        if os.path.exists(cache + suffix):
            os.remove(cache + suffix)


def scan_counts(out):
    """tolvane-rescan-bench's "total fromCache read"."""
    return [int(word) for word in out.decode().split()]


def images_opened(argv, tmp):
    """How many .z64 files argv opens, by strace; None when strace is not installed."""
    if not shutil.which("strace"):
        return None
    log = os.path.join(tmp, "strace.log")
    subprocess.run(["strace", "-f", "-qq", "-e", "trace=openat", "-o", log] + argv, check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    with open(log) as f:
        return sum(1 for line in f if '.z64"' in line and "ENOENT" not in line)


def small_files(args, binary, tmp, image):
    """First scans of many small files, and a folder of them renamed; False when a target is missed."""
    failed = False
    rescan = binary("tolvane-rescan-bench")
    empty = os.path.join(tmp, "empty")
    os.makedirs(empty, exist_ok=True)
    cache = os.path.join(tmp, "small.sqlite")

    def start_up():
        fresh(cache)
        return run([rescan, cache, empty])[0]
    for count in SMALL_COUNTS:
        root = os.path.join(tmp, f"small{count}")
        files = write_small_library(root, count, image)
        md5sum = ["md5sum"] + files

        def first_scan():
            fresh(cache)
            elapsed, out = run([rescan, cache, root])
            if scan_counts(out) != [count, 0, count]:
                sys.exit(f"first scan of {count} files: {out.decode()}")
            return elapsed
        first_scan(), run(md5sum)  # the page cache warm for both
        a, b = side_by_side(args.rounds, first_scan, lambda: run(md5sum)[0])
        c = statistics.median(start_up() for _ in range(args.rounds))
        ok = a / (b + c) <= SMALL_TARGET
        failed |= not ok
        print(f"first scan ({count:,} x 32 KiB in {SMALL_FOLDERS:,} folders): tolvane-rescan-bench {a * 1000:.0f} ms, "
              f"md5sum {b * 1000:.0f} ms + start-up {c * 1000:.0f} ms, ratio {a / (b + c):.2f} "
              f"(target <= {SMALL_TARGET}) {'ok' if ok else 'MISSED'}")
        shutil.rmtree(root)

    # A folder of 1,000 images renamed inside a library folder: the next scan reads none.
    library = os.path.join(tmp, "renamed")
    write_small_library(os.path.join(library, "A"), RENAME_FILES, image, folders=1)
    fresh(cache)
    run([rescan, cache, library])
    names = [os.path.join(library, "A"), os.path.join(library, "B")]
    renamed, unchanged, reads = [], [], set()
    for i in range(max(args.rounds, 5)):
        os.rename(names[i % 2], names[(i + 1) % 2])
        elapsed, out = run([rescan, cache, library])
        renamed.append(elapsed)
        reads.add(scan_counts(out)[2])
        unchanged.append(run([rescan, cache, library])[0])
    os.rename(names[(i + 1) % 2], names[i % 2])
    opened = images_opened([rescan, cache, library], tmp)
    a, b = statistics.median(renamed), statistics.median(unchanged)
    ok = reads == {0} and opened in (0, None)
    failed |= not ok
    print(f"folder of {RENAME_FILES:,} renamed: next scan {a * 1000:.1f} ms (unchanged rescan {b * 1000:.1f} ms), "
          f"images read {sorted(reads)}, .z64 files opened (strace) {'n/a' if opened is None else opened} "
          f"(target: none) {'ok' if ok else 'MISSED'}")
    return not failed


def load():
    with open("/proc/loadavg") as f:
        return " ".join(f.read().split()[:3])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--small-only", action="store_true",
                        help="only the small-file first scans and the folder rename")
    args = parser.parse_args()
    binary = lambda name: os.path.join(args.build, "bin", name)
    for tool in ("tolvane-rominfo", "tolvane-make-rom", "tolvane-rescan-bench", "tolvane-stall-bench"):
        if not os.access(binary(tool), os.X_OK):
            sys.exit(f"missing {binary(tool)}: build the bench-library target")
    print(f"machine: nproc {len(os.sched_getaffinity(0))}, load average {load()}")
    failed = False
    if args.small_only:
        with tempfile.TemporaryDirectory(prefix="library-bench-") as tmp:
            seed = os.path.join(tmp, "seed.z64")
            subprocess.run([binary("tolvane-make-rom"), "--size", "32K", seed], check=True, stdout=subprocess.DEVNULL)
            with open(seed, "rb") as f:
                ok = small_files(args, binary, tmp, f.read())
        print(f"load average after: {load()}")
        return 0 if ok else 1
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
        shutil.rmtree(small)

        subprocess.run([binary("tolvane-make-rom"), "--size", "32K", seed], check=True, stdout=subprocess.DEVNULL)
        with open(seed, "rb") as f:
            failed |= not small_files(args, binary, tmp, f.read())
    print(f"load average after: {load()}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
