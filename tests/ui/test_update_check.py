"""The version check against a local update server: the fetch at start-up and the
"在线更新" menu command for an equal, a newer and an older server version."""
import subprocess
import time

import pytest

from lanshi_ui import BUILD, IDS, IDNO, IDYES, MAIN_TITLE, PROGRAM_EXE, Program
from test_update_support import browser, skinned_boxes, wait_for_box  # noqa: F401

QUESTION = "当前版本:V1.0   服务器版本:{}   是否更新?"


def start_with(program, update_server, version):
    server = update_server(version)
    program.start()
    return server


def nothing_shown(program, wait=1.5):
    """Whether no message box shows for `wait` seconds."""
    end = time.time() + wait
    while time.time() < end:
        if program.dialogs() or skinned_boxes(program):
            return False
        time.sleep(0.1)
    return not program.dialogs() and not skinned_boxes(program)


def test_equal_version_shows_only_the_skinned_notice(program, update_server):
    server = start_with(program, update_server, b"V1.0")
    assert server.paths() == ["/zelk.txt"]  # fetched once, at start-up
    assert program.text("服务器版本") == "V1.0"
    program.select_menu("在线更新")
    box = wait_for_box(program)
    assert box["title"] == "恭喜"
    assert box["rect"][2:] == [405, 175]
    assert not program.dialogs()
    assert server.paths() == ["/zelk.txt"]  # the command only compares


LONGEST = b"V9." + b"9" * 29  # the longest version there is: 32 characters


@pytest.mark.parametrize("version", [b"V1.1", b"V1.0\r\n", b"V10.0", b"V2.0", LONGEST])
def test_newer_version_asks_and_yes_opens_the_update_page(program, update_server, browser, version):
    start_with(program, update_server, version)
    program.select_menu("在线更新")
    question = program.wait_dialog(title="有更新")
    assert question["text"] == QUESTION.format(version.decode("latin-1"))
    x, y, w, h = question["rect"]
    screen_w, screen_h = program.window()["screen"]
    assert 0 <= x and x + w <= screen_w and 0 <= y and y + h <= screen_h, (question["rect"], screen_w, screen_h)
    assert sorted(b["id"] for b in question["buttons"]) == [IDYES, IDNO]
    assert not skinned_boxes(program)
    program.answer(question, IDYES)
    opened = program.wait_until(browser, timeout=15)
    assert opened == [update_server.base + "/?post=111"]


