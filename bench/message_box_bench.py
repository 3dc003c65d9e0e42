#!/usr/bin/python3
"""Runs the message box benchmark under Wine on a private display and prints its figures.

    bench/message_box_bench.py [build dir]      (default: build)

Needs a build with the unit tests (the benchmark is built beside them). Uses
LANSHI_WINEPREFIX and LANSHI_DISPLAY like the UI tests.
"""
import os
import subprocess
import sys
import time
from pathlib import Path

REPO = Path(__file__).resolve().parents[1]


def main():
    build = Path(sys.argv[1] if len(sys.argv) > 1 else REPO / "build").resolve()
    exe = build / "tests" / "unit" / "render" / "message_box_bench.exe"
    if not exe.exists():
        sys.exit(f"{exe} is missing: build the target message_box_bench first")
    env = os.environ.copy()
    env.setdefault("LANSHI_WINEPREFIX", str(build / "wineprefix"))
    subprocess.run(["bash", "-c", f'source "{REPO}/scripts/wine-env.sh" && lanshi_make_prefix'], env=env, check=True)
    env.update(WINEPREFIX=env["LANSHI_WINEPREFIX"], WINEARCH="win32", WINEDEBUG="-all",
               WINEDLLOVERRIDES="mscoree,mshtml=", LANG="zh_CN.UTF-8")
    display = env.get("LANSHI_DISPLAY", ":14")
    env["DISPLAY"] = display
    xvfb = None
    if not Path(f"/tmp/.X11-unix/X{display.lstrip(':')}").exists():
        xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(1)
    try:
        args = ["wine", str(exe)]
        if os.environ.get("LANSHI_BENCH_SAVE"):
            args += ["--save", os.environ["LANSHI_BENCH_SAVE"]]
        subprocess.run(args, env=env, check=False, cwd=exe.parent)
    finally:
        if xvfb:
            xvfb.terminate()


if __name__ == "__main__":
    main()
