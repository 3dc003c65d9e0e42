#!/usr/bin/python3
"""Runs the message box benchmark under Wine on a private display and prints its figures.

    /usr/bin/python3 bench/message_box_bench.py

Environment as for the UI tests: LANSHI_BUILD_DIR (default build), LANSHI_WINEPREFIX,
LANSHI_DISPLAY; Wine as scripts/wine-env.sh sets it up (the architecture of
scripts/arch.sh). LANSHI_BENCH_SAVE=<png> also saves one composed box. Prints the
machine's load before and after, since the effects' times depend on it.
"""
import os
import subprocess
import sys
from pathlib import Path

REPO = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(REPO / "tests" / "ui"))
from lanshi_ui import BUILD, VirtualDisplay, wine_env  # noqa: E402

BENCH_EXE = BUILD / "tests" / "unit" / "render" / "message_box_bench.exe"


def load():
    return Path("/proc/loadavg").read_text().split()[:3]


def main():
    if not BENCH_EXE.exists():
        subprocess.run(["ninja", "-C", str(BUILD), "-j2", "message_box_bench"], check=True)
    env = wine_env()
    display = VirtualDisplay(env, compositor=False)
    try:
        print(f"load average before: {' '.join(load())} on {os.cpu_count()} cores ({env.get('WINEARCH')})")
        args = ["wine", str(BENCH_EXE)]
        if os.environ.get("LANSHI_BENCH_SAVE"):
            args += ["--save", os.environ["LANSHI_BENCH_SAVE"]]
        subprocess.run(args, env=env, check=False, cwd=BENCH_EXE.parent)
        print(f"load average after: {' '.join(load())}")
    finally:
        display.close()


if __name__ == "__main__":
    main()
