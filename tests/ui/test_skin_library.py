"""The skin library beside the program and the skin it wears, seen from outside:
the file written on first start, a library already there, the binding failure,
and the main window's look with skin 10 and without a skin (screenshots)."""
import os
import shutil
import struct
import subprocess
import zlib
from pathlib import Path

import pytest
from PIL import Image

from lanshi_ui import BUILD, IDOK, REPO, Program

BUILT_LIBRARY = BUILD / "skin" / "SkinH_EL.dll"
RECORDING_LIBRARY = BUILD / "tests" / "unit" / "skin" / "recording" / "SkinH_EL.dll"
SKIN_10 = BUILD / "resources" / "skin10.she"
DOCS = REPO / "docs"
# LANSHI_UPDATE_DOCS=1 also refreshes the README's pictures under docs/.
UPDATE_DOCS = os.environ.get("LANSHI_UPDATE_DOCS") == "1"
PBM_SETPOS = 0x0402
FILE_ATTRIBUTE_HIDDEN = 0x2


def dos_attributes(path):
    """The Windows attributes Wine keeps for a file (an extended attribute)."""
    try:
        return int(os.getxattr(path, "user.DOSATTRIB").split(b"\0")[0], 16)
    except OSError:
        return 0


def skin_colours(path):
    """The colour records of a ".SHE" skin: {tag: (r, g, b)}."""
    data = Path(path).read_bytes()
    assert data[:4] == b".SHE"
    colours, pos = {}, 16
    while pos + 4 <= len(data):
        tag, size = struct.unpack_from("<HH", data, pos)
        if size == 4 and 0x0100 <= tag < 0x0200:
            v = struct.unpack_from("<I", data, pos + 4)[0]
            colours[tag] = (v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF)
        pos += 4 + size
    return colours


