"""The theme cache the real program writes at start-up, under an application-data
folder of the test's own (the prefix's "Shell Folders\\AppData" points there for
the test and is put back afterwards)."""
import configparser
import hashlib
import pytest
from PIL import Image

from lanshi_ui import BUILD, SCREENSHOTS, run_wine, win_path

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
