#!/usr/bin/python3
"""Download benchmark: a 256 MiB file from nginx on 127.0.0.1, three ways under the same
Wine prefix, and how quickly the window answers while the program downloads.

  /usr/bin/python3 bench/download_bench.py [--size-mib 256] [--runs 3]

Environment as for the UI tests: LANSHI_BUILD_DIR (default build), LANSHI_WINEPREFIX,
LANSHI_DISPLAY. Prints figures; it passes or fails nothing.
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

REPO = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(REPO / "tests" / "ui"))
sys.path.insert(0, str(REPO / "tests" / "servers"))
from lanshi_ui import BUILD, Driver, Program, VirtualDisplay, wine_env, win_path  # noqa: E402
from download_rig import Drive, start_download  # noqa: E402
from servers import Nginx, make_file, sha256_of  # noqa: E402

BARE_SOURCE = REPO / "bench" / "bare_wininet_loop.cpp"
BARE_EXE = BUILD / "bench" / "bare_wininet_loop.exe"


def build_bare_loop():
    if BARE_EXE.exists() and BARE_EXE.stat().st_mtime > BARE_SOURCE.stat().st_mtime:
        return
    BARE_EXE.parent.mkdir(parents=True, exist_ok=True)
    subprocess.run(["i686-w64-mingw32-g++-posix", "-O2", "-static", str(BARE_SOURCE), "-o", str(BARE_EXE),
                    "-lwininet"], check=True)


def mb_per_s(size, seconds):
    return size / (1024 * 1024) / seconds


def run_native(url, target):
    t0 = time.perf_counter()
    subprocess.run(["curl", "-s", "-o", str(target), url], check=True)
    return time.perf_counter() - t0


def run_bare(env, url, target, mode="", cpu=None):
    proc = subprocess.Popen(["wine", str(BARE_EXE), url, win_path(target)] + ([mode] if mode else []), env=env,
                            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    out = proc.stdout.read().split()
    _, status, usage = os.wait4(proc.pid, 0)
    proc.returncode = os.waitstatus_to_exitcode(status)
    assert proc.returncode == 0 and len(out) == 2, f"bare loop failed ({proc.returncode})"
    if cpu is not None:
        cpu.append(usage.ru_utime + usage.ru_stime)
    return float(out[1]) / 1000


def unix_pid_of(program_folder):
    """The Linux process that runs the program (Wine runs each Windows process as one)."""
    needle = str(program_folder).replace("/", "\\").encode()
    for entry in Path("/proc").iterdir():
        if entry.name.isdigit():
            try:
                cmdline = (entry / "cmdline").read_bytes()
            except OSError:
                continue
            if b"LanshiDownloader.exe" in cmdline and needle.lower() in cmdline.lower():
                return int(entry.name)
    return None


def cpu_seconds(pid):
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def run_program(app, drive, url, pings=None, cpu=None):
    """Click to published file. With `pings`, the window is pinged all along
    (SendMessageTimeout WM_NULL from outside); without, only the file system is watched,
    so the measuring adds no load to Wine."""
    for p in drive.folder.glob("bench.bin*"):
        p.unlink()
    final = drive.folder / "bench.bin"
    pid = unix_pid_of(app.folder) if cpu is not None else None
    cpu_before = cpu_seconds(pid) if pid else 0
    start_download(app, url, drive.letter, "bench", ".bin")
    t0 = time.perf_counter()
    while not final.exists():
        if pings is not None:
            answer = app.ping(timeout_ms=5000)
            pings.append(answer["us"] / 1000 if answer["ok"] else 5000.0)
            time.sleep(0.01)
        else:
            time.sleep(0.002)
    seconds = time.perf_counter() - t0
    if pid:
        cpu.append(cpu_seconds(pid) - cpu_before)
    box = app.wait_dialog(timeout=30)
    assert box["title"] == "下载成功", box
    app.answer(box)
    return seconds


def percentile(values, p):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(round(p / 100 * (len(ordered) - 1))))]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--size-mib", type=int, default=256)
    parser.add_argument("--runs", type=int, default=3)
    args = parser.parse_args()
    size = args.size_mib * 1024 * 1024

    build_bare_loop()
    env = wine_env()
    display = VirtualDisplay(env, compositor=False)
    tmp = Path(tempfile.mkdtemp(prefix="lanshi-bench-"))
    www = tmp / "www"
    make_file(www / "big.bin", size, seed=42)
    source_hash = sha256_of(www / "big.bin")
    nginx = Nginx(www, tmp / "nginx")
    url = nginx.url("big.bin")
    driver = Driver(env)
    drive = Drive("t", tmp / "drive_t")
    app = Program(driver, tmp / "program").start()
    results = {"native curl": [], "bare WinINet loop": [], "bare WinINet loop (async)": [], "program": [],
               "program, pinged every 10 ms": []}
    pings = []
    cpu = {"bare": [], "bare async": [], "program": []}
    try:
        for run in range(args.runs):
            results["native curl"].append(run_native(url, drive.folder / "curl.bin"))
            results["bare WinINet loop"].append(run_bare(env, url, drive.folder / "bare.bin", cpu=cpu["bare"]))
            results["bare WinINet loop (async)"].append(
                run_bare(env, url, drive.folder / "bare.bin", "async", cpu=cpu["bare async"]))
            results["program"].append(run_program(app, drive, url, cpu=cpu["program"]))
            assert sha256_of(drive.folder / "bench.bin") == source_hash, "the program's file differs"
            results["program, pinged every 10 ms"].append(run_program(app, drive, url, pings))
    finally:
        app.stop()
        driver.close()
        nginx.stop()
        drive.remove()
        display.close()

    print(f"Download of {args.size_mib} MiB from nginx on 127.0.0.1, {args.runs} runs of each, interleaved")
    print(f"  {'':28s} {'median':>12s} {'best':>12s}   runs (MB/s)")
    median, best = {}, {}
    for name, times in results.items():
        median[name] = mb_per_s(size, statistics.median(times))
        best[name] = mb_per_s(size, min(times))
        runs = ", ".join(f"{mb_per_s(size, t):.1f}" for t in times)
        print(f"  {name:28s} {median[name]:7.1f} MB/s {best[name]:7.1f} MB/s   {runs}")
    for base in ("bare WinINet loop", "bare WinINet loop (async)"):
        print(f"  ratio program / {base:26s} median {median['program'] / median[base]:.3f}"
              f"   best {best['program'] / best[base]:.3f}   (target >= 0.95)")
    if cpu["bare"] and cpu["program"]:
        program_cpu = statistics.median(cpu["program"])
        print("  CPU time of the downloading process (user + system, median; less sensitive to other load):")
        print(f"    program {program_cpu:.2f} s (all its threads, painting included)")
        for name in ("bare", "bare async"):
            bare_cpu = statistics.median(cpu[name])
            print(f"    {name + ' loop':16s} {bare_cpu:.2f} s   {name} / program {bare_cpu / program_cpu:.3f}")
    print(f"Window round trip during the program's downloads ({len(pings)} pings, SendMessageTimeout WM_NULL):")
    print(f"  p50 {percentile(pings, 50):.2f} ms   p99 {percentile(pings, 99):.2f} ms   max {max(pings):.2f} ms"
          "   (target p99 <= 50 ms)")
    subprocess.run(["rm", "-rf", str(tmp)])


if __name__ == "__main__":
    main()
