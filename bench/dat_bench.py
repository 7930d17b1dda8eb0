#!/usr/bin/env python3
"""The player's DAT files: reading one of 100,000 entries in each form, the GUI thread's
longest stall while the library takes it, and a warm start with 10,000 games and three DATs of
10,000 entries against the same start without DATs (the window's appearance, the rescan, and
the last status). Release build; run it under nice on a quiet machine.
Usage: bench/dat_bench.py --build BUILD_DIR [--rounds 9]"""
import argparse
import hashlib
import os
import plistlib
import statistics
import subprocess
import sys
import tempfile

READ_TARGET_MS = 1000
STALL_TARGET_MS = 50
APPEAR_TARGET_MS = 30
RESCAN_TARGET_RATIO = 1.1
GAMES = 10000


def load():
    with open("/proc/loadavg") as f:
        return " ".join(f.read().split()[:3])


def xdg(root, values):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", HOME=os.path.join(root, "home"),
               XDG_CONFIG_HOME=os.path.join(root, "config"), XDG_CACHE_HOME=os.path.join(root, "cache"),
               XDG_DATA_HOME=os.path.join(root, "data"), XDG_RUNTIME_DIR=os.path.join(root, "run"))
    for key in ("HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"):
        os.makedirs(env[key], mode=0o700, exist_ok=True)
    folder = os.path.join(env["XDG_CONFIG_HOME"], "tolvane-launcher")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "settings.plist"), "wb") as f:
        plistlib.dump(values, f)
    return env


def run(argv, env):
    return subprocess.run(argv, env=env, check=True, capture_output=True, text=True).stdout.strip()


def write_dat(path, entries, text_form):
    """entries: (game name, size, md5) in order; both forms carry the same set."""
    with open(path, "w") as f:
        if text_form:
            f.write('clrmamepro (\n\tname "Bench (Text)"\n\tversion 1\n)\n\n')
            for name, size, md5 in entries:
                f.write(f'game (\n\tname "{name}"\n\trom ( name "{name}.z64" size {size} crc {md5[:8]} '
                        f'md5 {md5} sha1 {md5}{md5[:8]} )\n)\n\n')
        else:
            f.write('<?xml version="1.0"?>\n<datafile>\n\t<header>\n\t\t<name>Bench (XML)</name>\n'
                    '\t\t<version>1</version>\n\t</header>\n')
            for name, size, md5 in entries:
                f.write(f'\t<game name="{name}">\n\t\t<description>{name}</description>\n'
                        f'\t\t<rom name="{name}.z64" size="{size}" crc="{md5[:8]}" md5="{md5}" sha1="{md5}{md5[:8]}"/>\n'
                        '\t</game>\n')
            f.write('</datafile>\n')


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--rounds", type=int, default=9)
    args = parser.parse_args()
    bench = os.path.join(args.build, "bin", "tolvane-dat-bench")
    view = os.path.join(args.build, "bin", "tolvane-view-bench")
    print(f"machine: nproc {len(os.sched_getaffinity(0))}, load average {load()}")
    failed = False
    with tempfile.TemporaryDirectory(prefix="dat-bench-") as tmp:
        # 100,000 entries; the first 10,000 MD5s are those of the stall benchmark's games.
        big = [(f"Game {i:06d} (Europe) (Rev 1)", 8 << 20, f"{i:032x}") for i in range(100000)]
        forms = {"xml": os.path.join(tmp, "big.xml"), "text": os.path.join(tmp, "big.dat")}
        for form, path in forms.items():
            write_dat(path, big, form == "text")
        for line in run([bench, "read", *forms.values()], xdg(os.path.join(tmp, "read"), {})).splitlines():
            ms = float(line.split("median ")[1].split()[0])
            ok = ms < READ_TARGET_MS
            failed |= not ok
            print(f"read {os.path.basename(line.split(':')[0])} ({os.path.getsize(line.split(':')[0]) >> 20} MiB), "
                  f"{line.split(': ', 1)[1]} (target < {READ_TARGET_MS} ms) {'ok' if ok else 'MISSED'}")
        for form, path in forms.items():
            line = run([bench, "stall", path], xdg(os.path.join(tmp, "stall-" + form), {}))
            worst = float(line.split("worst stall of ")[1].split()[0])
            ok = worst <= STALL_TARGET_MS
            failed |= not ok
            print(f"stall, {form} form, 10,000 games shown: {line} (target <= {STALL_TARGET_MS} ms) {'ok' if ok else 'MISSED'}")

        # Warm start: 10,000 distinct 4 KiB images; one DAT lists them all, two others 10,000 other games.
        roms = os.path.join(tmp, "roms")
        os.makedirs(roms)
        seed = os.path.join(tmp, "seed.z64")
        subprocess.run([os.path.join(args.build, "bin", "tolvane-make-rom"), "--size", "4K", seed], check=True,
                       stdout=subprocess.DEVNULL)
        with open(seed, "rb") as f:
            image = bytearray(f.read())
        listed = []
        for i in range(GAMES):
            image[-4:] = i.to_bytes(4, "big")
            with open(os.path.join(roms, f"rom{i:05d}.z64"), "wb") as f:
                f.write(image)
            listed.append((f"Game {i:05d} (Europe)", len(image), hashlib.md5(image).hexdigest()))
        dats = [os.path.join(tmp, name) for name in ("listed.xml", "other.dat", "more.xml")]
        write_dat(dats[0], listed, False)
        for n, path in enumerate(dats[1:], 1):
            write_dat(path, [(f"Other {n} {i:05d} (Japan)", 8 << 20, f"{n:04x}{i:028x}") for i in range(GAMES)],
                      path.endswith(".dat"))
        envs = {"without DATs": xdg(os.path.join(tmp, "plain"), {"LibraryFolders": [roms]}),
                "with 3 DATs": xdg(os.path.join(tmp, "dats"), {"LibraryFolders": [roms], "DatFiles": dats})}
        # The first start fills the library cache (rows and parsed DATs); later ones read it.
        for env in envs.values():
            run([bench, "start"], env)
        times = {(kind, name): [] for kind in ("rescan", "last status", "appear") for name in envs}
        for _ in range(args.rounds):
            for name, env in envs.items():
                rescan, last = run([bench, "start"], env).split()
                times[("rescan", name)].append(float(rescan))
                times[("last status", name)].append(float(last))
                times[("appear", name)].append(float(run([view, "appear"], env)))
        median = {key: statistics.median(value) for key, value in times.items()}
        a, b = median[("appear", "with 3 DATs")], median[("appear", "without DATs")]
        ok = a - b <= APPEAR_TARGET_MS
        failed |= not ok
        print(f"window appears: with 3 DATs {a:.1f} ms, without {b:.1f} ms, difference {a - b:+.1f} ms "
              f"(target <= {APPEAR_TARGET_MS} ms) {'ok' if ok else 'MISSED'}")
        # The target is the rescan's; the statuses come from the DATs' own thread beside it.
        for kind in ("rescan", "last status"):
            a, b = median[(kind, "with 3 DATs")], median[(kind, "without DATs")]
            ok = kind != "rescan" or a / b <= RESCAN_TARGET_RATIO
            failed |= not ok
            print(f"warm start to the {kind}: with 3 DATs {a:.1f} ms, without {b:.1f} ms, ratio {a / b:.2f}"
                  + (f" (target <= {RESCAN_TARGET_RATIO}) {'ok' if ok else 'MISSED'}" if kind == "rescan" else ""))
    print(f"load average after: {load()}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
