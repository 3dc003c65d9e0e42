"""The theme cache the real program writes at start-up, under an application-data
folder of the test's own (the prefix's "Shell Folders\\AppData" points there for
the test and is put back afterwards)."""
import configparser
import hashlib
import random

import pytest
from PIL import Image, ImageChops

from lanshi_ui import BUILD, SCREENSHOTS, run_wine, win_path
from test_update_support import skinned_boxes, wait_for_box

SHELL_FOLDERS = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders"
BACKGROUND = BUILD / "resources" / "background.jpg"


def reg(env, *args):
    return run_wine(env, "wine", "reg", *args)[1]


@pytest.fixture
def scratch_appdata(wine, tmp_path):
    env = wine[0]
    old = None
    for line in reg(env, "query", SHELL_FOLDERS, "/v", "AppData").splitlines():
        parts = line.split(None, 2)
        if len(parts) == 3 and parts[0] == "AppData":
            old = parts[1:]
    folder = tmp_path / "appdata"
    folder.mkdir()
    reg(env, "add", SHELL_FOLDERS, "/v", "AppData", "/t", "REG_SZ", "/d", win_path(folder), "/f")
    yield folder
    if old:
        reg(env, "add", SHELL_FOLDERS, "/v", "AppData", "/t", old[0], "/d", old[1], "/f")
    else:
        reg(env, "delete", SHELL_FOLDERS, "/v", "AppData", "/f")


def read_ini(path):
    raw = path.read_bytes()
    text = raw.decode("utf-16") if raw[:2] in (b"\xff\xfe", b"\xfe\xff") else raw.decode("latin-1")
    ini = configparser.ConfigParser()
    ini.read_string(text)
    return ini


def run_once(program):
    program.start()
    program.close()
    assert program.wait_exit() == 0


def test_first_start_caches_the_background_and_the_second_the_colours(program, scratch_appdata):
    key = hashlib.md5(BACKGROUND.read_bytes()).hexdigest()
    folder = scratch_appdata / "E_UIEngine" / key
    jpg, data, db = folder / f"{key}.jpg", folder / f"{key}.jpg.data", folder / f"{key}.db"

    run_once(program)
    assert jpg.exists() and data.exists()
    assert not db.exists(), "the colour file appears only at the second start"
    size = read_ini(data)["pm"]
    assert (size["1"], size["2"]) == ("1280", "1024")

    with Image.open(jpg) as composed, Image.open(BACKGROUND) as picture:
        assert composed.format == "JPEG"
        assert composed.size == (1290, 1034)
        composed = composed.convert("RGB")
        picture = picture.convert("RGB")
        # The picture sits unscaled at the top left ...
        for x, y in ((10, 10), (500, 300), (900, 600)):
            assert all(abs(a - b) <= 12 for a, b in zip(composed.getpixel((x, y)), picture.getpixel((x, y))))
        # ... and the rest of the screen is one plain tint.
        tint = composed.getpixel((1200, 900))
        for x, y in ((1100, 100), (100, 800), (1285, 1030)):
            assert all(abs(a - b) <= 6 for a, b in zip(composed.getpixel((x, y)), tint))
        SCREENSHOTS.mkdir(parents=True, exist_ok=True)
        composed.resize((645, 517)).save(SCREENSHOTS / "theme_cache-composed_background.png")

    run_once(program)
    colours = read_ini(db)["rgb"]
    img_rgb = int(colours["img_rgb"])
    r, g, b = img_rgb & 0xFF, (img_rgb >> 8) & 0xFF, (img_rgb >> 16) & 0xFF
    assert b > r, "the artwork is blue"
    assert all(abs(a - t) <= 6 for a, t in zip((r, g, b), tint)), "the tint is the background's plain part"
    assert (colours["text_rgb1"], colours["text_rgb2"]) == ("0", "16777215"), "dark text on a light picture"

    # A third start reads the cache and writes nothing new.
    before = {p.name: p.stat().st_mtime_ns for p in (jpg, db)}
    run_once(program)
    assert {p.name: p.stat().st_mtime_ns for p in (jpg, db)} == before


def cache_files(appdata):
    key = hashlib.md5(BACKGROUND.read_bytes()).hexdigest()
    folder = appdata / "E_UIEngine" / key
    return folder / f"{key}.jpg", folder / f"{key}.jpg.data", folder / f"{key}.db"


