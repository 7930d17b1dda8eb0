#!/usr/bin/env python3
"""Benchmarks of zipped ROMs; see archive-bench.sh. Ratios against sequential references
measured in the same run, alternating the two commands in each round, compared as medians."""

import argparse
import os
import subprocess
import sys
import tempfile
import zipfile

from library_bench import load, run, side_by_side, timed_rss

FILES, SIZE = 64, "16M"
ZIP_TARGET, SEVEN_ZIP_TARGET, RSS_MIB = 0.65, 0.8, 96
RESCAN_ENTRIES, RESCAN_TARGET = 10000, 2.0


def half_compressible(path):
    """Zeroes the second half of every 8 KiB past the header: real images pack to about
    half, and pseudo-random ones would be stored, not compressed."""
    with open(path, "r+b") as f:
        data = bytearray(f.read())
        for start in range(4096 + 4096, len(data), 8192):
            data[start:start + 4096] = bytes(min(4096, len(data) - start))
        f.seek(0)
        f.write(data)


def sequential(commands):
    def go():
        total = 0.0
        for argv in commands:
            total += run(["sh", "-c", argv])[0]
        return total
    return go


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--rounds", type=int, default=3)
    args = parser.parse_args()
    binary = lambda name: os.path.join(args.build, "bin", name)
    version = subprocess.run(["7zr"], capture_output=True, text=True).stdout.strip().splitlines()[0]
    print(f"machine: nproc {len(os.sched_getaffinity(0))}, load average {load()}; {version}")
    failed = False
    with tempfile.TemporaryDirectory(prefix="archive-bench-") as tmp:
        zips, sevens = os.path.join(tmp, "zip"), os.path.join(tmp, "7z")
        os.makedirs(zips)
        os.makedirs(sevens)
        packed = 0
        for i in range(FILES):
            order = ("z64", "v64", "n64")[i % 3]
            image = os.path.join(tmp, f"game{i:02d}.{order}")
            subprocess.run([binary("tolvane-make-rom"), "--size", SIZE, "--order", order,
                            "--name", f"BENCH {i:02d}", image], check=True, stdout=subprocess.DEVNULL)
            half_compressible(image)
            subprocess.run(["zip", "-q", "-j", "-6", os.path.join(zips, f"game{i:02d}.zip"), image], check=True)
            subprocess.run(["7zr", "a", "-bd", "-mx=5", os.path.join(sevens, f"game{i:02d}.7z"), image],
                           check=True, stdout=subprocess.DEVNULL)
            packed += os.path.getsize(os.path.join(zips, f"game{i:02d}.zip"))
            os.remove(image)
        print(f"{FILES} x {SIZE} images, zipped to {packed / (FILES << 24):.2f} of their size")

        for folder, suffix, reference, target in ((zips, "zip", "unzip -p '{}' | md5sum", ZIP_TARGET),
                                                  (sevens, "7z", "7zr e -so '{}' | md5sum", SEVEN_ZIP_TARGET)):
            archives = sorted(os.path.join(folder, name) for name in os.listdir(folder))
            rominfo = [binary("tolvane-rominfo"), "-r", "--json", folder]
            theirs = sequential([reference.format(a) for a in archives])
            timed_rss(rominfo), theirs()
            peak = [0.0]

            def ours():
                t, rss = timed_rss(rominfo)
                peak[0] = max(peak[0], rss)
                return t
            a, b = side_by_side(args.rounds, ours, theirs)
            ok = a / b <= target and peak[0] < RSS_MIB
            failed |= not ok
            print(f"first scan of .{suffix} (64 x 16 MiB): tolvane-rominfo -r --json {a * 1000:.0f} ms, "
                  f"{reference.format('A')} one after another {b * 1000:.0f} ms, ratio {a / b:.3f} "
                  f"(target <= {target}), peak RSS {peak[0]:.1f} MiB (target < {RSS_MIB}) {'ok' if ok else 'MISSED'}")

        # Warm rescan: 10,000 cached archive entries (one small zip each) against find.
        small = os.path.join(tmp, "small")
        os.makedirs(small)
        seed = os.path.join(tmp, "seed.z64")
        subprocess.run([binary("tolvane-make-rom"), "--size", "4K", seed], check=True, stdout=subprocess.DEVNULL)
        for i in range(RESCAN_ENTRIES):
            with zipfile.ZipFile(os.path.join(small, f"rom{i:05d}.zip"), "w", zipfile.ZIP_DEFLATED) as z:
                z.write(seed, "game.z64")
        cache = os.path.join(tmp, "rescan.sqlite")
        rescan = [binary("tolvane-rescan-bench"), cache, small]
        find = ["find", small, "-type", "f", "-printf", "%s %T@ %i\n"]
        run(rescan)
        _, out = run(rescan)
        if out.decode().split() != [str(RESCAN_ENTRIES), str(RESCAN_ENTRIES), "0"]:
            sys.exit(f"warm rescan did not come from the cache: {out.decode()}")
        a, b = side_by_side(max(args.rounds, 9), lambda: run(rescan)[0], lambda: run(find)[0])
        ok = a / b <= RESCAN_TARGET
        failed |= not ok
        print(f"warm rescan (10,000 cached archive entries): rescan {a * 1000:.1f} ms, find -printf {b * 1000:.1f} ms, "
              f"ratio {a / b:.2f} (target <= {RESCAN_TARGET}) {'ok' if ok else 'MISSED'}")
    print(f"load average after: {load()}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
