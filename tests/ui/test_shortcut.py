"""The desktop shortcut commands driven through the menu: where the link goes for
each kind of "Desktop" value, every field of the link read back through the
shell's link object, and the menu switching whatever happens to the file."""
import json
import os
import shutil
import subprocess
import tempfile
from pathlib import Path

import pytest

from lanshi_ui import BUILD, MAIN_TITLE, PROGRAM_EXE, Program, run_wine, win_path

SHELL_FOLDERS = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders"
USER_SHELL_FOLDERS = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders"
LINK_NAME = "岚石万能下载器.lnk"
READER = BUILD / "tests" / "unit" / "skin" / "shortcut_reader.exe"
CREATE, DELETE, UPDATE = "创建桌面图标  ", "删除桌面图标  ", "在线更新"
SW_SHOW, SW_SHOWNORMAL = 5, 1


def reg(env, *args):
    return run_wine(env, "wine", "reg", *args)


def query_desktop(env, key):
    for line in reg(env, "query", key, "/v", "Desktop")[1].splitlines():
        parts = line.split(None, 2)
        if len(parts) == 3 and parts[0] == "Desktop":
            return parts[1], parts[2].strip()
    return None


def set_desktop(env, key, kind, text):
    if kind is None:
        reg(env, "delete", key, "/v", "Desktop", "/f")
    else:
        assert reg(env, "add", key, "/v", "Desktop", "/t", kind, "/d", text, "/f")[0] == 0


@pytest.fixture
def desktop_value(wine, driver):
    """Sets the "Desktop" value for one test ("REG_SZ", text), ("REG_EXPAND_SZ", text)
    or (None, None) for none, and puts the prefix's own values back afterwards.

    The shell rewrites "Shell Folders" from "User Shell Folders" whenever it looks
    a folder up (creating a link does), as Windows does: the test sets the same
    value in both, as a real profile has them, except when the value is missing."""
    env = wine[0]
    keys = (SHELL_FOLDERS, USER_SHELL_FOLDERS)
    old = {key: query_desktop(env, key) for key in keys}

    def set_value(kind, text):
        set_desktop(env, SHELL_FOLDERS, kind, text)
        if kind is not None:
            set_desktop(env, USER_SHELL_FOLDERS, kind, text)
    yield set_value
    for key in keys:
        set_desktop(env, key, *(old[key] or (None, None)))


def read_link(env, path):
    with tempfile.TemporaryFile() as out:
        code = subprocess.run(["wine", str(READER), win_path(path)], env=env, stdin=subprocess.DEVNULL, stdout=out,
                              stderr=subprocess.DEVNULL, timeout=120).returncode
        out.seek(0)
        assert code == 0, f"no readable link at {path}"
        return json.loads(out.read().decode("utf-8"))


def menu_switches_to(app, texts):
    return app.wait_until(lambda: app.menu_texts() == texts, timeout=10)


def check_link_fields(env, link, program_folder, exe_name="LanshiDownloader.exe"):
    fields = read_link(env, link)
    folder = program_folder.rstrip("\\")
    assert fields["target"] == folder + "\\" + exe_name
    assert fields["arguments"] == "auto"
    assert fields["description"] == "岚石万能下载工具"
    assert fields["working_directory"] == folder
    # The link format stores SW_SHOW; readers give back any value but 1, 3 and 7 as SW_SHOWNORMAL.
    assert fields["show_command"] in (SW_SHOW, SW_SHOWNORMAL)
    assert fields["icon_path"] == "" and fields["icon_index"] == 0
    assert fields["hotkey"] == 0
    return fields


def stored_show_command(link):
    return Path(link).read_bytes()[0x3C]


