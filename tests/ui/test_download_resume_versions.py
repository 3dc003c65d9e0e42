"""A resume never splices two versions of a file: the range is asked with the validator
of the answer that started the partial file (If-Range), so a file changed on the server
comes whole; without a usable validator the resume is a plain range as before."""
import sys
import time
from pathlib import Path

import pytest

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "servers"))
from download_rig import IDYES, answer_and_wait_idle, start_download, wait_idle, wait_message  # noqa: E402
from servers import versioned_bytes  # noqa: E402

DATE_V1 = "Wed, 15 Nov 2023 22:13:20 GMT"  # Last-Modified of version 1


def stop_part_way(app, hostile, drive, address):
    """Downloads slowly and presses Stop once at least 100 KB are in the partial file."""
    start_download(app, address, "t", "v", ".bin")
    partial = drive.folder / "v.bin.tmp"
    assert app.wait_until(lambda: partial.exists() and partial.stat().st_size >= 100_000, timeout=20)
    app.click("按钮_停止")
    wait_idle(app, timeout=3)
    time.sleep(0.3)
    kept = partial.stat().st_size
    assert 100_000 <= kept < 300_000
    return kept


def resume(app, hostile, address):
    before = len(hostile.requests)
    start_download(app, address, "t", "v", ".bin")
    question = wait_message(app)
    assert question["text"] == "文件已存在，是否断点续传？"
    app.answer(question, IDYES)
    box = wait_message(app, timeout=30)
    assert box["title"] == "下载成功", box
    answer_and_wait_idle(app, box)
    return hostile.requests[before]["headers"]


# (server's validators, version after the stop, If-Range expected on the resume)
CASES = [
    ("etag=strong", 2, '"v1"'),        # changed: the whole new version comes
    ("etag=strong", 1, '"v1"'),        # unchanged: a true resume
    ("etag=none", 2, DATE_V1),         # only Last-Modified
    ("etag=none", 1, DATE_V1),
    ("etag=weak&lastmod=0", 1, None),  # a weak tag is no validator for a range: plain Range
    # A server that ignores If-Range sends a range of the new version, with its new tag:
    # the program sees the tag, drops the range and asks for the whole file.
    ("etag=strong&ifrange=ignore", 2, '"v1"'),
]


@pytest.mark.parametrize("validators,version,if_range", CASES,
                         ids=["tag-changed", "tag-same", "date-changed", "date-same", "weak-tag", "if-range-ignored"])
def test_a_resume_continues_only_the_same_version(app, hostile, drive, validators, version, if_range):
    address = f"http://127.0.0.1:{hostile.port}/versioned/v.bin?{validators}&step=10240&every=60"
    kept = stop_part_way(app, hostile, drive, address)
    hostile.version = version
    headers = resume(app, hostile, address)
    assert headers["Range"] == f"bytes={kept}-"
    assert headers.get("If-Range") == if_range
    assert (drive.folder / "v.bin").read_bytes() == versioned_bytes(version)


def test_a_partial_file_made_by_hand_resumes_with_a_plain_range(app, hostile, drive):
    (drive.folder / "v.bin.tmp").write_bytes(versioned_bytes(1)[:150_000])
    headers = resume(app, hostile, f"http://127.0.0.1:{hostile.port}/versioned/v.bin")
    assert headers["Range"] == "bytes=150000-" and "If-Range" not in headers
    assert (drive.folder / "v.bin").read_bytes() == versioned_bytes(1)


def test_a_partial_file_edited_after_the_stop_resumes_with_a_plain_range(app, hostile, drive):
    address = f"http://127.0.0.1:{hostile.port}/versioned/v.bin?step=10240&every=60"
    kept = stop_part_way(app, hostile, drive, address)
    partial = drive.folder / "v.bin.tmp"
    partial.write_bytes(partial.read_bytes()[:kept - 1000])  # cut by hand: no longer the file kept
    headers = resume(app, hostile, address)
    assert headers["Range"] == f"bytes={kept - 1000}-" and "If-Range" not in headers
    assert (drive.folder / "v.bin").read_bytes() == versioned_bytes(1)
