"""The Download command from the outside: type the four inputs, press 下载, answer the
message boxes, and compare the file that arrives with the one the server holds."""
import sys
from pathlib import Path

import pytest

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "servers"))
from download_rig import (IDNO, IDYES, answer_and_wait_idle, inputs_enabled,  # noqa: E402
                          start_download, wait_idle, wait_message)
from lanshi_ui import IDS  # noqa: E402
from servers import sha256_of  # noqa: E402

SIZES = {"one-block.bin": 1536, "mid.bin": 300_000, "big.bin": 3_000_000, "pieces.bin": 12_000_000}
WWW = {name: (size, seed) for seed, (name, size) in enumerate(SIZES.items())}


def test_fresh_download_publishes_the_file_and_says_where(app, nginx, www, drive, screenshot):
    start_download(app, nginx.url("mid.bin"), "t", "setup", ".exe")
    box = wait_message(app)
    screenshot("success")
    assert box["title"] == "下载成功"
    assert box["text"] == "文件在  T  盘 ; 文件名为: setup ; 文件格式为:  .exe"
    # The window is given back before the message shows.
    assert app.text("状态") == "就绪"
    assert all(inputs_enabled(app).values())
    answer_and_wait_idle(app, box)
    assert sha256_of(drive.folder / "setup.exe") == sha256_of(www / "mid.bin")
    assert not (drive.folder / "setup.exe.tmp").exists()
    assert app.progress()["pos"] == 10000


def test_extension_without_dot_and_existing_final_file_replaced(app, nginx, www, drive):
    (drive.folder / "setupexe").write_bytes(b"old contents")
    start_download(app, nginx.url("one-block.bin"), "t", "setup", "exe")
    box = wait_message(app)
    assert box["text"] == "文件在  T  盘 ; 文件名为: setup ; 文件格式为:  exe"
    answer_and_wait_idle(app, box)
    assert sha256_of(drive.folder / "setupexe") == sha256_of(www / "one-block.bin")


@pytest.mark.parametrize("kind", ["chunked", "redirect", "file"])
def test_bodies_that_arrive_whole(app, hostile, www, drive, kind):
    """No Content-Length (chunked), a redirect to the file, and a plain answer."""
    start_download(app, hostile.url(kind, "big.bin"), "t", "f", ".bin")
    box = wait_message(app)
    assert box["title"] == "下载成功", box
    answer_and_wait_idle(app, box)
    assert sha256_of(drive.folder / "f.bin") == sha256_of(www / "big.bin")
    # Without an announced length the bar stays at 0.
    assert app.progress()["pos"] == (0 if kind == "chunked" else 10000)


@pytest.mark.parametrize("kind", ["chunked", "trickle"])
def test_a_body_in_many_small_pieces_arrives_whole(app, hostile, www, drive, kind):
    """Most reads wait for the network and complete out of line; every piece must be
    counted, and no wait taken for the end of the body."""
    start_download(app, hostile.url(kind, "pieces.bin", step=3000, every=0), "t", "pieces", ".bin")
    box = wait_message(app, timeout=90)
    assert box["title"] == "下载成功", box
    answer_and_wait_idle(app, box)
    assert sha256_of(drive.folder / "pieces.bin") == sha256_of(www / "pieces.bin")


def test_empty_body_gives_an_empty_file(app, hostile, drive):
    start_download(app, hostile.url("empty"), "t", "empty", ".txt")
    box = wait_message(app)
    assert box["title"] == "下载成功"
    answer_and_wait_idle(app, box)
    assert (drive.folder / "empty.txt").read_bytes() == b""


def test_request_headers_ask_for_no_compression(app, hostile, www, drive):
    start_download(app, hostile.url("gzip", "mid.bin"), "t", "g", ".bin")
    answer_and_wait_idle(app, wait_message(app))
    headers = hostile.requests[-1]["headers"]
    assert headers["Accept"] == "*/*"
    assert headers["Accept-Language"] == "zh-cn"
    assert headers["User-Agent"] == "Mozilla/4.0(compatible; MSIE 6.0; Windows NT 5.0; MyIE2; .NET CLR 1.1.4322)"
    assert "Accept-Encoding" not in headers and "Range" not in headers
    assert sha256_of(drive.folder / "g.bin") == sha256_of(www / "mid.bin")


