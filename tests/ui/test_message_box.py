"""The skinned message box as a person meets it: it zooms in centred on the main
window, lights its buttons under the mouse and closes with either of them."""
import subprocess
import threading
import time

import pytest
from PIL import Image, ImageChops

from test_update_support import skinned_boxes, wait_for_box  # noqa: F401

W, H = 405, 175
OK_CENTRE = (W - 91 + 37, H - 38 + 14)
CLOSE_CENTRE = (W - 55 + 24, 7 + 11)


def xdotool(display, *args):
    subprocess.run(["xdotool", *map(str, args)], env=display.env, check=True)


def show_box(program, update_server):
    update_server(b"V1.0")
    program.start()
    program.select_menu("在线更新")
    return wait_for_box(program)


def region(path, rect):
    x, y, w, h = rect
    return Image.open(path).convert("RGB").crop((x, y, x + w, y + h))


def differs(a, b, threshold=12):
    """How many pixels of two same-sized images differ by more than `threshold` in some channel."""
    diff = ImageChops.difference(a, b).convert("L").point(lambda v: 255 if v > threshold else 0)
    return sum(1 for v in diff.getdata() if v)


def test_zooms_in_centred_on_the_main_window(program, update_server, display, screenshot):
    update_server(b"V1.0")
    program.start()
    main = program.window()["rect"]
    before = screenshot("before")

    # Screenshots while the effect runs (it takes about a third of a second).
    during = []
    stop = threading.Event()

    def shoot():
        for i in range(6):
            if stop.is_set():
                break
            during.append(screenshot(f"during-{i}"))

    shooter = threading.Thread(target=shoot)
    program.select_menu("在线更新")
    shooter.start()
    box = wait_for_box(program)
    stop.set()
    shooter.join()
    time.sleep(0.5)
    after = screenshot("after")

    x, y, w, h = box["rect"]
    assert (w, h) == (W, H)
    assert (x, y) == (main[0] + int(main[2] * 0.5 - 202.5), int(main[3] * 0.5 - 87.5) + main[1])
    assert box["exstyle"] & 0x80000  # layered
    # Outside the rounded body the window is see-through: its corner shows what was there before.
    corner = (x, y, 3, 3)
    assert differs(region(after, corner), region(before, corner)) == 0
    # Inside, the box covers what was there.
    assert differs(region(after, (x + 40, y + 60, 300, 60)), region(before, (x + 40, y + 60, 300, 60))) > 1000
    assert during, "no screenshot was taken during the zoom-in"


def test_hovering_lights_the_ok_button_and_a_click_closes_the_box(program, update_server, display, screenshot):
    box = show_box(program, update_server)
    x, y = box["rect"][:2]
    ok_rect = (x + W - 91, y + H - 38, 75, 28)
    xdotool(display, "mousemove", 5, 5)
    time.sleep(0.4)
    plain = screenshot("plain")
    xdotool(display, "mousemove", x + OK_CENTRE[0], y + OK_CENTRE[1])
    time.sleep(0.6)  # the fade-in: 5 steps of 40 ms
    lit = screenshot("ok-lit")
    assert differs(region(lit, ok_rect), region(plain, ok_rect)) > 100
    body = (x + 90, y + 50, 200, 40)
    assert differs(region(lit, body), region(plain, body)) == 0

    xdotool(display, "click", 1)
    assert program.wait_until(lambda: not skinned_boxes(program), timeout=10)
    assert not program.dialogs()
    program.ping()


def test_the_close_button_closes_the_box_too(program, update_server, display):
    box = show_box(program, update_server)
    x, y = box["rect"][:2]
    xdotool(display, "mousemove", x + CLOSE_CENTRE[0], y + CLOSE_CENTRE[1])
    time.sleep(0.4)
    xdotool(display, "click", 1)
    assert program.wait_until(lambda: not skinned_boxes(program), timeout=10)


def test_a_click_on_the_body_leaves_the_box_open_and_one_box_at_a_time(program, update_server, display):
    box = show_box(program, update_server)
    x, y = box["rect"][:2]
    xdotool(display, "mousemove", x + 150, y + 120)
    time.sleep(0.3)
    xdotool(display, "click", 1)
    time.sleep(1.0)
    assert len(skinned_boxes(program)) == 1
    program.select_menu("在线更新")  # while the box is open: no second one
    time.sleep(1.0)
    assert len(skinned_boxes(program)) == 1
    # After it closes, the command shows a fresh box again. Closed by the driver: under
    # Wine the click on the menu raised the main window above the box it owns (Windows
    # keeps an owned window above its owner), so no click or key can reach the box.
    program.driver.must("close", box["hwnd"])
    assert program.wait_until(lambda: not skinned_boxes(program), timeout=10)
    program.select_menu("在线更新")
    assert wait_for_box(program)


@pytest.mark.parametrize("key", ["Escape", "Return"])
def test_escape_and_return_close_the_box_as_the_system_box_does(program, update_server, display, key):
    box = show_box(program, update_server)
    program.press(key, hwnd=box["hwnd"])
    assert program.wait_until(lambda: not skinned_boxes(program), timeout=10)
    program.ping()


def test_the_body_drags_the_box_and_its_buttons_go_with_it(program, update_server, display):
    box = show_box(program, update_server)
    x, y = box["rect"][:2]
    xdotool(display, "mousemove", x + 150, y + 120)
    time.sleep(0.3)
    xdotool(display, "mousedown", 1)
    time.sleep(0.2)
    for i in range(1, 11):
        xdotool(display, "mousemove", x + 150 + 10 * i, y + 120 + 5 * i)
        time.sleep(0.05)
    xdotool(display, "mouseup", 1)
    time.sleep(0.5)
    moved = skinned_boxes(program)[0]["rect"]
    assert moved[:2] == [x + 100, y + 50]
    xdotool(display, "mousemove", moved[0] + OK_CENTRE[0], moved[1] + OK_CENTRE[1])
    time.sleep(0.4)
    xdotool(display, "click", 1)
    assert program.wait_until(lambda: not skinned_boxes(program), timeout=10)
