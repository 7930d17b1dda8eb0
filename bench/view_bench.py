#!/usr/bin/env python3
"""The library's views with 10,000 games: search per keystroke, scrolling a grid of large
covers, and how soon the window appears with a full library and history. Release build.
Usage: bench/view_bench.py --build BUILD_DIR [--rounds 9]"""
import argparse
import os
import plistlib
import sqlite3
import statistics
import subprocess
import sys
import tempfile

FILTER_TARGET_MS = 16
STALL_TARGET_MS = 50
MEMORY_TARGET_MIB = 300
APPEAR_TARGET_MS = 30
GAMES = 10000


def load():
    with open("/proc/loadavg") as f:
        return " ".join(f.read().split()[:3])


def xdg(root):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", HOME=os.path.join(root, "home"),
               XDG_CONFIG_HOME=os.path.join(root, "config"), XDG_CACHE_HOME=os.path.join(root, "cache"),
               XDG_DATA_HOME=os.path.join(root, "data"), XDG_RUNTIME_DIR=os.path.join(root, "run"))
    for key in ("HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"):
        os.makedirs(env[key], mode=0o700, exist_ok=True)
    return env


def settings(env, values):
    folder = os.path.join(env["XDG_CONFIG_HOME"], "tolvane-launcher")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "settings.plist"), "wb") as f:
        plistlib.dump(values, f)


def run(argv, env):
    return subprocess.run(argv, env=env, check=True, capture_output=True, text=True).stdout.strip()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--rounds", type=int, default=9)
    args = parser.parse_args()
    bench = os.path.join(args.build, "bin", "tolvane-view-bench")
    print(f"machine: nproc {len(os.sched_getaffinity(0))}, load average {load()}")
    failed = False
    with tempfile.TemporaryDirectory(prefix="view-bench-") as tmp:
        # Search: every keystroke of "mario kart 1" typed and deleted again.
        out = run([bench, "filter"], xdg(os.path.join(tmp, "filter")))
        for line in out.splitlines():
            worst = float(line.split("worst ")[1].split()[0])
            ours = "reference" not in line
            ok = not ours or worst <= FILTER_TARGET_MS
            failed |= not ok
            print(f"search over {GAMES:,} games, {line}" + (f" (target <= {FILTER_TARGET_MS} ms) {'ok' if ok else 'MISSED'}" if ours else ""))

        # Grid: 10,000 covers, hard links to 200 distinct 2000 x 2800 JPEGs; cold, then with thumbnails.
        covers = os.path.join(tmp, "covers")
        env = xdg(os.path.join(tmp, "grid"))
        run([bench, "covers", covers], env)
        for state in ("cold", "thumbnails on disk"):
            line = run([bench, "scroll", covers], env)
            worst = float(line.split("worst stall of ")[1].split()[0])
            memory = float(line.split("peak memory ")[1].split()[0])
            ok = worst < STALL_TARGET_MS and memory < MEMORY_TARGET_MIB
            failed |= not ok
            print(f"{state}: {line} (targets < {STALL_TARGET_MS} ms, < {MEMORY_TARGET_MIB} MiB) {'ok' if ok else 'MISSED'}")

        # Window: empty library against 10,000 cached files and 10,000 history rows, alternated.
        empty = xdg(os.path.join(tmp, "empty"))
        full = xdg(os.path.join(tmp, "full"))
        roms = os.path.join(tmp, "roms")
        os.makedirs(roms)
        seed = os.path.join(tmp, "seed.z64")
        subprocess.run([os.path.join(args.build, "bin", "tolvane-make-rom"), "--size", "4K", seed], check=True,
                       stdout=subprocess.DEVNULL)
        with open(seed, "rb") as f:
            image = f.read()
        for i in range(GAMES):
            with open(os.path.join(roms, f"rom{i:05d}.z64"), "wb") as f:
                f.write(image)
        settings(empty, {})
        settings(full, {"LibraryFolders": [roms]})
        history = os.path.join(full["XDG_DATA_HOME"], "tolvane-launcher")
        os.makedirs(history)
        db = sqlite3.connect(os.path.join(history, "history.sqlite"))
        db.execute("CREATE TABLE games (md5 TEXT PRIMARY KEY, last_played INTEGER NOT NULL DEFAULT 0, "
                   "play_ms INTEGER NOT NULL DEFAULT 0, favourite INTEGER NOT NULL DEFAULT 0) WITHOUT ROWID")
        db.executemany("INSERT INTO games VALUES (?, ?, ?, ?)",
                       ((f"{i:032x}", 1700000000 + i, i * 1000, i % 7 == 0) for i in range(GAMES)))
        db.execute("PRAGMA user_version=1")
        db.commit()
        db.close()
        # The first start fills the library cache; later ones read it.
        subprocess.run([os.path.join(args.build, "bin", "tolvane-rescan-bench"),
                        os.path.join(full["XDG_CACHE_HOME"], "tolvane-launcher", "library.sqlite"), roms],
                       check=True, stdout=subprocess.DEVNULL)
        times = {"empty": [], "full": []}
        for _ in range(args.rounds):
            times["empty"].append(float(run([bench, "appear"], empty)))
            times["full"].append(float(run([bench, "appear"], full)))
        a, b = statistics.median(times["full"]), statistics.median(times["empty"])
        ok = a - b <= APPEAR_TARGET_MS
        failed |= not ok
        print(f"window appears: {GAMES:,} games and history {a:.1f} ms, empty library {b:.1f} ms, "
              f"difference {a - b:.1f} ms (target <= {APPEAR_TARGET_MS} ms) {'ok' if ok else 'MISSED'}")
    print(f"load average after: {load()}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