def test_no_leaves_the_browser_alone(program, update_server, browser):
    start_with(program, update_server, b"V1.1")
    program.tab()
    assert program.focused_id() == IDS["名字"]
    # The keyboard route: F10, Down to the item, Return; then Tab to 否 and Space.
    program.select_menu("在线更新", by="keys")
    program.answer(program.wait_dialog(title="有更新"), IDNO, by="keys")
    program.stays(lambda: browser() == [] and not program.dialogs(), 2, "a page or a box opened after 否")
    # Back in the window (a click on its title), the focus is where the person left it.
    w = program.window()
    x, y, width, _ = w["rect"]
    program.click_at(x + width // 2, (y + w["client_origin"][1] - w["menu_height"]) // 2)
    program.confirm(lambda: program.focused_id() == IDS["名字"],
                    lambda: f"the click on the title: the focus is on {program.focused_id()}, not on 名字")


@pytest.mark.parametrize("version", [b"V0.9", b"1.5"])
def test_older_version_shows_nothing(program, update_server, version):
    start_with(program, update_server, version)
    assert program.text("服务器版本") == version.decode()
    program.select_menu("在线更新")
    assert nothing_shown(program)


def test_unreachable_server_leaves_the_version_empty_and_the_command_silent(program):
    program.start()  # nothing listens on the update server's port
    assert program.text("服务器版本") == ""
    assert not program.dialogs()
    program.select_menu("在线更新")
    assert nothing_shown(program)


# Servers that would hold a fetch without bounds. redirect-chain redirects six
# times, one more than is followed.
HOSTILE = ["redirect-loop", "redirect-chain", "header-trickle", "endless-headers", "trickle", "silent"]


@pytest.mark.parametrize("mode", HOSTILE)
def test_no_server_holds_the_main_window_back(program, update_server, mode):
    server = update_server(mode=mode)
    began = time.monotonic()
    program.start(timeout_ms=60000)  # returns once the main window takes input
    shown = time.monotonic()
    asked = server.connections[0]["accepted"]
    print(f"{mode}: process start to the window taking input {shown - began:.1f} s, first request to it "
          f"{shown - asked:.1f} s")
    # What the server can hold is measured from its first request: the start-up before
    # the fetch is the program's own, and on a loaded machine alone takes seconds.
    assert shown - asked <= 10
    assert program.text("服务器版本") == ""
    assert not program.dialogs()
    assert program.ping()["ok"]
    # The fetch let go of the server: no connection of it is left open.
    assert program.wait_until(lambda: not server.open_connections(), timeout=5), server.connections
    if mode.startswith("redirect"):
        assert len(server.requests) == 6  # the first request and the five redirects followed


def test_a_huge_answer_is_let_go_at_the_limit(program, update_server):
    server = update_server(mode="huge")
    program.start(timeout_ms=60000)
    ready = time.monotonic()
    connection = server.connections[0]
    assert program.wait_until(lambda: connection["ended"] is not None, timeout=10), "the connection stayed open"
    print(f"100 MB answer: first request to the window taking input {ready - connection['accepted']:.1f} s, "
          f"to the connection's end {connection['ended'] - connection['accepted']:.1f} s, "
          f"{connection['sent'] / 2**20:.1f} MiB sent")
    # Ended at the limit, not read out: what the sockets' buffers took, not the 54-75 MB
    # that reading out the rest until the deadline came to.
    assert connection["sent"] < 16 * 2**20
    assert program.text("服务器版本") == ""  # 64 KiB of "V" is no version


@pytest.mark.parametrize("status, body", [
    ("404 Not Found", b"V9.9"),
    ("500 Internal Server Error", b"V9.9"),
    ("200 OK", b"V" + b"9" * 69999),  # the question would be thousands of pixels wide
    ("200 OK", "V9.9".encode("utf-16")),  # with a byte order mark
    ("200 OK", "V9.9".encode("utf-16-le")),
    ("200 OK", b"<html><body>V9.9</body></html>"),
], ids=["404", "500", "70000-chars", "utf-16", "utf-16-le", "html"])
def test_what_is_no_version_counts_as_no_answer(program, update_server, browser, status, body):
    server = update_server(body, status=status)
    program.start()
    assert server.paths() == ["/zelk.txt"]
    assert program.text("服务器版本") == ""
    program.select_menu("在线更新")
    assert nothing_shown(program)
    assert browser() == []


INPUTS = ["硬盘", "名字", "格式", "编辑框_地址", "按钮_下载", "按钮_停止"]


def test_the_window_shows_at_once_while_the_server_is_asked(program, update_server, screenshot):
    from PIL import Image
    server = update_server(mode="silent")
    program.start(wait_window=False)
    program.hwnd = program.driver.must("find", MAIN_TITLE, 60000, program.pid)["hwnd"]
    assert program.wait_until(lambda: server.requests, timeout=30), "the version was never asked for"
    # While the server holds the request the window is on the screen, drawn, with its
    # inputs greyed.
    enabled = program.enabled()
    # A person types meanwhile: the keys go to the window (the display shows where).
    xid = program.driver.must("xwindow", program.hwnd)["xid"]
    program.xdotool("windowfocus", xid)
    program.confirm(lambda: program._x_focus() == xid, "giving the window the keyboard")
    program.xdotool("type", "--delay", 15, "ab")
    shot = Image.open(screenshot("while-asking")).convert("RGB")
    assert not server.connections[0]["ended"], "the fetch ended before the window could be looked at"
    assert not any(enabled[IDS[name]] for name in INPUTS), enabled
    program.wait_ready(60)
    assert server.connections[0]["ended"]
    x, y, w, h = program.window()["rect"]
    assert len(set(shot.crop((x, y, x + w, y + h)).getdata())) > 50, "the window was not drawn"
    assert program.text("服务器版本") == ""
    assert all(program.enabled()[IDS[name]] for name in INPUTS)
    # The first box has the focus; what was typed into the greyed window went nowhere,
    # and what is typed now arrives.
    assert program.focused_id() == IDS["硬盘"]
    program.focus_window(program.hwnd)
    program.type_keys("t")
    assert program.text("硬盘") == "t"


# Built like a copy made without -DLANSHI_UPDATE_SERVER (tests/driver/CMakeLists.txt).
NO_SERVER_EXE = BUILD / "tests" / "noserver" / "LanshiDownloader.exe"


def start_traced(driver, exe, folder, log):
    """Starts a copy of exe in folder with Wine writing every WinINet call it makes
    into log; returns the Program once its main window shows."""
    program = Program(driver, folder, exe=exe)
    env = dict(driver.env, WINEDEBUG="+wininet")
    with open(log, "wb") as out:
        subprocess.Popen(["wine", str(program.exe)], cwd=folder, env=env, stdout=subprocess.DEVNULL, stderr=out)
    found = driver.must("find", MAIN_TITLE, 30000)
    program.hwnd, program.pid = found["hwnd"], found["pid"]
    return program.wait_ready()


REQUEST_CALLS = ("InternetOpen", "InternetConnect", "HttpOpenRequest", "HttpSendRequest")


def wininet_calls(log):
    """The traced calls that open a session, a connection or a request."""
    return [line for line in log.read_text(errors="replace").splitlines()
            if ":wininet:" in line and any(name in line for name in REQUEST_CALLS)]


def test_a_build_without_a_server_asks_nobody(driver, tmp_path, update_server, browser):
    server = update_server(b"V1.1")
    # The test build, for comparison: the same trace shows its request.
    with_server = start_traced(driver, PROGRAM_EXE, tmp_path / "with", tmp_path / "with.log")
    with_server.stop()
    assert any("HttpOpenRequest" in line for line in wininet_calls(tmp_path / "with.log"))
    assert server.paths() == ["/zelk.txt"]

    program = start_traced(driver, NO_SERVER_EXE, tmp_path / "without", tmp_path / "without.log")
    try:
        assert program.text("服务器版本") == ""
        program.select_menu("在线更新")
        assert nothing_shown(program)
        assert browser() == []
    finally:
        program.stop()
    assert wininet_calls(tmp_path / "without.log") == []  # not even a session is opened
    assert server.paths() == ["/zelk.txt"]  # the test build's request only
