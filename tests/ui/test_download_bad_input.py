"""Bad input gets a clear message and loses nothing: no crash, the window given back,
and no file on the drive changed."""
import subprocess
import sys
from pathlib import Path

import pytest

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "servers"))
from download_rig import answer_and_wait_idle, inputs_enabled, start_download, wait_message  # noqa: E402

URL_ERROR = "不能打开该URL!"
FILE_ERROR = "不能打开本地的文件!"
WWW = {"mid.bin": (300_000, 3)}


def snapshot(folder):
    return {p.name: p.read_bytes() for p in Path(folder).iterdir() if p.is_file()}


def expect_refusal(app, drive, message, address, disk, name, extension):
    (drive.folder / "keep.bin").write_bytes(b"an existing file")
    before = snapshot(drive.folder)
    start_download(app, address, disk, name, extension)
    box = wait_message(app)
    assert (box["title"], box["text"]) == ("信息：", message)
    answer_and_wait_idle(app, box)
    assert all(inputs_enabled(app).values())
    # What was typed is still there to be corrected.
    assert (app.text("硬盘"), app.text("名字"), app.text("格式"), app.text("编辑框_地址")) == (
        disk, name, extension, address)
    assert snapshot(drive.folder) == before
    assert app.running()


# (case, drive, name, extension, message); the address is the good one unless given.
LOCAL_CASES = [
    ("all boxes empty", "", "", "", FILE_ERROR),  # the inputs are checked before the address
    ("empty drive", "", "keep", ".bin", FILE_ERROR),
    ("drive with its colon", "t:", "keep", ".bin", FILE_ERROR),
    ("drive that does not exist", "q", "keep", ".bin", FILE_ERROR),
    ("two letters", "tt", "keep", ".bin", FILE_ERROR),
    ("question mark in the name", "t", "ke?p", ".bin", FILE_ERROR),
    ("star in the name", "t", "ke*p", ".bin", FILE_ERROR),
    ("bar, angle and quote in the name", "t", 'k|e<e"p', ".bin", FILE_ERROR),
    ("folder that does not exist", "t", "nofolder\\keep", ".bin", FILE_ERROR),
    ("path longer than MAX_PATH", "t", "k" * 250, ".bin", FILE_ERROR),
]


@pytest.mark.parametrize("case,disk,name,extension,message", LOCAL_CASES, ids=[c[0] for c in LOCAL_CASES])
def test_bad_target(app, hostile, drive, case, disk, name, extension, message):
    assert not (drive.link.parent / "q:").exists()
    expect_refusal(app, drive, message, hostile.url("file", "mid.bin"), disk, name, extension)


ADDRESS_CASES = [
    ("empty address", "", "t", "keep", ".bin"),
    ("no scheme", "127.0.0.1/mid.bin", "t", "keep", ".bin"),
    ("unknown scheme", "htp://127.0.0.1/mid.bin", "t", "keep", ".bin"),
    ("nobody listening", "http://127.0.0.1:1/mid.bin", "t", "keep", ".bin"),
]


@pytest.mark.parametrize("case,address,disk,name,extension", ADDRESS_CASES, ids=[c[0] for c in ADDRESS_CASES])
def test_bad_address(app, drive, case, address, disk, name, extension):
    expect_refusal(app, drive, URL_ERROR, address, disk, name, extension)


def test_read_only_target(app, hostile, drive):
    # Root ignores permission bits; an immutable folder refuses even root.
    if subprocess.run(["chattr", "+i", str(drive.folder)], capture_output=True).returncode != 0:
        pytest.skip("chattr +i is not available here")
    try:
        before = snapshot(drive.folder)
        start_download(app, hostile.url("file", "mid.bin"), "t", "ro", ".bin")
        box = wait_message(app)
        assert box["text"] == FILE_ERROR
        answer_and_wait_idle(app, box)
        assert snapshot(drive.folder) == before
    finally:
        subprocess.run(["chattr", "-i", str(drive.folder)])


def test_full_disk_reports_a_write_error_and_keeps_what_was_written(app, hostile, drive, tmp_path):
    small = tmp_path / "small_disk"
    small.mkdir()
    if subprocess.run(["mount", "-t", "tmpfs", "-o", "size=64k", "tmpfs", str(small)],
                      capture_output=True).returncode != 0:
        pytest.skip("cannot mount a small tmpfs here")
    try:
        drive.point_at(small)
        start_download(app, hostile.url("file", "mid.bin"), "t", "full", ".bin")
        box = wait_message(app)
        assert (box["title"], box["text"]) == ("信息：", "写文件出错!")
        answer_and_wait_idle(app, box)
        kept = (small / "full.bin.tmp").read_bytes()
        source = (Path(hostile.root) / "mid.bin").read_bytes()
        assert 0 < len(kept) <= 64 * 1024 and kept == source[:len(kept)]
        assert not (small / "full.bin").exists()
    finally:
        drive.point_at(drive.folder)
        subprocess.run(["umount", "-l", str(small)])
