#!/usr/bin/python3
"""Stop benchmark: what each Stop of a stalled download costs the program's process.

  /usr/bin/python3 bench/stop_bench.py [--stops 40] [--exe path/to/LanshiDownloader.exe]

Starts the program under Wine, downloads one file whole from nginx (so that what
WinINet keeps for the process from then on is counted before the stops), then starts
and stops `--stops` downloads from a server that stalls mid-body, clicking 停止 each
time. Reads threads, socket descriptors and RssAnon from /proc of the program's Linux
process before and after, and the server's count of open connections.

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


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--stops", type=int, default=40)
    parser.add_argument("--exe", default=str(PROGRAM_EXE))
    args = parser.parse_args()

    env = wine_env()
    display = VirtualDisplay(env)
    driver = Driver(env)
    with tempfile.TemporaryDirectory(prefix="stop-bench-") as tmp:
        tmp = Path(tmp)
        make_file(tmp / "www" / "big.bin", 300_000, seed=5)
        nginx = Nginx(tmp / "www", tmp / "nginx")
        hostile = HostileServer(tmp / "www")
        drive = Drive("t", tmp / "drive")
        app = Program(driver, tmp / "program", exe=args.exe).start()
        try:
            pid = wine_process.linux_pid(app.exe)
            start_download(app, nginx.url("big.bin"), "t", "whole", ".bin")
            answer_and_wait_idle(app, wait_message(app))
            time.sleep(2)
            before = wine_process.holdings(pid)
            pings = []
            for i in range(args.stops):
                start_download(app, hostile.url("stall", "big.bin", first=50_000), "t", f"s{i}", ".bin")
                app.wait_until(lambda: app.text("状态").startswith("正在下载:"), timeout=10)
                time.sleep(0.2)
                app.click("按钮_停止")
                pings.append(app.ping()["us"] / 1000)
                wait_idle(app, timeout=5)
            time.sleep(2)  # what a stopped transfer lets go of, it lets go of within 2 s
            after = wine_process.holdings(pid)
            open_on_server = hostile.connections
        finally:
            app.stop()
            hostile.stop()
            nginx.stop()
            drive.remove()
    driver.close()
    display.close()

    n = args.stops
    print(f"stops: {n} (server stalled mid-body)")
    print(f"threads: {before['threads']} -> {after['threads']}")
    print(f"sockets: {before['sockets']} -> {after['sockets']}")
    print(f"connections the server still holds open: {open_on_server}")
    print(f"RssAnon: {before['rss_kb']} kB -> {after['rss_kb']} kB")
    print(f"memory per Stop: {(after['rss_kb'] - before['rss_kb']) / n:.1f} kB")
    pings.sort()
    print(f"window round trip right after Stop: median {pings[len(pings) // 2]:.2f} ms, max {pings[-1]:.2f} ms")


if __name__ == "__main__":
    main()