@pytest.mark.parametrize("status", [404, 500])
def test_error_pages_are_not_stored(app, hostile, drive, status):
    final = drive.folder / "page.html"
    final.write_bytes(b"keep me")
    start_download(app, hostile.url("status", str(status)), "t", "page", ".html")
    box = wait_message(app)
    assert (box["title"], box["text"]) == ("信息：", "不能打开该URL!")
    answer_and_wait_idle(app, box)
    assert final.read_bytes() == b"keep me"
    assert not (drive.folder / "page.html.tmp").exists()


def test_connection_dropped_keeps_the_bytes_and_a_later_press_resumes(app, hostile, nginx, www, drive):
    start_download(app, hostile.url("drop", "mid.bin", after=100_000), "t", "cut", ".bin")
    box = wait_message(app)
    assert box["text"] == "读文件出错!"
    answer_and_wait_idle(app, box)
    partial = drive.folder / "cut.bin.tmp"
    assert not (drive.folder / "cut.bin").exists()
    kept = partial.read_bytes()
    assert 0 < len(kept) <= 100_000 and kept == (www / "mid.bin").read_bytes()[:len(kept)]

    # The same file again, from an honest server: resume after the kept bytes.
    start_download(app, nginx.url("mid.bin"), "t", "cut", ".bin")
    question = wait_message(app)
    assert (question["title"], question["text"]) == ("提示：", "文件已存在，是否断点续传？")
    app.answer(question, IDYES)
    box = wait_message(app)
    assert box["title"] == "下载成功"
    answer_and_wait_idle(app, box)
    assert sha256_of(drive.folder / "cut.bin") == sha256_of(www / "mid.bin")


RESUME_CASES = [
    # (server behaviour, what the server does with "Range:bytes=N-")
    "file",        # honest 206 from N: appended
    "norange",     # 200 with the whole file: written again from byte 0
    "wrongrange",  # 206 from byte 0: asked again without a range
    "barerange",   # 206 without Content-Range: asked again without a range
    "refuse416",   # 416 without a size: asked again without a range
    "redirect",    # 302 to the honest server: WinINet follows it
]


@pytest.mark.parametrize("kind", RESUME_CASES)
def test_resume_never_appends_anywhere_but_at_its_own_offset(app, hostile, www, drive, kind):
    source = (www / "mid.bin").read_bytes()
    (drive.folder / "r.bin.tmp").write_bytes(source[:123_457])
    start_download(app, hostile.url(kind, "mid.bin"), "t", "r", ".bin")
    app.answer(wait_message(app), IDYES)
    box = wait_message(app)
    assert box["title"] == "下载成功", box
    answer_and_wait_idle(app, box)
    assert sha256_of(drive.folder / "r.bin") == sha256_of(www / "mid.bin")
    # The first request asked for the rest of the file, from 64 KiB before the end of the
    # partial file (made by hand, so no validator proves its version: the overlap must match).
    ranges = [r["headers"].get("Range") for r in hostile.requests[-2:]]
    assert f"bytes={123_457 - 65_536}-" in ranges


def test_resume_of_a_complete_partial_file_publishes_it(app, nginx, www, drive):
    (drive.folder / "done.bin.tmp").write_bytes((www / "mid.bin").read_bytes())
    start_download(app, nginx.url("mid.bin"), "t", "done", ".bin")  # nginx answers 416 bytes */size
    app.answer(wait_message(app), IDYES)
    box = wait_message(app)
    assert box["title"] == "下载成功"
    answer_and_wait_idle(app, box)
    assert sha256_of(drive.folder / "done.bin") == sha256_of(www / "mid.bin")


