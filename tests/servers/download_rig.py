"""What the download UI tests share: a drive letter of the Wine prefix pointing at a
temporary folder, the servers, and the steps a person takes in the main window."""
import os
import time
from pathlib import Path

from lanshi_ui import BUILD, IDNO, IDOK, IDYES  # noqa: F401  (re-exported for the tests)

PREFIX = Path(os.environ.get("LANSHI_WINEPREFIX", BUILD / "wineprefix")).resolve()


class Drive:
    """A drive letter of the prefix (dosdevices/<letter>: -> folder), as a user types it."""

    def __init__(self, letter, folder):
        self.letter = letter
        self.folder = Path(folder)
        self.folder.mkdir(parents=True, exist_ok=True)
        self.link = PREFIX / "dosdevices" / f"{letter.lower()}:"
        self.point_at(self.folder)

    def point_at(self, folder):
        if self.link.is_symlink() or self.link.exists():
            self.link.unlink()
        self.link.symlink_to(folder)

    def remove(self):
        if self.link.is_symlink():
            self.link.unlink()


def start_download(app, address, drive, name, extension):
    """Types the four inputs as a person would and presses 下载."""
    app.type("硬盘", drive)
    app.type("名字", name)
    app.type("格式", extension)
    app.type("编辑框_地址", address)
    app.click("按钮_下载")
    app.confirm(lambda: app.dialogs() or not app.control("按钮_下载")["enabled"],
                "the click on 下载 (no message box, and 下载 still enabled)")


def wait_message(app, timeout=30.0):
    """The next message box of the program: {title, text, buttons, hwnd}."""
    return app.wait_dialog(timeout=timeout)


def answer_and_wait_idle(app, dialog, button=IDOK, timeout=15.0):
    app.answer(dialog, button)
    return wait_idle(app, timeout)


def wait_idle(app, timeout=15.0):
    """Until the window is given back: Download enabled and "就绪" shown."""
    def idle():
        by_id = {c["id"]: c for c in app.controls()}
        from lanshi_ui import IDS
        return by_id[IDS["按钮_下载"]]["enabled"] and by_id[IDS["状态"]]["text"] == "就绪"
    assert app.wait_until(idle, timeout=timeout), "the window was not given back"


def inputs_enabled(app):
    from lanshi_ui import IDS
    by_id = {c["id"]: c for c in app.controls()}
    return {name: by_id[IDS[name]]["enabled"] for name in ("编辑框_地址", "硬盘", "名字", "格式", "按钮_下载")}
