#!/usr/bin/python3
"""Start-up benchmark: how long a large answer from the update server holds the
program's start-up, for bodies of several sizes, with and without a Content-Length.

  /usr/bin/python3 bench/startup_bench.py [--runs 3] [--sizes 131072,1048576,...]

Starts the program under Wine against the tests' update server (the build must be made
with -DLANSHI_UPDATE_SERVER=http://127.0.0.1:<port>, as scripts/test.sh does), which
answers the version request with a 200 and a body of the size given, as fast as the
program takes it. Prints, for each case, the time from the program's start to its
window showing, from the server's accepting the request to the window's taking input
(the fetch is over) and to the connection's end, and how many bytes the server got rid
of before that.

Environment as for the UI tests: LANSHI_BUILD_DIR (default build), LANSHI_WINEPREFIX,
LANSHI_DISPLAY. Prints figures; it passes or fails nothing.
"""
import argparse
import statistics
import sys
import tempfile
import time
from pathlib import Path

REPO = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(REPO / "tests" / "ui"))
sys.path.insert(0, str(REPO / "tests" / "servers"))
from conftest import update_server_port  # noqa: E402
from lanshi_ui import MAIN_TITLE, Driver, Program, VirtualDisplay, wine_env  # noqa: E402
from update_server import UpdateServer  # noqa: E402

MIB = 1024 * 1024


def one_start(driver, folder, port, size, announce):
    server = None
    for _ in range(50):  # the last run's socket may linger a moment
        try:
            server = UpdateServer(port, mode="huge", huge_size=size, announce=announce).start()
            break
        except OSError:
            time.sleep(0.1)
    if server is None:
        raise RuntimeError(f"port {port} stays busy")
    program = Program(driver, folder)
    try:
        began = time.monotonic()
        program.start(wait_window=False)
        program.hwnd = driver.must("find", MAIN_TITLE, 60000, program.pid)["hwnd"]
        shown = time.monotonic() - began
        program.wait_ready(60)
        ready = time.monotonic()
        program.wait_until(lambda: server.connections and server.connections[0]["ended"], timeout=10)
        c = server.connections[0]
        ended = c["ended"] - c["accepted"] if c["ended"] else float("nan")
        return shown, ready - c["accepted"], ended, c["sent"]
    finally:
        program.stop()
        server.stop()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--sizes", default=f"{128 * 1024},{MIB},{10 * MIB},{100 * MIB}")
    args = parser.parse_args()
    sizes = [int(s) for s in args.sizes.split(",")]
    port = update_server_port()
    env = wine_env()
    display = VirtualDisplay(env)
    driver = Driver(env)
    try:
        print(f"medians of {args.runs}: body size, its length, start to window shown, request to window taking "
              "input, request to connection ended, bytes sent by the server")
        for size in sizes:
            for announce in (True, False):
                rows = []
                for run in range(args.runs):
                    with tempfile.TemporaryDirectory() as folder:
                        rows.append(one_start(driver, folder, port, size, announce))
                shown, ready, ended, sent = (statistics.median(r[i] for r in rows) for i in range(4))
                print(f"{size / MIB:8.3f} MiB  {'announced' if announce else 'none':9}  {shown:10.2f} s  "
                      f"{ready:10.2f} s  {ended:14.2f} s  {sent / MIB:12.2f} MiB  "
                      f"(taking input: {min(r[1] for r in rows):.2f}-{max(r[1] for r in rows):.2f} s)",
                      flush=True)
    finally:
        driver.close()
        display.close()


if __name__ == "__main__":
    main()