@pytest.mark.parametrize("by", ["mouse", "keys"])
def test_create_and_delete_on_the_desktop_from_the_registry(wine, program, program_dir, desktop_value, tmp_path, by):
    desktop = tmp_path / "桌面"
    desktop.mkdir()
    desktop_value("REG_SZ", win_path(desktop))
    app = program.start()
    assert app.menu_texts() == [CREATE, UPDATE]

    # The mouse opens 菜单 and clicks the item; the keyboard walks F10, Down, Down..., Return.
    app.select_menu("创建桌面图标", by=by)
    assert menu_switches_to(app, [DELETE, UPDATE])
    link = desktop / LINK_NAME
    assert link.exists()
    check_link_fields(wine[0], link, win_path(program_dir))
    assert stored_show_command(link) == SW_SHOW

    app.select_menu("删除桌面图标", by=by)
    assert menu_switches_to(app, [CREATE, UPDATE])
    assert not link.exists()
    assert app.dialogs() == []


def test_expandable_desktop_value_is_expanded(wine, program, program_dir, desktop_value):
    # %USERPROFILE% is C:\users\<user> inside the prefix.
    profile = Path(wine[0]["WINEPREFIX"]) / "drive_c" / "users" / os.environ.get("USER", "root")
    desktop = profile / f"lanshi expanded desktop {os.getpid()}"
    desktop.mkdir(parents=True)
    try:
        desktop_value("REG_EXPAND_SZ", f"%USERPROFILE%\\{desktop.name}")
        app = program.start()
        app.select_menu("创建桌面图标")
        assert menu_switches_to(app, [DELETE, UPDATE])
        assert (desktop / LINK_NAME).exists()
        check_link_fields(wine[0], desktop / LINK_NAME, win_path(program_dir))
    finally:
        shutil.rmtree(desktop)


def test_without_a_desktop_value_the_link_goes_to_the_drive_root(wine, driver, desktop_value, tmp_path):
    # A drive letter of our own whose root is a temporary folder: the program runs
    # from M:\program, so the link lands in M:\.
    root = tmp_path / "drive_m"
    shutil.copytree(PROGRAM_EXE.parent, root / "program", ignore=lambda d, names: [
        n for n in names if n != PROGRAM_EXE.name])
    dosdevice = Path(wine[0]["WINEPREFIX"]) / "dosdevices" / "m:"
    if dosdevice.is_symlink() or dosdevice.exists():
        dosdevice.unlink()
    dosdevice.symlink_to(root)
    desktop_value(None, None)
    program = Program(driver, root / "program")
    try:
        program.pid = driver.must("start", "M:\\program\\" + PROGRAM_EXE.name, "M:\\program")["pid"]
        program.hwnd = driver.must("find", MAIN_TITLE, 30000, program.pid)["hwnd"]
        program.wait_ready()
        program.select_menu("创建桌面图标")
        assert menu_switches_to(program, [DELETE, UPDATE])
        link = root / LINK_NAME
        assert link.exists()
        check_link_fields(wine[0], link, "M:\\program")
        # Writing the link made the shell put a "Desktop" value back: take it away again.
        desktop_value(None, None)
        program.select_menu("删除桌面图标")
        assert menu_switches_to(program, [CREATE, UPDATE])
        assert not link.exists()
    finally:
        program.stop()
        dosdevice.unlink()


def test_menu_switches_even_when_the_file_operation_fails(wine, program, desktop_value, tmp_path):
    # The desktop folder does not exist: the link cannot be written, and later
    # there is nothing to delete. Neither command says anything.
    desktop_value("REG_SZ", win_path(tmp_path / "no such folder"))
    app = program.start()
    app.select_menu("创建桌面图标")
    assert menu_switches_to(app, [DELETE, UPDATE])
    app.select_menu("删除桌面图标")
    assert menu_switches_to(app, [CREATE, UPDATE])
    assert app.dialogs() == []
    assert not (tmp_path / "no such folder").exists()


def test_a_new_start_offers_create_again_and_replaces_the_link(wine, driver, program, program_dir, desktop_value,
                                                                tmp_path):
    desktop = tmp_path / "desktop"
    desktop.mkdir()
    link = desktop / LINK_NAME
    link.write_bytes(b"an old file that is not a link")
    desktop_value("REG_SZ", win_path(desktop))
    app = program.start()
    assert app.menu_texts() == [CREATE, UPDATE]  # whether a link exists or not
    app.select_menu("创建桌面图标")
    assert menu_switches_to(app, [DELETE, UPDATE])
    check_link_fields(wine[0], link, win_path(program_dir))
