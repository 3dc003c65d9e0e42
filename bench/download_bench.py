#!/usr/bin/python3
"""Download benchmark: a file from nginx on 127.0.0.1, from the program and from its
yardsticks under the same Wine prefix, with the CPU time each spends; how quickly the
window answers while the program downloads; how soon the progress moves when the server
is slow.

  /usr/bin/python3 bench/download_bench.py [--size-mib 32,256] [--runs 5] [--busy 2] [--no-slow]

The bare WinINet loops are compiled here for the architecture the tests run
(scripts/arch.sh): plain blocking reads of 10,240 bytes (the classic block) and of the
program's largest read, and the program's own way of reading. --busy N spins N shell
loops beside the runs (a busy machine; the machine's own load is printed too).

Environment as for the UI tests: LANSHI_BUILD_DIR (default build), LANSHI_WINEPREFIX,
LANSHI_DISPLAY. Prints figures; it passes or fails nothing.
"""
import argparse
import os
import re
import select
import statistics
import subprocess
import sys
import tempfile
import threading
import time
from pathlib import Path

REPO = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(REPO / "tests" / "ui"))
sys.path.insert(0, str(REPO / "tests" / "servers"))
from lanshi_ui import BUILD, Driver, Program, VirtualDisplay, wine_env, win_path  # noqa: E402
from download_rig import Drive  # noqa: E402
from servers import HostileServer, Nginx, make_file, sha256_of  # noqa: E402

BARE_SOURCE = REPO / "bench" / "bare_wininet_loop.cpp"
CLASSIC_BLOCK = 10240


def test_arch():
    return subprocess.run(["bash", "-c", f'source "{REPO}/scripts/arch.sh" && echo "$LANSHI_ARCH"'],
                          check=True, stdout=subprocess.PIPE, text=True).stdout.strip()


def largest_read():
    """The program's largest read, as its source sets it."""
    text = (REPO / "net" / "internet_connection.h").read_text()
    m = re.search(r"kReadBufferSize = (\d+)(?: \* (\d+))?;", text)
    return int(m.group(1)) * int(m.group(2) or 1)


def build_bare_loop(arch):
    exe = BUILD / "bench" / f"bare_wininet_loop-{arch}.exe"
    if exe.exists() and exe.stat().st_mtime > BARE_SOURCE.stat().st_mtime:
        return exe
    exe.parent.mkdir(parents=True, exist_ok=True)
    subprocess.run([f"{arch}-w64-mingw32-g++-posix", "-O2", "-static", str(BARE_SOURCE), "-o", str(exe),
                    "-lwininet"], check=True)
    return exe


WATCHER = r"""
import ctypes, os, select, struct, sys, time
libc = ctypes.CDLL("libc.so.6", use_errno=True)
fd = libc.inotify_init1(0)
if fd < 0 or libc.inotify_add_watch(fd, sys.argv[1].encode(), 0x8 | 0x80 | 0x100) < 0:
    sys.exit(1)
pid = None  # the process whose CPU time each notice carries ("pid N" on stdin)


def snapshot():
    if pid is None:
        return "-"
    try:
        threads = []
        for task in os.listdir(f"/proc/{pid}/task"):
            with open(f"/proc/{pid}/task/{task}/schedstat") as f:
                threads.append(f"{task}:{f.read().split()[0]}")
        with open(f"/proc/{pid}/stat") as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return ",".join(threads) + "|" + str(int(fields[11]) + int(fields[12]))
    except OSError:
        return "-"


print("ready", flush=True)
while True:
    ready = select.select([fd, 0], [], [])[0]
    if 0 in ready:
        line = sys.stdin.readline()
        if not line:
            break
        pid = int(line.split()[1]) if line.startswith("pid ") else None
        print("ok", flush=True)
        continue
    data = os.read(fd, 65536)
    now = time.monotonic()
    cpu = snapshot()
    while len(data) >= 16:
        _, mask, _, length = struct.unpack_from("iIII", data)
        name = data[16:16 + length].split(b"\0", 1)[0].decode()
        data = data[16 + length:]
        sys.stdout.write(f"{now!r} {mask} {cpu} {name}\n")
    sys.stdout.flush()
"""


