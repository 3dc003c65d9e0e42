#!/usr/bin/python3
"""Stop benchmark: what each Stop of a stalled download costs the program's process,
for every place a server can stall.

  /usr/bin/python3 bench/stop_bench.py [--stops 10] [--kinds silent,headers,...] [--exe path]

Starts the program under Wine, downloads one file whole from nginx (so that what
WinINet keeps for the process from then on is counted before the stops), then, for
each stall kind, starts and stops `--stops` downloads, clicking 停止 each time. The
server is deaf: it holds its end of a stalled answer open whatever the client does,
as a stuck server does, so only the program can end what it waits for. Reads threads,
socket descriptors and RssAnon from /proc of the program's Linux process before the
kind's stops and 2 s after its last one, and how many hang-ups the server saw.

Environment as for the UI tests: LANSHI_BUILD_DIR (default build), LANSHI_WINEPREFIX,
LANSHI_DISPLAY. Prints figures; it passes or fails nothing.
"""
import argparse
import sys
import tempfile
import time
from pathlib import Path

REPO = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(REPO / "tests" / "ui"))
sys.path.insert(0, str(REPO / "tests" / "servers"))
import wine_process  # noqa: E402
from lanshi_ui import PROGRAM_EXE, Driver, Program, VirtualDisplay, wine_env  # noqa: E402
from download_rig import Drive, answer_and_wait_idle, start_download, wait_idle, wait_message  # noqa: E402
from servers import HostileServer, Nginx, make_file  # noqa: E402

SIZE = 300_000
# name: (route, arguments, what shows that the program waits there)
KINDS = {
    "silent": ("silent", {}, "stalled"),                       # before the answer
    "headers": ("headstall", {}, "stalled"),                   # inside the headers
    "boundary": ("stall", {"first": 20_480}, "progress"),      # after exactly two 10,240-byte blocks
    "inside": ("stall", {"first": 50_000}, "progress"),        # inside a block
    "trickle": ("trickle", {"step": 200, "every": 100}, "progress"),  # 2 KB/s
}


def stop_once(app, hostile, kind, name):
    route, args, sign = KINDS[kind]
    stalled = hostile.stalled
    start_download(app, hostile.url(route, "big.bin" if route != "silent" and route != "headstall" else "",
                                    deaf=1, **args), "t", name, ".bin")
    if sign == "stalled":
        app.wait_until(lambda: hostile.stalled > stalled, timeout=10)
    else:
        app.wait_until(lambda: app.text("状态").startswith("正在下载:"), timeout=10)
    time.sleep(0.3)  # the program is waiting on the network now
    app.click("按钮_停止")
    ping = app.ping()["us"] / 1000
    wait_idle(app, timeout=5)
    return ping


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--stops", type=int, default=10, help="stops of each kind")
    parser.add_argument("--kinds", default=",".join(KINDS))
    parser.add_argument("--exe", default=str(PROGRAM_EXE))
    args = parser.parse_args()
    kinds = args.kinds.split(",")

    env = wine_env()
    display = VirtualDisplay(env)
    driver = Driver(env)
    rows = []
    pings = []
    with tempfile.TemporaryDirectory(prefix="stop-bench-") as tmp:
        tmp = Path(tmp)
        make_file(tmp / "www" / "big.bin", SIZE, seed=5)
        nginx = Nginx(tmp / "www", tmp / "nginx")
        hostile = HostileServer(tmp / "www")
        drive = Drive("t", tmp / "drive")
        app = Program(driver, tmp / "program", exe=args.exe).start()
        try:
            pid = wine_process.linux_pid(app.exe)
            start_download(app, nginx.url("big.bin"), "t", "whole", ".bin")
            answer_and_wait_idle(app, wait_message(app))
            time.sleep(2)
            for kind in kinds:
                before = wine_process.holdings(pid)
                hangups = hostile.hangups
                for i in range(args.stops):
                    pings.append(stop_once(app, hostile, kind, f"{kind}{i}"))
                time.sleep(2)  # what a stopped transfer lets go of, it lets go of within 2 s
                after = wine_process.holdings(pid)
                rows.append((kind, before, after, hostile.hangups - hangups))
        finally:
            app.stop()
            hostile.stop()
            nginx.stop()
            drive.remove()
    driver.close()
    display.close()

    n = args.stops
    print(f"{n} stops of each kind; the server holds its end open (deaf); figures 2 s after the last stop")
    print(f"  {'kind':10s} {'threads':>10s} {'sockets':>10s} {'RssAnon per Stop':>17s} {'hang-ups seen':>14s}")
    for kind, before, after, seen in rows:
        per_stop = (after["rss_kb"] - before["rss_kb"]) / n
        print(f"  {kind:10s} {before['threads']:>4d} -> {after['threads']:<3d} {before['sockets']:>4d} -> "
              f"{after['sockets']:<3d} {per_stop:>12.1f} kB {seen:>10d}/{n}")
    pings.sort()
    print(f"window round trip right after Stop: median {pings[len(pings) // 2]:.2f} ms, max {pings[-1]:.2f} ms")
    print("goals: threads and sockets +0, memory < 20 kB per Stop, for every kind")


if __name__ == "__main__":
    main()
