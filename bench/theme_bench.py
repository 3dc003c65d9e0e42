#!/usr/bin/python3
"""Theme benchmark: how long the UI engine's theme steps take for the embedded
background picture at the virtual screen's size (MD5 key, average colour, composing,
writing and reading the cache, applying a picture on a first, second and later start).

  /usr/bin/python3 bench/theme_bench.py

Environment as for the UI tests: LANSHI_BUILD_DIR (default build), LANSHI_WINEPREFIX,
LANSHI_DISPLAY. Prints figures; it passes or fails nothing.
"""
import subprocess
import sys
from pathlib import Path

REPO = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(REPO / "tests" / "ui"))
from lanshi_ui import BUILD, VirtualDisplay, wine_env  # noqa: E402

BENCH_EXE = BUILD / "tests" / "unit" / "uiengine" / "theme_benchmark.exe"


def main():
    if not BENCH_EXE.exists():
        subprocess.run(["ninja", "-C", str(BUILD), "-j2", "theme_benchmark"], check=True)
    env = wine_env()
    display = VirtualDisplay(env, compositor=False)
    try:
        subprocess.run(["wine", str(BENCH_EXE)], env=env, check=True)
    finally:
        display.close()


if __name__ == "__main__":
    main()
