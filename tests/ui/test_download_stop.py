"""Progress while bytes arrive, and Stop: at once, silent, keeping the partial file."""
import re
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "servers"))
from download_rig import (IDYES, answer_and_wait_idle, inputs_enabled, start_download,  # noqa: E402
                          wait_idle, wait_message)
from servers import sha256_of  # noqa: E402

SIZE = 300_000  # 292.97 KB


WWW = {"mid.bin": (SIZE, 7)}


PROGRESS = re.compile(
    r"正在下载:(?P<name>mid\.bin[^\r]*)\r\n文件大小:(?P<total>[\d.]+)KB\r\n已下载:(?P<done>[\d.]+)KB\r\n所用时间:(?P<secs>\d+)秒\r\n"
    r"下载速度:(?P<speed>[\d.]+)KB/s\r\n(剩余时间:(?P<h>-?\d+)时(?P<m>-?\d+)分(?P<s>-?\d+)秒)?$")


def read_progress(app):
    m = PROGRESS.match(app.text("状态"))
    return m and {k: v for k, v in m.groupdict().items()}


def test_progress_lines_and_bar_while_bytes_arrive(app, hostile, www, drive, screenshot):
    start_download(app, hostile.url("trickle", "mid.bin", step=10240, every=100), "t", "p", ".bin")
    first = app.wait_until(lambda: read_progress(app), timeout=10)
    assert first, app.text("状态")
    # The inputs and the Download button are locked while the transfer runs; Stop is not.
    assert inputs_enabled(app) == {"编辑框_地址": False, "硬盘": False, "名字": False, "格式": False, "按钮_下载": False}
    assert app.control("按钮_停止")["enabled"]
    later = app.wait_until(lambda: (p := read_progress(app)) and float(p["done"]) > float(first["done"]) and p,
                           timeout=10)
    screenshot("progress")
    assert later["name"] == "mid.bin?step=10240&every=100"  # all that follows the last "/"
    assert later["total"] == "292.97"
    assert 0 < float(first["done"]) < float(later["done"]) < 292.97
    assert later["h"] == "0" and later["m"] == "0"
    assert 0 < app.progress()["pos"] < 10000
    box = wait_message(app)
    assert box["title"] == "下载成功"
    answer_and_wait_idle(app, box)
    assert app.progress()["pos"] == 10000
    assert sha256_of(drive.folder / "p.bin") == sha256_of(www / "mid.bin")


def test_resumed_transfer_shows_the_whole_file_size(app, hostile, www, drive):
    (drive.folder / "p.bin.tmp").write_bytes((www / "mid.bin").read_bytes()[:200_000])
    start_download(app, hostile.url("trickle", "mid.bin", step=10240, every=150), "t", "p", ".bin")
    app.answer(wait_message(app), IDYES)
    seen = app.wait_until(lambda: read_progress(app), timeout=10)
    assert seen["total"] == "292.97"                     # the file, not the range
    assert 195.3 <= float(seen["done"]) <= 292.97        # done counts the kept bytes
    assert int(seen["h"]) >= 0 and int(seen["m"]) >= 0 and int(seen["s"]) >= 0  # never negative
    assert app.progress()["pos"] >= 6666
    box = wait_message(app)
    answer_and_wait_idle(app, box)
    assert sha256_of(drive.folder / "p.bin") == sha256_of(www / "mid.bin")


def test_stop_on_a_silent_server_is_at_once_and_silent(app, hostile, nginx, www, drive, screenshot):
    start_download(app, hostile.url("stall", "mid.bin", first=50_000), "t", "s", ".bin")
    assert app.wait_until(lambda: read_progress(app), timeout=10)
    # A click on the greyed Download button starts nothing: one transfer at a time.
    assert not app.control("按钮_下载")["enabled"]
    app.click("按钮_下载")
    app.stays(lambda: sum(r["path"].startswith("/stall") for r in hostile.requests) == 1, 1,
              "the greyed 下载 started a second transfer")
    app.click("按钮_停止")
    wait_idle(app, timeout=3)
    assert all(inputs_enabled(app).values())
    bar = app.progress()["pos"]
    partial = drive.folder / "s.bin.tmp"
    kept = partial.read_bytes()
    assert 0 < len(kept) <= 50_000 and kept == (www / "mid.bin").read_bytes()[:len(kept)]

    # The server now sends the rest: the stopped transfer must not store, show or rename any of it.
    hostile.unstall.set()
    app.stays(lambda: app.dialogs() == [] and app.text("状态") == "就绪" and app.progress()["pos"] == bar
              and partial.read_bytes() == kept, 2, "the stopped transfer went on")
    screenshot("after-stop")
    assert not (drive.folder / "s.bin").exists()

    # The next press finds the partial file and resumes it.
    start_download(app, nginx.url("mid.bin"), "t", "s", ".bin")
    app.answer(wait_message(app), IDYES)
    answer_and_wait_idle(app, wait_message(app))
    assert sha256_of(drive.folder / "s.bin") == sha256_of(www / "mid.bin")


def test_stop_while_the_server_has_not_answered_yet(app, hostile, drive):
    start_download(app, hostile.url("silent"), "t", "w", ".bin")
    assert app.wait_until(lambda: any(r["path"].startswith("/silent") for r in hostile.requests), timeout=10)
    app.stays(lambda: app.dialogs() == [], 0.5, "a message box while the server had not answered")
    app.click("按钮_停止")
    wait_idle(app, timeout=3)
    hostile.unstall.set()  # the answer never comes; the connection ends
    app.stays(lambda: app.dialogs() == [] and app.text("状态") == "就绪", 1.5, "the stopped request went on")
    assert list(drive.folder.iterdir()) == []


def test_stop_while_the_resume_question_is_open(app, nginx, drive):
    partial = drive.folder / "q.bin.tmp"
    partial.write_bytes(b"12345")
    log = Path(nginx.tmp) / "access.log"
    requests_before = log.read_text().count("\n")
    start_download(app, nginx.url("mid.bin"), "t", "q", ".bin")
    question = wait_message(app)
    assert question["text"] == "文件已存在，是否断点续传？"
    app.click("按钮_停止")
    wait_idle(app, timeout=3)
    assert app.wait_until(lambda: app.dialogs() == [], timeout=3)
    app.stays(lambda: app.dialogs() == [], 1, "a box came back after Stop")
    assert all(inputs_enabled(app).values())
    assert partial.read_bytes() == b"12345"
    assert log.read_text().count("\n") == requests_before  # no transfer started


def test_stop_closes_an_error_message_of_the_download(app, hostile, drive):
    start_download(app, hostile.url("status", "404"), "t", "e", ".html")
    box = wait_message(app)
    assert box["text"] == "不能打开该URL!"
    app.click("按钮_停止")
    assert app.wait_until(lambda: app.dialogs() == [], timeout=3)
    wait_idle(app, timeout=3)
    assert all(inputs_enabled(app).values())


def test_stop_with_no_download_gives_the_window_back(app):
    app.click("按钮_停止")
    wait_idle(app, timeout=3)
    assert all(inputs_enabled(app).values())
    assert app.dialogs() == []


def test_closing_the_window_during_a_transfer_ends_the_program(app, hostile, drive):
    start_download(app, hostile.url("stall", "mid.bin", first=50_000), "t", "c", ".bin")
    assert app.wait_until(lambda: read_progress(app), timeout=10)
    app.close()
    assert app.wait_exit(10000) == 0
