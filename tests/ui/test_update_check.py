"""The version check against a local update server: the fetch at start-up and the
"在线更新" menu command for an equal, a newer and an older server version."""
import time

import pytest

from lanshi_ui import IDNO, IDYES
from test_update_support import browser, skinned_boxes, update_server, wait_for_box  # noqa: F401

QUESTION = "当前版本:V1.0   服务器版本:{}   是否更新?"


def start_with(program, update_server, version):
    server = update_server(version)
    program.start()
    return server


def nothing_shown(program, wait=1.5):
    time.sleep(wait)
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


@pytest.mark.parametrize("version", [b"V1.1", b"V1.0\r\n", b"V10.0", b"V2.0"])
def test_newer_version_asks_and_yes_opens_the_update_page(program, update_server, browser, version):
    start_with(program, update_server, version)
    program.select_menu("在线更新")
    question = program.wait_dialog(title="有更新")
    assert question["text"] == QUESTION.format(version.decode("latin-1"))
    assert sorted(b["id"] for b in question["buttons"]) == [IDYES, IDNO]
    assert not skinned_boxes(program)
    program.answer(question, IDYES)
    opened = program.wait_until(browser, timeout=15)
    assert opened == [update_server.base + "/?post=111"]


def test_no_leaves_the_browser_alone(program, update_server, browser):
    start_with(program, update_server, b"V1.1")
    # The keyboard route: F10, Down to the item, Return; then Tab to 否 and Space.
    program.select_menu("在线更新", by="keys")
    program.answer(program.wait_dialog(title="有更新"), IDNO, by="keys")
    time.sleep(2)
    assert browser() == []
    assert not program.dialogs()


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


def test_a_silent_server_does_not_hold_start_up(program, update_server):
    server = update_server(silent=True)
    began = time.monotonic()
    program.start(timeout_ms=60000)
    took = time.monotonic() - began
    print(f"start-up against a silent server took {took:.1f} s")
    # Receive time-out 5 s (plus the program's own start): far from a hang.
    assert took < 20
    assert server.paths() == ["/zelk.txt"]
    assert program.text("服务器版本") == ""
    assert not program.dialogs()
    program.ping()


def test_a_trickling_server_does_not_hold_start_up(program, update_server):
    server = update_server(trickle=True)
    began = time.monotonic()
    program.start(timeout_ms=60000)
    took = time.monotonic() - began
    print(f"start-up against a trickling server took {took:.1f} s")
    # The body deadline is 10 s: the program goes on with the few bytes that came.
    assert took < 25
    assert server.paths() == ["/zelk.txt"]
    assert set(program.text("服务器版本")) <= {"V"}
    program.ping()