def test_answer_no_starts_from_byte_zero(app, nginx, www, drive):
    (drive.folder / "n.bin.tmp").write_bytes(b"x" * 5000)
    start_download(app, nginx.url("mid.bin"), "t", "n", ".bin")
    # Answered from the keyboard: Tab to 否, Space; the notice then with Return.
    app.answer(wait_message(app), IDNO, by="keys")
    app.answer(wait_message(app), by="Return")
    wait_idle(app)
    assert sha256_of(drive.folder / "n.bin") == sha256_of(www / "mid.bin")


def test_a_download_with_the_keyboard_alone(app, nginx, www, drive):
    """The focus opens on the first box and Tab walks the inputs in reading order; each
    box takes what is typed while it has the focus; Space on 下载 starts the download
    and Return answers its notice."""
    typed = [("硬盘", "t"), ("名字", "键盘"), ("格式", ".bin"), ("编辑框_地址", nginx.url("mid.bin"))]
    app.focus_window(app.hwnd)  # the keyboard's, as a person's click on the window gives it
    for name, text in typed:
        assert app.focused_id() == IDS[name], f"Tab did not come to {name}"
        app.type_keys(text)
        app.tab()
    assert app.focused_id() == IDS["按钮_下载"]
    app.press("space", until=lambda: app.dialogs() or not app.control("按钮_下载")["enabled"])
    box = wait_message(app)
    assert box["title"] == "下载成功", box
    app.answer(box, by="Return")
    wait_idle(app)
    assert sha256_of(drive.folder / "键盘.bin") == sha256_of(www / "mid.bin")


def test_return_on_the_focused_download_button_starts_it(app, nginx, www, drive):
    app.type("硬盘", "t")
    app.type("名字", "enter")
    app.type("格式", ".bin")
    app.type("编辑框_地址", nginx.url("one-block.bin"))
    for _ in range(12):
        if app.focused_id() == IDS["按钮_下载"]:
            break
        app.tab()
    app.press("Return", until=lambda: app.dialogs() or not app.control("按钮_下载")["enabled"])
    box = wait_message(app)
    assert box["title"] == "下载成功", box
    answer_and_wait_idle(app, box)
    assert sha256_of(drive.folder / "enter.bin") == sha256_of(www / "one-block.bin")


def _text_rows(image, rect, is_ink):
    """Bands of consecutive pixel rows inside rect that hold ink: (first row, last row)."""
    x, y, w, h = rect
    rows = [r for r in range(y, y + h) if any(is_ink(image.getpixel((c, r))) for c in range(x, x + w))]
    bands = []
    for r in rows:
        if bands and r == bands[-1][1] + 1:
            bands[-1][1] = r
        else:
            bands.append([r, r])
    return bands


def test_a_running_download_shows_all_six_status_lines(app, hostile, drive, screenshot):
    from PIL import Image
    start_download(app, hostile.url("trickle", "big.bin", step=16384, every=100), "t", "six", ".bin")
    assert app.wait_until(lambda: app.text("状态").count("\r\n") == 5, timeout=20), app.text("状态")
    x, y, w, h = app.control("状态")["rect"]
    left, top = app.client_point(x, y)

    def red_rows():
        shot = Image.open(screenshot("six-lines")).convert("RGB")
        return _text_rows(shot, (left, top, w, h), lambda p: p[0] > 160 and p[0] - p[1] > 70 and p[0] - p[2] > 70)
    # Painting follows the text: the screen shows six lines once it has caught up.
    bands = app.wait_until(lambda: (lambda rows: rows if len(rows) == 6 else None)(red_rows()), timeout=10)
    bands = bands or red_rows()
    heights = sorted(b - a + 1 for a, b in bands)
    # Six whole lines of red text, the last one not cut by the label's bottom edge.
    assert len(bands) == 6, bands
    assert bands[-1][1] < top + h - 1 and bands[-1][1] - bands[-1][0] + 1 >= heights[len(heights) // 2] - 2, bands
    app.click("按钮_停止")
    wait_idle(app)
