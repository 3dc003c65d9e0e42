"""Answers that claim more, less or other than they deliver: a file is published under
"下载成功" only when the bytes received meet every claim of the answer; otherwise an
error is shown, nothing is published, and a partial file stays as it was. A bad answer
never reaches the next download, inputs are refused before anything is sent, and an
address's fragment never leaves the program."""
import sys
import time
from pathlib import Path

import pytest

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "servers"))
from download_rig import IDYES, answer_and_wait_idle, start_download, wait_message  # noqa: E402
from servers import HostileServer, make_file, sha256_of  # noqa: E402

URL_ERROR = "不能打开该URL!"
FILE_ERROR = "不能打开本地的文件!"
SIZE = 300_000


@pytest.fixture(scope="module")
def www(tmp_path_factory):
    root = tmp_path_factory.mktemp("www")
    make_file(root / "mid.bin", SIZE, seed=19)
    return root


@pytest.fixture
def hostile(www):
    server = HostileServer(www)
    yield server
    server.stop()


def expect_success(app, drive, www, name):
    box = wait_message(app)
    assert box["title"] == "下载成功", box
    answer_and_wait_idle(app, box)
    assert sha256_of(drive.folder / name) == sha256_of(www / "mid.bin")


def expect_error(app, drive, message, name):
    box = wait_message(app)
    assert (box["title"], box["text"]) == ("信息：", message)
    answer_and_wait_idle(app, box)
    assert not (drive.folder / name).exists()


# (route, arguments, whether the whole file is published; else "不能打开该URL!")
FRESH_CASES = [
    ("clchunked", {"value": 150_000}, True),   # the chunks decide, not the smaller length
    ("clchunked", {"value": 600_000}, True),   # nor the larger one
    ("clchunked", {"value": "abc"}, True),     # an unreadable length beside chunks says nothing
    ("nostatus", {}, False),                   # another service on the port
    ("piece", {}, False),                      # a 206 to a request without a range
    ("piece", {"first": 0, "last": SIZE - 1}, False),  # even one that spans the file
]


@pytest.mark.parametrize("kind,args,whole", FRESH_CASES,
                         ids=["chunked-beside-a-shorter-length", "chunked-beside-a-longer-length",
                              "chunked-beside-garbage", "no-status-line", "206-unasked", "206-unasked-whole"])
def test_a_fresh_download_takes_only_a_whole_file(app, hostile, www, drive, kind, args, whole):
    start_download(app, hostile.url(kind, "mid.bin", **args), "t", "a", ".bin")
    if whole:
        expect_success(app, drive, www, "a.bin")
    else:
        expect_error(app, drive, URL_ERROR, "a.bin")
        assert not (drive.folder / "a.bin.tmp").exists()


# 206 answers to a resume of 123,457 bytes (the range asked starts 64 KiB earlier).
PIECE_CASES = [
    {},                                    # 1,000 bytes from where it was asked: short of the end
    {"first": 123_457 - 65_536, "last": SIZE - 2},  # one byte short of the end
    {"first": 0, "last": 999},             # a start nobody asked for
]


@pytest.mark.parametrize("args", PIECE_CASES, ids=["short-span", "one-byte-short", "wrong-start-short"])
def test_a_piece_that_does_not_finish_the_file_keeps_the_partial_file(app, hostile, www, drive, args):
    partial = drive.folder / "p.bin.tmp"
    kept = (www / "mid.bin").read_bytes()[:123_457]
    partial.write_bytes(kept)
    start_download(app, hostile.url("piece", "mid.bin", **args), "t", "p", ".bin")
    app.answer(wait_message(app), IDYES)
    expect_error(app, drive, URL_ERROR, "p.bin")
    assert partial.read_bytes() == kept


@pytest.mark.parametrize("status", [304, 204])
def test_a_body_left_on_the_connection_never_reaches_the_next_download(app, hostile, www, drive, status):
    start_download(app, hostile.url("leftover", str(status)), "t", "bad", ".bin")
    expect_error(app, drive, URL_ERROR, "bad.bin")
    # The next download from the same server is an honest one.
    start_download(app, hostile.url("file", "mid.bin"), "t", "good", ".bin")
    expect_success(app, drive, www, "good.bin")


@pytest.mark.parametrize("route", ["file/mid.bin#part2", "redirect/mid.bin?fragment=part2"])
def test_a_fragment_is_never_sent(app, hostile, www, drive, route):
    start_download(app, f"http://127.0.0.1:{hostile.port}/{route}", "t", "f", ".bin")
    expect_success(app, drive, www, "f.bin")
    assert all("#" not in r["path"] for r in hostile.requests), [r["path"] for r in hostile.requests]


@pytest.mark.parametrize("target", ["ftp://127.0.0.1/mid.bin", "file:///c:/windows/win.ini"])
def test_a_redirect_to_another_scheme_is_refused(app, hostile, drive, target):
    start_download(app, hostile.url("redirectto", "mid.bin", to=target), "t", "r", ".bin")
    expect_error(app, drive, URL_ERROR, "r.bin")
    assert len(hostile.requests) == 1
    assert list(drive.folder.iterdir()) == []


# (drive, name, extension): refused before any question, request or file.
INPUT_CASES = [
    ("CON", "f", ".bin"), ("NUL", "f", ".bin"), ("COM1", "f", ".bin"), ("tt", "f", ".bin"), ("1", "f", ".bin"),
    ("t", "COM0", ".bin"), ("t", "LPT0", ""), ("t", "COM¹", ".txt"), ("t", "lpt²", ""),
    ("t", "*", ".bin"), ("t", "?", ".bin"), ("t", "o<t", ".bin"), ("t", "f", ".b|n"), ("t", "sub/f", ".bin"),
]


@pytest.mark.parametrize("disk,name,extension", INPUT_CASES, ids=["|".join(c) for c in INPUT_CASES])
def test_inputs_that_are_no_plain_file_are_refused_before_anything_is_sent(app, hostile, drive, disk, name,
                                                                           extension):
    (drive.folder / "other.bin.tmp").write_bytes(b"another download's partial file")
    before = sorted(p.name for p in drive.folder.iterdir())
    start_download(app, hostile.url("file", "mid.bin"), disk, name, extension)
    box = wait_message(app)
    assert (box["title"], box["text"]) == ("信息：", FILE_ERROR)  # no resume question first
    answer_and_wait_idle(app, box)
    assert hostile.requests == []
    assert sorted(p.name for p in drive.folder.iterdir()) == before