class FolderWatch:
    """Times the files of one folder by the kernel's notices (inotify): when a file was
    created, closed after writing, renamed into place. The notices are read and stamped
    by a process of their own at a raised priority that waits in the kernel meanwhile: it
    spends no CPU time while a download runs (a polling watcher competes with the program
    on a busy machine, and only with the program), and on a busy machine it still wakes at
    once (a thread of this script may wait for the interpreter lock or the CPU)."""
    IN_CLOSE_WRITE, IN_MOVED_TO, IN_CREATE = 0x8, 0x80, 0x100

    def __init__(self, folder):
        self.proc = subprocess.Popen([sys.executable, "-c", WATCHER, str(folder)], stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE,
                                     preexec_fn=lambda: os.setpriority(os.PRIO_PROCESS, 0, -10))
        assert self.proc.stdout.readline().strip() == b"ready", "the folder watcher did not start"
        self.fd = self.proc.stdout.fileno()
        self.pending = b""
        self.events = []

    def _read(self, timeout):
        """Takes in the notices that came, waiting at most `timeout` for the first."""
        if select.select([self.fd], [], [], timeout)[0]:
            self.pending += os.read(self.fd, 65536)
            *lines, self.pending = self.pending.split(b"\n")
            self.events += [line.decode().split(" ", 3) for line in lines]
            return True
        return False

    def drain(self):
        while self._read(0):
            pass
        self.events = []

    def follow(self, pid):
        """From now on each notice carries the CPU time of process `pid` as it was when
        the notice came (read by the watcher at once, before this script wakes up)."""
        self.proc.stdin.write(f"pid {pid}\n".encode())
        self.proc.stdin.flush()
        while not any(e == ["ok"] for e in self.events):
            self._read(30)
        self.events = [e for e in self.events if e != ["ok"]]

    def wait(self, name, mask, timeout=600):
        """Waits until `name` gets the notice `mask`; the moment the notice came
        (time.perf_counter's clock) and the followed process's CPU snapshot then (as
        process_cpu gives it). Notices before it are used up."""
        deadline = time.perf_counter() + timeout
        while True:
            while self.events:
                stamp, got, cpu, entry = self.events.pop(0)
                if entry == name and int(got) & mask:
                    return float(stamp), parse_snapshot(cpu)
            left = deadline - time.perf_counter()
            if left <= 0:
                raise AssertionError(f"{name}: no notice {mask:#x} within {timeout} s")
            self._read(left)

    def close(self):
        self.proc.kill()
        self.proc.wait()


def thread_cpu(pid):
    """Nanoseconds each thread of a Linux process has run (the scheduler's own count,
    far finer than /proc's 10 ms clock ticks)."""
    out = {}
    for task in Path(f"/proc/{pid}/task").iterdir():
        try:
            out[int(task.name)] = int((task / "schedstat").read_text().split()[0])
        except (OSError, ValueError):
            continue
    return out


def parse_snapshot(text):
    if text == "-":
        return None
    threads, total = text.split("|")
    return ({int(t): int(ns) for t, ns in (x.split(":") for x in threads.split(","))},
            int(total) / os.sysconf("SC_CLK_TCK"))


