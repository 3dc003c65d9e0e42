#!/usr/bin/python3
"""What the overlap check costs a resume: a resume without a strong ETag asks for the
range from 64 KiB before the end of the partial file and compares those bytes with the
disk's. Times the program's resume of half a file (the question answered Yes, to the
published file) against a server with a strong ETag (no overlap) and one with only a
weak ETag (overlap), interleaved, for several file sizes and two link speeds.

  /usr/bin/python3 bench/resume_overlap_bench.py [--runs 5]

Environment as for the UI tests (LANSHI_BUILD_DIR, LANSHI_WINEPREFIX). Prints figures;
it passes or fails nothing.
"""
import argparse
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

REPO = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(REPO / "tests" / "ui"))
sys.path.insert(0, str(REPO / "tests" / "servers"))
from lanshi_ui import IDYES, Driver, Program, VirtualDisplay, wine_env  # noqa: E402
from download_rig import Drive, start_download  # noqa: E402
from servers import HostileServer, versioned_bytes  # noqa: E402

OVERLAP = 65536
RECORDS = r"HKCU\Software\Lanshi\Downloader\Partial files"
FILETIME_OF_1970 = 116444736000000000


def keep_validator(env, partial, validator):
    """The record the program keeps for a partial file it started itself: its size, its
    last-write time (a FILETIME) and the validator of the first answer."""
    st = partial.stat()
    record = f"{st.st_size} {st.st_mtime_ns // 100 + FILETIME_OF_1970} {validator}"
    subprocess.run(["wine", "reg", "add", RECORDS, "/v", f"t:\\{partial.name}", "/t", "REG_SZ", "/d", record, "/f"],
                   env=env, check=True, capture_output=True)


def resume_once(app, drive, server, size, validators, pace):
    """Seconds from Yes to the published file, and the ranges asked."""
    for p in drive.folder.glob("r.bin*"):
        p.unlink()
    partial = drive.folder / "r.bin.tmp"
    partial.write_bytes(versioned_bytes(1, size)[:size // 2])
    if validators.get("etag") == "strong":
        keep_validator(app.driver.env, partial, '"v1"')
    before = len(server.requests)
    start_download(app, server.url("versioned", "r.bin", size=size, **validators, **pace), drive.letter, "r", ".bin")
    question = app.wait_dialog(timeout=30)
    assert question["text"] == "文件已存在，是否断点续传？", question
    t0 = time.perf_counter()  # the answer's own clicks are in both variants alike
    app.answer(question, IDYES)
    final = drive.folder / "r.bin"
    while not final.exists():
        time.sleep(0.002)
    seconds = time.perf_counter() - t0
    box = app.wait_dialog(timeout=60)
    assert box["title"] == "下载成功", box
    app.answer(box)
    assert final.read_bytes() == versioned_bytes(1, size), "the resumed file differs"
    ranges = [r["headers"].get("Range") for r in server.requests[before:]]
    return seconds, ranges


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=5)
    args = parser.parse_args()
    env = wine_env()
    display = VirtualDisplay(env, compositor=False)
    tmp = Path(tempfile.mkdtemp(prefix="lanshi-overlap-"))
    server = HostileServer(tmp)
    driver = Driver(env)
    drive = Drive("t", tmp / "drive_t")
    app = Program(driver, tmp / "program").start()
    kinds = {"strong ETag (no overlap)": {"etag": "strong"}, "weak ETag (64 KiB overlap)": {"etag": "weak", "lastmod": 0}}
    paces = {"loopback, full speed": {}, "paced ~1 MB/s": {"step": 10240, "every": 10}}
    sizes = [300_000, 4 << 20, 32 << 20]
    rows = []
    try:
        for pace_name, pace in paces.items():
            for size in sizes:
                if pace and size > (4 << 20):
                    continue  # 16 MiB at 1 MB/s per run is long and says nothing more
                times = {k: [] for k in kinds}
                for _ in range(args.runs):
                    for name, validators in kinds.items():
                        seconds, ranges = resume_once(app, drive, server, size, validators, pace)
                        start = size // 2 - (OVERLAP if "weak" in name else 0)
                        assert ranges == [f"bytes={start}-"], ranges
                        times[name].append(seconds)
                rows.append((pace_name, size, {k: statistics.median(v) for k, v in times.items()}))
    finally:
        app.stop()
        driver.close()
        server.stop()
        drive.remove()
        display.close()
        subprocess.run(["rm", "-rf", str(tmp)])

    print(f"Resume of half a file, from Yes to the published file; median of {args.runs} runs, interleaved")
    print(f"  {'link':22s} {'file':>10s} {'strong ETag':>12s} {'overlap':>12s} {'difference':>11s}")
    for pace_name, size, med in rows:
        strong, weak = med["strong ETag (no overlap)"], med["weak ETag (64 KiB overlap)"]
        print(f"  {pace_name:22s} {size:>10,d} {strong * 1000:9.0f} ms {weak * 1000:9.0f} ms {(weak - strong) * 1000:+8.0f} ms")
    print(f"  bytes asked again per resume: {OVERLAP:,d} (or the whole partial file when it is smaller)")


if __name__ == "__main__":
    main()
