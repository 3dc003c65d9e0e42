"""A resume never splices two versions of a file: the range is asked with the validator
of the answer that started the partial file (If-Range), so a file changed on the server
comes whole; without a strong tag the range starts 64 KiB early and those bytes must
match the partial file's, else the whole file comes again from byte 0. A kept validator
that cannot be read starts the file again at once."""
import sys
from pathlib import Path

import pytest

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "servers"))
from download_rig import IDYES, answer_and_wait_idle, start_download, wait_idle, wait_message  # noqa: E402
from lanshi_ui import run_wine, wine_env  # noqa: E402
from servers import versioned_bytes  # noqa: E402

DATE_V1 = "Wed, 15 Nov 2023 22:13:20 GMT"  # Last-Modified of version 1
LONG_V1 = '"v1-%s"' % ("x" * 2000)
OVERLAP = 65536
RECORDS = r"HKCU\Software\Lanshi\Downloader\Partial files"


def stop_part_way(app, hostile, drive, address):
    """Downloads slowly and presses Stop once at least 100 KB are in the partial file."""
    start_download(app, address, "t", "v", ".bin")
    partial = drive.folder / "v.bin.tmp"
    assert app.wait_until(lambda: partial.exists() and partial.stat().st_size >= 100_000, timeout=20)
    app.click("按钮_停止")
    wait_idle(app, timeout=3)
    # Stop closes the file before it gives the window back: nothing is written after.
    kept = partial.stat().st_size
    assert 100_000 <= kept < 300_000
    return kept


def resume(app, hostile, address):
    """Answers Yes to the resume question; the headers of every request it made."""
    before = len(hostile.requests)
    start_download(app, address, "t", "v", ".bin")
    question = wait_message(app)
    assert question["text"] == "文件已存在，是否断点续传？"
    app.answer(question, IDYES)
    box = wait_message(app, timeout=30)
    assert box["title"] == "下载成功", box
    answer_and_wait_idle(app, box)
    return [r["headers"] for r in hostile.requests[before:]]


# (server's validators, version after the stop, If-Range on the resume, whether the
# range starts 64 KiB early, whether the whole file is then asked again)
CASES = [
    ("etag=strong", 2, '"v1"', False, False),  # changed: the whole new version comes
    ("etag=strong", 1, '"v1"', False, False),  # unchanged: a true resume
    ("etag=long", 2, LONG_V1, False, False),   # a tag of 2,000 characters, kept whole
    ("etag=long", 1, LONG_V1, False, False),
    ("etag=none", 2, DATE_V1, True, False),    # only Last-Modified: a date is checked by the overlap too
    ("etag=none", 1, DATE_V1, True, False),
    ("etag=weak&lastmod=0", 1, None, True, False),  # a weak tag is no validator: the overlap matches
    ("etag=weak&lastmod=0", 2, None, True, True),   # the overlap differs: from byte 0, nothing asked
    # A server that ignores If-Range but honours Range sends a range of the new version:
    # with its new tag, or with no tag at all, the piece is not taken.
    ("etag=strong&ifrange=ignore", 2, '"v1"', False, True),
    ("etag=strong&ifrange=ignore&tag206=0", 2, '"v1"', False, True),
    ("etag=strong&ifrange=ignore&tag206=0", 1, '"v1"', False, True),
]


@pytest.mark.parametrize("validators,version,if_range,overlap,again", CASES,
                         ids=["tag-changed", "tag-same", "long-tag-changed", "long-tag-same", "date-changed",
                              "date-same", "weak-tag-same", "weak-tag-changed", "if-range-ignored",
                              "if-range-ignored-no-tag", "if-range-ignored-no-tag-same"])
def test_a_resume_continues_only_the_same_version(app, hostile, drive, validators, version, if_range, overlap,
                                                   again):
    address = f"http://127.0.0.1:{hostile.port}/versioned/v.bin?{validators}&step=10240&every=60"
    kept = stop_part_way(app, hostile, drive, address)
    hostile.version = version
    requests = resume(app, hostile, address)
    assert requests[0]["Range"] == f"bytes={kept - OVERLAP if overlap else kept}-"
    assert requests[0].get("If-Range") == if_range
    assert [("Range" in r) for r in requests[1:]] == ([False] if again else [])
    assert (drive.folder / "v.bin").read_bytes() == versioned_bytes(version)


@pytest.mark.parametrize("kept,version", [(150_000, 1), (150_000, 2), (30_000, 2)],
                         ids=["same", "changed", "smaller-than-the-overlap"])
def test_a_partial_file_made_by_hand_is_checked_by_its_overlap(app, hostile, drive, kept, version):
    (drive.folder / "v.bin.tmp").write_bytes(versioned_bytes(1)[:kept])
    hostile.version = version
    requests = resume(app, hostile, f"http://127.0.0.1:{hostile.port}/versioned/v.bin")
    assert requests[0]["Range"] == f"bytes={max(0, kept - OVERLAP)}-" and "If-Range" not in requests[0]
    assert (drive.folder / "v.bin").read_bytes() == versioned_bytes(version)


def test_a_partial_file_edited_after_the_stop_is_checked_by_its_overlap(app, hostile, drive):
    address = f"http://127.0.0.1:{hostile.port}/versioned/v.bin?step=10240&every=60"
    kept = stop_part_way(app, hostile, drive, address)
    partial = drive.folder / "v.bin.tmp"
    partial.write_bytes(partial.read_bytes()[:kept - 1000])  # cut by hand: no longer the file kept
    requests = resume(app, hostile, address)
    assert requests[0]["Range"] == f"bytes={kept - 1000 - OVERLAP}-" and "If-Range" not in requests[0]
    assert (drive.folder / "v.bin").read_bytes() == versioned_bytes(1)


def reg(*args):
    """reg.exe of the test prefix: (exit code, output)."""
    return run_wine(wine_env(), "wine", "reg", *args, encoding="gbk")


RECORD_CASES = [
    ("REG_SZ", "garbled text"),
    ("REG_SZ", "1 2 " + "x" * 20000),  # longer than any validator kept
    ("REG_DWORD", "7"),                # another type
]


@pytest.mark.parametrize("kind,value", RECORD_CASES, ids=["garbled", "too-long", "other-type"])
def test_a_kept_validator_that_cannot_be_read_starts_again_from_byte_zero(app, hostile, drive, kind, value):
    # The server ignores If-Range, and its file changed: only a fresh start is right.
    address = f"http://127.0.0.1:{hostile.port}/versioned/v.bin?ifrange=ignore&step=10240&every=60"
    stop_part_way(app, hostile, drive, address)
    assert reg("add", RECORDS, "/v", "t:\\v.bin.tmp", "/t", kind, "/d", value, "/f")[0] == 0
    hostile.version = 2
    requests = resume(app, hostile, address)
    assert [("Range" in r) for r in requests] == [False]
    assert (drive.folder / "v.bin").read_bytes() == versioned_bytes(2)


def test_records_of_partial_files_deleted_by_hand_are_pruned(app, hostile, drive):
    address = f"http://127.0.0.1:{hostile.port}/versioned/v.bin?step=10240&every=60"
    stop_part_way(app, hostile, drive, address)
    assert "v.bin.tmp" in reg("query", RECORDS)[1]
    (drive.folder / "v.bin.tmp").unlink()
    start_download(app, f"http://127.0.0.1:{hostile.port}/versioned/w.bin", "t", "w", ".bin")
    box = wait_message(app, timeout=30)
    assert box["title"] == "下载成功", box
    answer_and_wait_idle(app, box)
    assert "v.bin.tmp" not in reg("query", RECORDS)[1]