def process_cpu(pid):
    """A snapshot of a process's CPU time: its threads' counts and /proc's total."""
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return thread_cpu(pid), (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def cpu_between(before, after):
    """Seconds of CPU time between two snapshots: the threads' fine counts, unless a
    thread ended in between (its time is then only in /proc's coarse total)."""
    threads_before, total_before = before
    threads_after, total_after = after
    if any(tid not in threads_after for tid in threads_before):
        return total_after - total_before
    return sum(ns - threads_before.get(tid, 0) for tid, ns in threads_after.items()) / 1e9


def warm_pages(folder, size):
    """Writes and deletes a scratch file as large as the download, just before it starts.
    Writing a new file costs the kernel a page for every 4 KiB, and on this machine (a
    virtual one) a page freed a moment ago is three to four times cheaper to fill than
    one that lay free for long: without this, whichever download happened to follow the
    deletion of another's file looked faster and leaner (see README)."""
    scratch = Path(folder) / "warm.scratch"
    block = b"\0" * (1 << 20)
    with open(scratch, "wb") as f:
        for _ in range(size // len(block)):
            f.write(block)
    scratch.unlink()


def mb_per_s(size, seconds):
    # (a download shorter than the watcher can tell apart shows as inf)
    return size / (1024 * 1024) / seconds if seconds > 0 else float("inf")


def run_native(url, target, size, watch, cpu=None):
    """curl, timed as the others are: from its file's creation to its close."""
    warm_pages(target.parent, size)
    watch.drain()
    proc = subprocess.Popen(["curl", "-s", "-o", str(target), url])
    created, _ = watch.wait(target.name, FolderWatch.IN_CREATE)
    closed, _ = watch.wait(target.name, FolderWatch.IN_CLOSE_WRITE)
    _, status, usage = os.wait4(proc.pid, 0)
    assert os.waitstatus_to_exitcode(status) == 0, "curl failed"
    if cpu is not None:
        cpu.append(usage.ru_utime + usage.ru_stime)
    target.unlink()
    return closed - created


def pid_running(exe):
    for entry in Path("/proc").iterdir():
        if entry.name.isdigit():
            try:
                if exe.name.encode() in (entry / "cmdline").read_bytes().split(b"\0")[0]:
                    return int(entry.name)
            except OSError:
                continue
    raise LookupError(exe.name)


def run_bare(env, exe, url, target, size, block, mode, watch, cpu=None, transfer_cpu=None):
    """From the file's creation (the answer has come) to its close after the last byte, as
    the folder's notices show it (the program is timed the same way); CPU time of the
    process from before it opens the address to after it closed the file (Wine's
    start-up left out) into `cpu`, and over the wall-time interval into `transfer_cpu`.
    Like every run's, its file is deleted right after it: each run writes a new file,
    under the same conditions (see README)."""
    proc = subprocess.Popen(["wine", str(exe), url, win_path(target), str(block), mode], env=env,
                            stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    assert proc.stdout.readline().strip() == b"ready", "the bare loop did not start"
    pid = pid_running(exe)
    watch.follow(pid)
    warm_pages(target.parent, size)
    watch.drain()
    cpu_before = process_cpu(pid)
    proc.stdin.write(b"go\n")
    proc.stdin.flush()
    created, cpu_created = watch.wait(target.name, FolderWatch.IN_CREATE)
    closed, cpu_after = watch.wait(target.name, FolderWatch.IN_CLOSE_WRITE)
    assert proc.stdout.readline().strip() == b"done", f"bare loop ({block}, {mode}) failed"
    if cpu is not None:
        cpu.append(cpu_between(cpu_before, cpu_after))
    if transfer_cpu is not None:
        transfer_cpu.append(cpu_between(cpu_created, cpu_after))
    proc.stdin.write(b"end\n")
    proc.stdin.flush()
    out = proc.stdout.read().decode("ascii", "replace").split()
    assert proc.wait() == 0 and len(out) == 2 and int(out[0]) == size, f"bare loop ({block}, {mode}) read {out}"
    target.unlink()
    return closed - created


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


def run_program(app, drive, url, size, watch, pings=None, cpu=None, threads=None, transfer_cpu=None):
    """From the partial file's creation (the answer has come) to the published file, as
    the folder's notices show it. With `pings`, the window is pinged from the click to
    the end (SendMessageTimeout WM_NULL from outside). CPU time of the whole process from
    the click on into `cpu`, over the wall-time interval into `transfer_cpu`, and
    (window thread, download thread) from the click on into `threads`."""
    for field, text in (("硬盘", drive.letter), ("名字", "bench"), ("格式", ".bin"), ("编辑框_地址", url)):
        app.type(field, text)
    app.move_pointer(*app.control_centre("按钮_下载"))
    pid = unix_pid_of(app.folder)
    watch.follow(pid)
    warm_pages(drive.folder, size)
    watch.drain()
    before = process_cpu(pid)
    done = threading.Event()

    def ping():  # the driver is this thread's alone meanwhile; the click goes through xdotool
        while not done.is_set():
            ping_once(app, pings)

    pinger = threading.Thread(target=ping) if pings is not None else None
    if pinger:
        pinger.start()
    app.xdotool("click", 1)
    created, at_created = watch.wait("bench.bin.tmp", FolderWatch.IN_CREATE)
    # The CPU time as it was when the file was published, read by the watcher at once:
    # the success box that follows draws its animation in the same process.
    published, after = watch.wait("bench.bin", FolderWatch.IN_MOVED_TO)
    done.set()
    if pinger:
        pinger.join()
    if cpu is not None:
        cpu.append(cpu_between(before, after))
    if transfer_cpu is not None:
        transfer_cpu.append(cpu_between(at_created, after))
    if threads is not None:
        # The window thread is the process's first; the download thread is the busiest new one.
        spent = {tid: (ns - before[0].get(tid, 0)) / 1e9 for tid, ns in after[0].items()}
        fresh = [t for t in spent if t not in before[0]]
        threads.append((spent.get(pid, 0.0), max((spent[t] for t in fresh), default=0.0)))
    box = app.wait_dialog(timeout=30)
    assert box["title"] == "下载成功", box
    app.answer(box)
    return published - created


def ping_once(app, pings):
    """One round trip to the window (SendMessageTimeout WM_NULL from the driver) into
    `pings`, in ms (5000 for none within 5 s), then the 10 ms pause between two."""
    answer = app.ping(timeout_ms=5000)
    pings.append(answer["us"] / 1000 if answer["ok"] else 5000.0)
    time.sleep(0.01)


def round_trips(pings):
    return f"p50 {percentile(pings, 50):.2f} ms   p99 {percentile(pings, 99):.2f} ms   max {max(pings):.2f} ms"


def ping_idle(app, count, pings):
    """`count` round trips to the window while it does nothing, paced as during a
    download: what the machine alone makes a round trip cost, for comparison. The
    success box's closing animation (480 ms, on the window's thread) is let pass first."""
    app.wait_until(lambda: not app.dialogs(), timeout=10)
    time.sleep(0.6)
    for _ in range(count):
        ping_once(app, pings)


def percentile(values, p):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(round(p / 100 * (len(ordered) - 1))))]


def watch_progress(app, drive, url, seconds):
    """Starts a download and reads the status for `seconds`: when the first figures
    showed (s after the click) and the longest time the figures stood still."""
    for p in drive.folder.glob("slow.bin*"):
        p.unlink()
    for field, text in (("硬盘", drive.letter), ("名字", "slow"), ("格式", ".bin"), ("编辑框_地址", url)):
        app.type(field, text)
    app.move_pointer(*app.control_centre("按钮_下载"))
    t0 = time.perf_counter()
    app.xdotool("click", 1)
    first, last_change, longest, shown = None, None, 0.0, None
    while time.perf_counter() - t0 < seconds:
        text = app.text("状态")
        now = time.perf_counter()
        if text.startswith("正在下载:"):
            done = text.split("\r\n")[2] if text.count("\r\n") >= 2 else text
            if first is None:
                first = now - t0
            if done != shown:
                if last_change is not None:
                    longest = max(longest, now - last_change)
                shown, last_change = done, now
        time.sleep(0.01)
    if last_change is not None:
        longest = max(longest, time.perf_counter() - last_change)
    app.click("按钮_停止")
    app.wait_until(lambda: app.text("状态") == "就绪", timeout=10)
    return first, longest


def busy_loops(count):
    """`count` shell loops that spin for ever (one per core: a busy machine)."""
    return [subprocess.Popen(["bash", "-c", "while :; do :; done"]) for _ in range(count)]


def measure_size(size, runs, env, bare_exe, bare, nginx, www, app, drive, watch):
    make_file(www / "big.bin", size, seed=42)
    source_hash = sha256_of(www / "big.bin")
    url = nginx.url("big.bin")
    first = bare[-1][0]  # the program's way
    gauge = first + ", again"
    names = ["native curl"] + [b[0] for b in bare] + ["program", gauge, "program, pinged every 10 ms"]
    wall = {name: [] for name in names}
    cpu = {name: [] for name in names}
    transfer_cpu = {name: [] for name in names}
    threads, pings, idle_pings, loads = [], [], [], []

    def loop(name, block, mode):
        wall[name].append(run_bare(env, bare_exe, url, drive.folder / "bare.bin", size, block, mode, watch,
                                   cpu=cpu[name], transfer_cpu=transfer_cpu[name]))

    for _ in range(runs):
        loads.append(os.getloadavg()[0])
        wall["native curl"].append(run_native(url, drive.folder / "curl.bin", size, watch, cpu=cpu["native curl"]))
        for name, block, mode in bare:
            loop(name, block, mode)
        wall["program"].append(run_program(app, drive, url, size, watch, cpu=cpu["program"], threads=threads,
                                           transfer_cpu=transfer_cpu["program"]))
        assert sha256_of(drive.folder / "bench.bin") == source_hash, "the program's file differs"
        (drive.folder / "bench.bin").unlink()
        # The same loop once more, away from its first run: how far apart two runs of one
        # contender land in this run, the machine's own noise.
        loop(gauge, *bare[-1][1:])
        before = len(pings)
        wall["program, pinged every 10 ms"].append(run_program(app, drive, url, size, watch, pings))
        (drive.folder / "bench.bin").unlink()
        ping_idle(app, max(len(pings) - before, 20), idle_pings)
    loads.append(os.getloadavg()[0])
    for p in drive.folder.glob("*.bin*"):
        p.unlink()

    mib = size // (1024 * 1024)
    print(f"Download of {mib} MiB from nginx on 127.0.0.1, {runs} runs of each, interleaved; "
          f"load average {min(loads):.2f}-{max(loads):.2f} during the runs")
    print(f"  {'':36s} {'median':>12s} {'best':>12s} {'CPU (median)':>13s}   runs (MB/s)")
    median, best, cpu_median = {}, {}, {}
    for name in names:
        times = wall[name]
        median[name] = mb_per_s(size, statistics.median(times))
        best[name] = mb_per_s(size, min(times))
        cpu_median[name] = statistics.median(cpu[name]) if cpu[name] else None
        runs_text = ", ".join(f"{mb_per_s(size, t):.1f}" for t in times)
        cpu_text = f"{cpu_median[name]:9.3f} s" if cpu_median[name] is not None else f"{'':>11s}"
        cpu_runs = "; CPU " + ", ".join(f"{c:.2f}" for c in cpu[name]) if cpu[name] else ""
        print(f"  {name:36s} {median[name]:7.1f} MB/s {best[name]:7.1f} MB/s {cpu_text}     {runs_text}{cpu_runs}")
    fastest = max((b[0] for b in bare), key=lambda n: median[n])
    leanest = min((b[0] for b in bare), key=lambda n: cpu_median[n])
    print(f"  program / fastest bare loop ({fastest}): wall {median['program'] / median[fastest]:.3f} (median)"
          f"   (goal >= 0.9)")
    print(f"  program / leanest bare loop ({leanest}): CPU {cpu_median[leanest] / cpu_median['program']:.3f}"
          f"   (from the start: the loops from opening the address, the program from the click, its inputs"
          f" greyed; all its threads, painting included)")
    transfer_median = {name: statistics.median(transfer_cpu[name]) for name in names if transfer_cpu[name]}
    leanest_transfer = min((b[0] for b in bare), key=lambda n: transfer_median[n])
    print(f"  program / leanest bare loop ({leanest_transfer}): CPU over the transfer "
          f"{transfer_median[leanest_transfer] / transfer_median['program']:.3f}   (goal >= 0.9; the wall-time "
          "interval, from the file's creation to its completion; all the program's threads, painting included)")
    print(f"  the machine's own noise, the program's way run twice (again / first): wall "
          f"{median[gauge] / median[first]:.3f}, CPU over the transfer "
          f"{transfer_median[first] / transfer_median[gauge]:.3f}   (1 on a steady machine)")
    print("  CPU over the transfer (median, s): "
          + ", ".join(f"{name} {transfer_median[name]:.3f}" for name in names if name in transfer_median))
    print(f"  the program's CPU by thread (median): window {statistics.median(t[0] for t in threads):.3f} s, "
          f"download {statistics.median(t[1] for t in threads):.3f} s; each run "
          + ", ".join(f"{w:.2f}/{d:.2f}" for w, d in threads))
    print(f"  window round trip during the program's downloads ({len(pings)} pings, SendMessageTimeout WM_NULL): "
          f"{round_trips(pings)}   (goal p99 <= 50 ms)")
    print(f"  window round trip with no download, right after each ({len(idle_pings)} pings): "
          f"{round_trips(idle_pings)}   (what the machine alone costs)")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--size-mib", default="256", help="sizes to download, comma-separated (e.g. 32,256)")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--busy", type=int, default=0, help="shell loops spinning beside the runs (a busy machine)")
    parser.add_argument("--no-slow", action="store_true", help="leave out the slow servers")
    args = parser.parse_args()
    sizes = [int(x) * 1024 * 1024 for x in args.size_mib.split(",")]

    arch = test_arch()
    bare_exe = build_bare_loop(arch)
    largest = largest_read()
    env = wine_env()
    display = VirtualDisplay(env, compositor=False)
    tmp = Path(tempfile.mkdtemp(prefix="lanshi-bench-"))
    www = tmp / "www"
    make_file(www / "slow.bin", 300_000, seed=7)
    nginx = Nginx(www, tmp / "nginx")
    hostile = HostileServer(www)
    driver = Driver(env)
    drive = Drive("t", tmp / "drive_t")
    watch = FolderWatch(drive.folder)
    app = Program(driver, tmp / "program").start()
    bare = [(f"bare loop, {CLASSIC_BLOCK:,}-byte reads", CLASSIC_BLOCK, "sync"),
            (f"bare loop, {largest:,}-byte reads", largest, "sync"),
            ("bare loop, the program's way", largest, "nowait")]
    busy = busy_loops(args.busy)
    print(f"{arch} build; {args.busy} busy loops beside the runs; load average before: {LOAD_BEFORE}")
    try:
        for size in sizes:
            measure_size(size, args.runs, env, bare_exe, bare, nginx, www, app, drive, watch)
        if not args.no_slow:
            # Slow servers: 2 KB/s (200 bytes every 100 ms) and 1 KB/s (100 bytes every 100 ms).
            print("Progress on a slow server (3 runs each): first figures after the click; "
                  "longest time they stood still")
            for label, step in (("2 KB/s", 200), ("1 KB/s", 100)):
                runs = [watch_progress(app, drive, hostile.url("trickle", "slow.bin", step=step, every=100), 4)
                        for _ in range(3)]
                firsts = ", ".join(f"{f:.2f} s" if f is not None else "never" for f, _ in runs)
                stills = ", ".join(f"{g * 1000:.0f} ms" for _, g in runs)
                print(f"  {label}: first {firsts}; still at most {stills}   "
                      "(goals: first within 1 s, still <= 200 ms)")
    finally:
        for p in busy:
            p.kill()
        app.stop()
        driver.close()
        watch.close()
        hostile.stop()
        nginx.stop()
        drive.remove()
        display.close()
        subprocess.run(["rm", "-rf", str(tmp)])


LOAD_BEFORE = ", ".join(f"{x:.2f}" for x in os.getloadavg())

if __name__ == "__main__":
    main()