def frame_header_at(jpeg):
    """Where the frame header (FF C0..C2) of a JPEG starts."""
    pos = 2
    while jpeg[pos + 1] not in (0xC0, 0xC1, 0xC2):
        pos += 2 + int.from_bytes(jpeg[pos + 2:pos + 4], "big")
    return pos


def jpeg_size(jpeg):
    at = frame_header_at(jpeg) + 5
    return int.from_bytes(jpeg[at + 2:at + 4], "big"), int.from_bytes(jpeg[at:at + 2], "big")


def box_seen(program, screenshot, name):
    """Starts the program, shows the skinned box of the update command and gives the
    box as a person sees it (the pointer away from its buttons); closes the box and
    the program again."""
    program.start()
    program.select_menu("在线更新")
    box = wait_for_box(program)
    program.move_pointer(5, 5)
    x, y, w, h = box["rect"]
    shot = program.settled_shot(lambda: screenshot(name), box["rect"])
    seen = Image.open(shot).convert("RGB").crop((x, y, x + w, y + h))
    program.press("Escape", hwnd=box["hwnd"], until=lambda: not skinned_boxes(program))
    program.close()
    assert program.wait_exit() == 0
    return seen


def pixels_differing(a, b, threshold=24):
    diff = ImageChops.difference(a, b).convert("L").point(lambda v: 255 if v > threshold else 0)
    return sum(1 for v in diff.getdata() if v)


def test_damaged_cache_files_are_rebuilt_and_the_box_drawn_as_before(program, scratch_appdata, update_server,
                                                                     screenshot):
    update_server(b"V1.0")
    jpg, data, db = cache_files(scratch_appdata)
    run_once(program)  # writes the background
    sound = box_seen(program, screenshot, "sound")  # writes the colour file
    colours = db.read_bytes()
    assert read_ini(db)["rgb"]["text_rgb1"] != read_ini(db)["rgb"]["text_rgb2"]
    sound_jpg = jpg.read_bytes()
    assert jpeg_size(sound_jpg) == (1290, 1034)

    # A background whose header claims 65000 x 65000 pixels: decoded, it took the
    # (64-bit) process to 4 GB and a crash at every start. One claiming a size a
    # 32-bit process can hold was decoded into a picture that was never ours, and
    # one with a damaged scan into a garbled background at every start.
    def planted(width, height):
        jpeg = bytearray(sound_jpg)
        at = frame_header_at(jpeg) + 5
        jpeg[at:at + 4] = height.to_bytes(2, "big") + width.to_bytes(2, "big")
        return bytes(jpeg)

    scan = bytearray(sound_jpg)
    scan[-2000:-1000] = bytes(b if b >= 0xFE else b ^ 1 for b in scan[-2000:-1000])
    for damage, content in (("65000 x 65000", planted(65000, 65000)), ("2600 x 2000", planted(2600, 2000)),
                            ("damaged scan", bytes(scan))):
        jpg.write_bytes(content)
        seen = box_seen(program, screenshot, f"planted-{damage}")
        assert pixels_differing(seen, sound) < seen.width * seen.height // 100, f"{damage}: the box looks different"
        rewritten = jpg.read_bytes()
        assert jpeg_size(rewritten) == (1290, 1034) and rewritten != content, f"{damage}: not rebuilt"
        assert read_ini(data)["pm"]["md5"] == hashlib.md5(rewritten).hexdigest()
        with Image.open(jpg) as background:
            background.load()  # whole, not cut short
            assert background.size == (1290, 1034)

    # A colour file of noise or of nothing: the box was drawn in black on a black halo.
    for damage, content in (("noise", random.Random(20).randbytes(5000)), ("empty", b"")):
        db.write_bytes(content)
        seen = box_seen(program, screenshot, f"colours-{damage}")
        assert pixels_differing(seen, sound) < seen.width * seen.height // 100, f"{damage}: the box looks different"
        assert read_ini(db)["rgb"] == read_ini_text(colours)["rgb"], f"{damage}: the colour file is not repaired"


def read_ini_text(raw):
    ini = configparser.ConfigParser()
    ini.read_string(raw.decode("latin-1"))
    return ini
