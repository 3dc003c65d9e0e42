"""Drives the real program under Wine from outside, as a person would.

A Driver wraps tests/driver/uidriver.exe (one long-lived process answering one
JSON line per command); Program is one running copy of the program in a program
folder of its own; VirtualDisplay is a private Xvfb.
"""
import json
import os
import queue
import shutil
import subprocess
import threading
import time
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
BUILD = Path(os.environ.get("LANSHI_BUILD_DIR", REPO / "build")).resolve()
PROGRAM_EXE = BUILD / "app" / "program" / "LanshiDownloader.exe"
DRIVER_EXE = BUILD / "tests" / "driver" / "uidriver.exe"
MENU_PROBE = BUILD / "tests" / "driver" / "menuprobe.dll"
SCREENSHOTS = BUILD / "screenshots"

MAIN_TITLE = "岚石万能下载工具 v1.0 beta 1"

# Component and menu identifiers of the main window.
IDS = {
    "本地版本": 0x1601011B, "服务器版本": 0x1601011A, "状态": 0x16010095, "按钮_停止": 0x16010039,
    "进度条1": 0x16010027, "透明标签7": 0x1601001A, "透明标签6": 0x16010019, "透明标签5": 0x16010018,
    "透明标签4": 0x16010017, "透明标签3": 0x16010016, "透明标签2": 0x16010015, "透明标签1": 0x16010014,
    "编辑框_地址": 0x16010013, "格式": 0x16010012, "名字": 0x16010011, "硬盘": 0x1601000F,
    "按钮_下载": 0x16010002,
    "菜单": 0x26010107, "创建桌面图标": 0x26010108, "删除桌面图标": 0x26010110, "在线更新": 0x26010112,
}

IDOK, IDCANCEL, IDYES, IDNO = 1, 2, 6, 7


