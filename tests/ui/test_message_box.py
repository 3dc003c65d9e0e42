"""The skinned message box as a person meets it: it zooms in centred on the main
window, lights its buttons under the mouse and closes with either of them."""
import threading

import pytest
from PIL import Image, ImageChops

from test_update_support import skinned_boxes, wait_for_box  # noqa: F401

W, H = 405, 175
OK_CENTRE = (W - 91 + 37, H - 38 + 14)
CLOSE_CENTRE = (W - 55 + 24, 7 + 11)


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
    x, y, w, h = box["rect"]
    after = program.settled_shot(lambda: screenshot("after"), (x, y, w, h))

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
    program.move_pointer(5, 5)
    plain = program.settled_shot(lambda: screenshot("plain"), box["rect"])
    program.move_pointer(x + OK_CENTRE[0], y + OK_CENTRE[1])
    # It fades in: 5 steps of 40 ms.
    program.confirm(lambda: differs(region(screenshot("ok-lighting"), ok_rect), region(plain, ok_rect)) > 100,
                    "the pointer on OK (the button did not light)")
    lit = program.settled_shot(lambda: screenshot("ok-lit"), box["rect"])
    assert differs(region(lit, ok_rect), region(plain, ok_rect)) > 100
    body = (x + 90, y + 50, 200, 40)
    assert differs(region(lit, body), region(plain, body)) == 0

    program.xdotool("click", 1)
    program.confirm(lambda: not skinned_boxes(program), "the click on OK (the box stayed open)")
    assert not program.dialogs()
    program.ping()


def test_the_close_button_closes_the_box_too(program, update_server, display):
    box = show_box(program, update_server)
    x, y = box["rect"][:2]
    program.click_at(x + CLOSE_CENTRE[0], y + CLOSE_CENTRE[1])
    program.confirm(lambda: not skinned_boxes(program), "the click on the close button (the box stayed open)")


def test_a_click_on_the_body_leaves_the_box_open_and_one_box_at_a_time(program, update_server, display):
    box = show_box(program, update_server)
    x, y = box["rect"][:2]
    program.click_at(x + 150, y + 120)
    program.settle()
    program.stays(lambda: len(skinned_boxes(program)) == 1, 1.0, "a click on the body closed the box")
    program.select_menu("在线更新")  # while the box is open: no second one
    program.stays(lambda: len(skinned_boxes(program)) == 1, 1.0, "the command opened a second box")
    # After it closes, the command shows a fresh box again. Under Wine the click on the
    # menu raised the main window above the box it owns (Windows keeps an owned window
    # above its owner): the box is raised back, as Windows would keep it, and closed.
    program.xdotool("windowraise", program.driver.must("xwindow", box["hwnd"])["xid"])
    program.click_at(x + CLOSE_CENTRE[0], y + CLOSE_CENTRE[1])
    program.confirm(lambda: not skinned_boxes(program), "the click on the close button (the box stayed open)")
    program.select_menu("在线更新")
    assert wait_for_box(program)


@pytest.mark.parametrize("key", ["Escape", "Return"])
def test_escape_and_return_close_the_box_as_the_system_box_does(program, update_server, display, key):
    box = show_box(program, update_server)
    program.press(key, hwnd=box["hwnd"], until=lambda: not skinned_boxes(program))
    program.ping()


def test_the_body_drags_the_box_and_its_buttons_go_with_it(program, update_server, display):
    box = show_box(program, update_server)
    x, y = box["rect"][:2]
    program.move_pointer(x + 150, y + 120)
    program.xdotool("mousedown", 1)
    program.settle()
    for i in range(1, 11):
        program.move_pointer(x + 150 + 10 * i, y + 120 + 5 * i)
        # The box follows the pointer step by step.
        program.confirm(lambda: skinned_boxes(program)[0]["rect"][:2] == [x + 10 * i, y + 5 * i],
                        lambda: f"drag step {i}: the box is at {skinned_boxes(program)[0]['rect'][:2]}")
    program.xdotool("mouseup", 1)
    program.settle()
    moved = skinned_boxes(program)[0]["rect"]
    assert moved[:2] == [x + 100, y + 50]
    program.click_at(moved[0] + OK_CENTRE[0], moved[1] + OK_CENTRE[1])
    program.confirm(lambda: not skinned_boxes(program), "the click on OK of the moved box (it stayed open)")