def gradient(top, bottom, y, rows):
    return tuple(a + (b - a) * y // (rows - 1) for a, b in zip(top, bottom))


def near(a, b, tolerance):
    return all(abs(x - y) <= tolerance for x, y in zip(a, b))


def client_image(app, screenshot, name):
    """The main window's client area cut out of a screenshot of the screen."""
    w = app.window()
    x, y, width, height = w["rect"]
    cw, ch = w["client"][2], w["client"][3]
    border = (width - cw) // 2
    left, top = x + border, y + height - border - ch
    shot = Image.open(screenshot(name)).convert("RGB")
    return shot.crop((left, top, left + cw, top + ch)), shot.crop((x, y, x + width, y + height))


def show_progress(app, position):
    # No person sets the bar to a chosen position: the test sets it to see how it is painted.
    app.driver.must("post", app.control("进度条1")["hwnd"], PBM_SETPOS, position, 0)
    assert app.wait_until(lambda: app.progress()["pos"] == position, timeout=5), f"the bar did not take {position}"
    app.ping()


def test_first_start_writes_the_built_library_hidden_and_wears_skin_10(app, program_dir, screenshot):
    library = program_dir / "SkinH_EL.dll"
    assert library.read_bytes() == BUILT_LIBRARY.read_bytes()
    assert dos_attributes(library) == FILE_ATTRIBUTE_HIDDEN

    show_progress(app, 6000)
    client, window = client_image(app, screenshot, "skin10")
    if UPDATE_DOCS:
        window.save(DOCS / "main-window-skin10.png")
    colours = skin_colours(SKIN_10)
    rows = client.height
    # The window background is the skin's gradient, also inside the transparent
    # status label (8, 120, 384 x 80) away from its text.
    for x, y in [(300, 150), (440, 150), (420, 5), (300, 190)]:
        assert near(client.getpixel((x, y)), gradient(colours[0x0101], colours[0x0102], y, rows), 2), (x, y)
    # The buttons wear the skin's face; the progress bar its track and fill.
    face = gradient(colours[0x0121], colours[0x0122], 30, 39)
    assert near(client.getpixel((5 + 8, 202 + 30)), face, 12)
    assert near(client.getpixel((91 + 8, 202 + 30)), face, 12)
    assert near(client.getpixel((176 + 20, 205 + 16)), gradient(colours[0x0163], colours[0x0164], 14, 27), 12)
    assert client.getpixel((176 + 200, 205 + 16)) == colours[0x0161]
    # The edit boxes stay white inside.
    assert client.getpixel((144 + 100, 96 + 12)) == (255, 255, 255)


def test_without_a_skin_the_window_keeps_the_system_look(program, program_dir, screenshot):
    shutil.copy2(RECORDING_LIBRARY, program_dir / "SkinH_EL.dll")
    app = program.start()
    show_progress(app, 6000)
    client, window = client_image(app, screenshot, "unskinned")
    if UPDATE_DOCS:
        window.save(DOCS / "main-window-unskinned.png")
    background = client.getpixel((440, 150))
    assert background[0] == background[1] == background[2]  # the system's grey face colour
    assert client.getpixel((300, 150)) == background


@pytest.mark.parametrize("hidden", [False, True])
def test_a_library_already_there_is_used_and_left_untouched(program, program_dir, hidden):
    library = program_dir / "SkinH_EL.dll"
    shutil.copy2(RECORDING_LIBRARY, library)
    if hidden:
        os.setxattr(library, "user.DOSATTRIB", b"0x2")
    before = library.read_bytes()
    program.start()
    program.ping()
    calls = (program_dir / "skin_calls.txt").read_text().splitlines()
    skin = SKIN_10.read_bytes()
    assert calls == [
        f'SkinH_AttachRes data=set length={len(skin)} crc={zlib.crc32(skin):08x} text="" ints=0,0,0',
        "SkinH_SetAero 1",
    ]
    assert library.read_bytes() == before
    assert dos_attributes(library) == (FILE_ATTRIBUTE_HIDDEN if hidden else 0)


BINDING_ERROR = ("运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件“SkinH_EL.dll”"
                 "中的输出命令“SkinH_AttachRes”\r\n")
OTHER_DLL = BUILD / "tests" / "driver" / "other_library.dll"
DAMAGED = {
    "truncated": lambda: BUILT_LIBRARY.read_bytes()[:20000],
    "empty": lambda: b"",
    "another DLL": lambda: OTHER_DLL.read_bytes(),
    "not a library": lambda: b"MZ not really a library",
}


def ends_with_the_binding_error(program):
    box = program.wait_dialog(title="错误")
    assert box["text"] == BINDING_ERROR
    assert [b["id"] for b in box["buttons"]] == [IDOK]
    program.answer(box, IDOK)
    assert program.wait_exit() == -1


@pytest.mark.parametrize("damage", DAMAGED)
def test_a_damaged_library_is_set_aside_and_every_earlier_copy_kept(program, program_dir, screenshot, damage):
    library = program_dir / "SkinH_EL.dll"
    # A copy set aside by an earlier start, which the user made read-only.
    older = program_dir / "SkinH_EL.dll.bad"
    older.write_bytes(b"set aside by an earlier start")
    os.setxattr(older, "user.DOSATTRIB", b"0x2")
    older.chmod(0o444)
    damaged = DAMAGED[damage]()

    # Damaged at two starts in a row: each copy goes to a name of its own.
    for start, aside in enumerate([program_dir / "SkinH_EL.dll.bad.1", program_dir / "SkinH_EL.dll.bad.2"]):
        library.write_bytes(damaged)
        program.start()  # the main window shows: no binding error
        assert not program.dialogs()
        assert library.read_bytes() == BUILT_LIBRARY.read_bytes()
        assert dos_attributes(library) == FILE_ATTRIBUTE_HIDDEN
        assert aside.read_bytes() == damaged, f"start {start + 1}: the damaged library is not at {aside.name}"
        screenshot(f"mended-{start + 1}")
        program.close()
        assert program.wait_exit() == 0

    assert older.read_bytes() == b"set aside by an earlier start"
    assert older.stat().st_mode & 0o777 == 0o444, "the user's read-only attribute was cleared"
    assert dos_attributes(older) == FILE_ATTRIBUTE_HIDDEN
    assert (program_dir / "SkinH_EL.dll.bad.1").read_bytes() == damaged
    assert not (program_dir / "SkinH_EL.dll.bad.3").exists()


def test_with_every_aside_name_taken_nothing_is_replaced_and_the_program_ends(program, program_dir):
    library = program_dir / "SkinH_EL.dll"
    names = ["SkinH_EL.dll.bad"] + [f"SkinH_EL.dll.bad.{n}" for n in range(1, 100)]
    for name in names:
        (program_dir / name).write_bytes(name.encode())
    library.write_bytes(b"")
    program.start(wait_window=False)
    ends_with_the_binding_error(program)
    assert library.read_bytes() == b""
    assert all((program_dir / name).read_bytes() == name.encode() for name in names)
    assert not (program_dir / "SkinH_EL.dll.bad.100").exists()


def test_a_folder_in_the_librarys_place_ends_the_program(program, program_dir):
    library = program_dir / "SkinH_EL.dll"
    library.mkdir()
    program.start(wait_window=False)
    ends_with_the_binding_error(program)
    assert library.is_dir() and not any(library.iterdir())
    assert not (program_dir / "SkinH_EL.dll.bad").exists()


@pytest.fixture
def read_only_folder(tmp_path):
    """read_only_folder(folder): the same folder seen through a read-only bind mount
    (as root, permissions alone would not stop a write)."""
    mounts = []

    def mount(folder):
        view = tmp_path / "read-only view"
        view.mkdir()
        if subprocess.run(["mount", "--bind", str(folder), str(view)], capture_output=True).returncode != 0:
            pytest.skip("cannot bind-mount here")
        mounts.append(view)
        subprocess.run(["mount", "-o", "remount,bind,ro", str(view)], check=True)
        return view

    yield mount
    for view in mounts:
        subprocess.run(["umount", "-l", str(view)])


def test_a_damaged_library_in_a_read_only_folder_ends_the_program(driver, program_dir, read_only_folder):
    Program(driver, program_dir)  # copies the program in
    library = program_dir / "SkinH_EL.dll"
    library.write_bytes(b"")
    view = read_only_folder(program_dir)
    program = Program(driver, view)
    try:
        program.start(wait_window=False)
        ends_with_the_binding_error(program)
    finally:
        program.stop()
    assert library.read_bytes() == b""
    assert not (program_dir / "SkinH_EL.dll.bad").exists()