def win_path(path):
    """The Windows path of a Unix path (Wine maps Z: to /)."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def wine_env():
    """Environment for Wine as scripts/wine-env.sh sets it up (private prefix, created
    on first use; code page 936; 64-bit Wine where the machine runs no 32-bit code)."""
    prefix = Path(os.environ.get("LANSHI_WINEPREFIX", BUILD / "wineprefix")).resolve()
    env = os.environ.copy()
    env["LANSHI_WINEPREFIX"] = str(prefix)
    dump = subprocess.run(["bash", "-c", f'source "{REPO}/scripts/wine-env.sh" && lanshi_make_prefix && env -0'],
                          env=env, check=True, stdout=subprocess.PIPE).stdout
    env = dict(item.split("=", 1) for item in dump.decode("utf-8", "replace").split("\0") if "=" in item)
    env.pop("LC_ALL", None)
    return env


class VirtualDisplay:
    """A private Xvfb (LANSHI_DISPLAY=:N picks the number, otherwise the first free one from :40)."""

    def __init__(self, env, compositor=True):
        self.env = env
        wanted = os.environ.get("LANSHI_DISPLAY")
        if wanted:
            self.number = int(wanted.lstrip(":"))
        else:
            self.number = 40
            while Path(f"/tmp/.X{self.number}-lock").exists() or Path(f"/tmp/.X11-unix/X{self.number}").exists():
                self.number += 1
        self.name = f":{self.number}"
        self.xvfb = None
        self.compositor = None
        if not Path(f"/tmp/.X11-unix/X{self.number}").exists():
            self.xvfb = subprocess.Popen(["Xvfb", self.name, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            for _ in range(100):
                if Path(f"/tmp/.X11-unix/X{self.number}").exists():
                    break
                time.sleep(0.05)
        env["DISPLAY"] = self.name
        if compositor and shutil.which("xcompmgr"):
            # Blends per-pixel-alpha windows in screenshots.
            self.compositor = subprocess.Popen(["xcompmgr", "-n"], env=env, stdout=subprocess.DEVNULL,
                                               stderr=subprocess.DEVNULL)

    def screenshot(self, path):
        path = Path(path)
        path.parent.mkdir(parents=True, exist_ok=True)
        subprocess.run(["import", "-window", "root", str(path)], env=self.env, check=True)
        return path

    def close(self):
        for p in (self.compositor, self.xvfb):
            if p:
                p.terminate()
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    p.kill()


def _escape(field):
    return field.replace("\\", "\\\\").replace("\n", "\\n").replace("\r", "\\r").replace("\t", "\\t")


class DriverError(RuntimeError):
    pass


class Driver:
    """uidriver.exe: tab-separated commands in, one JSON answer a line out."""

    def __init__(self, env):
        self.env = env
        self.proc = subprocess.Popen(["wine", str(DRIVER_EXE)], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=subprocess.DEVNULL, env=env)
        self.answers = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.proc.stdout:
            self.answers.put(line)
        self.answers.put(None)

    def call(self, *fields, timeout=120):
        line = "\t".join(_escape(str(f)) for f in fields) + "\n"
        self.proc.stdin.write(line.encode("utf-8"))
        self.proc.stdin.flush()
        try:
            answer = self.answers.get(timeout=timeout)
        except queue.Empty:
            raise DriverError(f"driver did not answer {fields[0]}")
        if answer is None:
            raise DriverError("driver ended")
        return json.loads(answer.decode("utf-8"))

    def must(self, *fields, **kw):
        answer = self.call(*fields, **kw)
        if "error" in answer:
            raise DriverError(f"{fields[0]}: {answer['error']}")
        return answer

    def close(self):
        try:
            self.proc.stdin.write(b"quit\n")
            self.proc.stdin.flush()
            self.proc.wait(10)
        except Exception:
            self.proc.kill()


class Program:
    """One copy of the program in its own program folder, started and driven from outside."""

    def __init__(self, driver, folder, exe=PROGRAM_EXE):
        self.driver = driver
        self.folder = Path(folder)
        self.folder.mkdir(parents=True, exist_ok=True)
        self.exe = self.folder / Path(exe).name
        if not self.exe.exists():
            shutil.copy2(exe, self.exe)
        self.pid = None
        self.hwnd = None
        self.exit_code = None

    # --- life cycle ---------------------------------------------------------
    def start(self, workdir=None, wait_window=True, timeout_ms=30000):
        answer = self.driver.must("start", win_path(self.exe), win_path(workdir or self.folder))
        self.pid = answer["pid"]
        if wait_window:
            self.hwnd = self.driver.must("find", MAIN_TITLE, timeout_ms, self.pid)["hwnd"]
        return self

    def close(self):
        self.driver.must("close", self.hwnd)

    def wait_exit(self, timeout_ms=20000):
        self.exit_code = self.driver.must("wait", self.pid, timeout_ms)["exitcode"]
        return self.exit_code

    def running(self):
        return "error" in self.driver.call("wait", self.pid, 0)

    def stop(self):
        """Ends the program whatever state it is in (test teardown)."""
        if self.pid is None or not self.running():
            return
        for d in self.dialogs():
            self.driver.call("close", d["hwnd"])
        if self.hwnd:
            self.driver.call("close", self.hwnd)
        if "error" in self.driver.call("wait", self.pid, 5000):
            self.driver.call("kill", self.pid)

    # --- the window and its components ------------------------------------
    def window(self):
        return self.driver.must("window", self.hwnd)

    def controls(self):
        return self.driver.must("controls", self.hwnd)["controls"]

    def control(self, name_or_id):
        cid = IDS.get(name_or_id, name_or_id)
        for c in self.controls():
            if c["id"] == cid:
                return c
        raise KeyError(name_or_id)

    def text(self, name):
        return self.control(name)["text"]

    def type(self, name, text):
        self.driver.must("type", self.control(name)["hwnd"], text)

    def click(self, name):
        self.driver.must("click", self.control(name)["hwnd"])

    def progress(self):
        return self.driver.must("progress", self.control("进度条1")["hwnd"])

    def ping(self, timeout_ms=5000):
        return self.driver.must("ping", self.hwnd, timeout_ms)

    # --- menu ----------------------------------------------------------------
    def menu(self):
        """Items of the drop-down "菜单": [{id, text, state}], read inside the program."""
        bar = self.driver.must("menu", self.hwnd, win_path(MENU_PROBE))["menu"] or []
        for entry in bar:
            if entry["text"] == "菜单":
                return entry.get("items", [])
        return []

    def menu_texts(self):
        return [i["text"] for i in self.menu()]

    def select_menu(self, name):
        """Chooses a menu item as a person would: only an item the menu shows."""
        item_id = IDS[name]
        if not any((i["id"] & 0xFFFF) == (item_id & 0xFFFF) for i in self.menu()):
            raise DriverError(f"menu item {name} is not shown")
        self.driver.must("command", self.hwnd, item_id)

    # --- message boxes -------------------------------------------------------
    def dialogs(self):
        return self.driver.must("dialogs", self.pid)["dialogs"]

    def wait_dialog(self, timeout=20.0, title=None):
        end = time.time() + timeout
        while time.time() < end:
            for d in self.dialogs():
                if title is None or d["title"] == title:
                    return d
            time.sleep(0.1)
        raise DriverError(f"no message box{' ' + title if title else ''} within {timeout} s")

    def answer(self, dialog, button_id=IDOK):
        self.driver.must("answer", dialog["hwnd"], button_id)
        end = time.time() + 10
        while time.time() < end and any(d["hwnd"] == dialog["hwnd"] for d in self.dialogs()):
            time.sleep(0.05)

    def wait_until(self, predicate, timeout=30.0, interval=0.1):
        end = time.time() + timeout
        while time.time() < end:
            value = predicate()
            if value:
                return value
            time.sleep(interval)
        return predicate()
