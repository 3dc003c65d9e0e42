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
import tempfile
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
MFS_HILITE = 0x80

# How long an input may take to show its effect: generous, a loaded machine is slow;
# a lost input fails after it with a message naming the input.
INPUT_TIMEOUT = 20.0


def win_path(path):
    """The Windows path of a Unix path (Wine maps Z: to /)."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def run_wine(env, *args, timeout=120, check=False, encoding="utf-8"):
    """Runs a Wine command line (wine reg ..., wineserver -w) to its end, within `timeout`
    seconds; answers its exit code and output. The output goes through a file and
    stdin is closed: the first Wine call on a prefix starts its services, which live on
    and would hold a pipe to us open for ever."""
    with tempfile.TemporaryFile() as out:
        try:
            code = subprocess.run(args, env=env, stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.STDOUT,
                                  timeout=timeout).returncode
        except subprocess.TimeoutExpired:
            raise RuntimeError(f"{' '.join(map(str, args))} did not end within {timeout} s") from None
        out.seek(0)
        text = out.read().decode(encoding, "replace")
    if check and code != 0:
        raise RuntimeError(f"{' '.join(map(str, args))} failed ({code}): {text[-500:]}")
    return code, text


def wine_env():
    """Environment for Wine as scripts/wine-env.sh sets it up (private prefix, created
    on first use; code page 936; 64-bit Wine where the machine runs no 32-bit code)."""
    prefix = Path(os.environ.get("LANSHI_WINEPREFIX", BUILD / "wineprefix")).resolve()
    env = os.environ.copy()
    env["LANSHI_WINEPREFIX"] = str(prefix)
    # (A new prefix takes minutes on a loaded machine; its services outlive the call.)
    with tempfile.TemporaryFile() as dump:
        subprocess.run(["bash", "-c", f'source "{REPO}/scripts/wine-env.sh" && lanshi_make_prefix && env -0'],
                       env=env, check=True, stdin=subprocess.DEVNULL, stdout=dump, timeout=900)
        dump.seek(0)
        text = dump.read().decode("utf-8", "replace")
    env = dict(item.split("=", 1) for item in text.split("\0") if "=" in item)
    env.pop("LC_ALL", None)
    return env


# -r: no key repeat. xdotool's press and release of a key can lie seconds apart on a
# busy machine, and the server would repeat the key meanwhile (an address typed as
# "/drop////"). scripts/xvfb.sh starts its display the same way. -noreset: see below.
XVFB_OPTIONS = ("-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-noreset", "-r")


class VirtualDisplay:
    """A private Xvfb (LANSHI_DISPLAY=:N picks the number, otherwise Xvfb takes a free one).
    It never resets: by default Xvfb resets when its last client leaves, which puts the
    pointer back in the middle (a run without a compositor has no client between
    two xdotool calls)."""

    def __init__(self, env, compositor=True):
        self.env = env
        self.xvfb = None
        self.compositor = None
        wanted = os.environ.get("LANSHI_DISPLAY")
        if wanted:
            self.number = int(wanted.lstrip(":"))
            if not Path(f"/tmp/.X11-unix/X{self.number}").exists():
                self.xvfb = subprocess.Popen(["Xvfb", wanted, *XVFB_OPTIONS],
                                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                for _ in range(100):
                    if Path(f"/tmp/.X11-unix/X{self.number}").exists():
                        break
                    time.sleep(0.05)
        else:
            # Xvfb takes a free display itself and writes its number: two runs starting
            # at once cannot pick the same one.
            read, write = os.pipe()
            self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), *XVFB_OPTIONS], pass_fds=(write,),
                                         stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            os.close(write)
            with os.fdopen(read) as answer:
                number = answer.readline().strip()
            if not number.isdigit():
                raise RuntimeError("Xvfb did not start")
            self.number = int(number)
        self.name = f":{self.number}"
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


def _runs(text):
    """Splits text into runs of (typed on the keyboard?, run): printable ASCII is."""
    runs = []
    for ch in text:
        keyboard = " " <= ch <= "~"
        if runs and runs[-1][0] == keyboard:
            runs[-1][1] += ch
        else:
            runs.append([keyboard, ch])
    return [(k, r) for k, r in runs]


class DriverError(RuntimeError):
    pass


class InputLost(DriverError):
    """An input given through the display whose effect never showed."""


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
        # The pointer waits in a corner, away from where windows open: a control under
        # it would be drawn lit by the last test's click.
        self.move_pointer(1279, 1023)
        answer = self.driver.must("start", win_path(self.exe), win_path(workdir or self.folder))
        self.pid = answer["pid"]
        if wait_window:
            self.hwnd = self.driver.must("find", MAIN_TITLE, timeout_ms, self.pid)["hwnd"]
            self.wait_ready(timeout_ms / 1000)
        return self

    def wait_ready(self, timeout=30.0):
        """Waits until the start-up has ended: the window shows at once, with its inputs
        greyed while the server's version is fetched, and takes input once they are
        not (its thread then answers a round trip)."""
        self.confirm(lambda: self.enabled()[IDS["硬盘"]], "the start-up (the inputs stayed greyed)", timeout=timeout)
        self.ping(int(timeout * 1000))
        return self

    def close(self):
        """Closes the main window as a person does, with Alt+F4; waits until it has gone."""
        self.press("alt+F4")
        self.confirm(lambda: not self.shown(), "Alt+F4 on the main window (it stayed open)")

    def shown(self):
        """Whether the main window is still on the screen."""
        answer = self.driver.call("window", self.hwnd)
        return "error" not in answer and answer["visible"]

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

    def enabled(self):
        """Whether each control (by identifier) takes input, read without the window's
        thread: also while the start-up holds it."""
        return {c["id"]: c["enabled"] for c in self.driver.must("controls", self.hwnd, "notext")["controls"]}

    def text(self, name):
        return self.control(name)["text"]

    # --- real input through the display -------------------------------------
    # Every input is followed by a bounded wait for what a person would see it do;
    # the display and Wine deliver input asynchronously, and a busy machine can hold
    # it back for seconds.
    def confirm(self, effect, what, timeout=INPUT_TIMEOUT):
        """Waits until effect() is true; InputLost names `what` (a text, or a function
        giving one, so that it can tell the state seen at the end) when it never is."""
        value = self.wait_until(effect, timeout=timeout, interval=0.05)
        if not value:
            raise InputLost(f"{what() if callable(what) else what}: no effect within {timeout} s")
        return value

    def xdotool(self, *args):
        subprocess.run(["xdotool", *map(str, args)], env=self.driver.env, check=True, timeout=30)

    def settle(self):
        """Lets the window thread take in what it was delivered (a ping is a message check)."""
        self.driver.call("ping", self.hwnd, 5000)

    def focus_window(self, hwnd):
        """Gives a top-level window the keyboard focus, as a window manager does when a
        person clicks it (there is none on the test display, and X focus does not follow
        a window opened by another thread); waits until keys go there."""
        xid = self.driver.must("xwindow", hwnd)["xid"]
        self.xdotool("windowfocus", xid)
        self.confirm(lambda: self._x_focus() == xid and self.driver.must("focus", hwnd)["active"] == hwnd,
                     f"focusing window {hwnd}")

    def _x_focus(self):
        out = subprocess.run(["xdotool", "getwindowfocus"], env=self.driver.env, stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL, timeout=30).stdout
        return int(out) if out.strip().isdigit() else None

    def _pointer(self):
        out = subprocess.run(["xdotool", "getmouselocation", "--shell"], env=self.driver.env,
                             stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=30).stdout.decode()
        where = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(where.get("X", -1)), int(where.get("Y", -1))

    def client_point(self, x, y, hwnd=None):
        """Screen position of a point of the window's client area."""
        origin = self.driver.must("window", hwnd or self.hwnd)["client_origin"]
        return origin[0] + x, origin[1] + y

    def control_centre(self, name):
        c = self.control(name)
        if not c["visible"]:
            raise DriverError(f"{name} is hidden")
        x, y, w, h = c["rect"]
        return self.client_point(x + w // 2, y + h // 2)

    def move_pointer(self, x, y):
        # (mousemove --sync waits for the pointer to move, for ever when it is there already)
        self.xdotool("mousemove", x, y)
        self.confirm(lambda: self._pointer() == (x, y), f"moving the pointer to {x},{y}")

    def click_at(self, x, y, button=1):
        """Moves the pointer to (x, y), waits until it is there, and clicks."""
        self.move_pointer(x, y)
        self.xdotool("click", button)

    def click(self, name):
        """Clicks a control with the mouse. A disabled control takes the click and does
        nothing; the caller waits for what the click does."""
        self.click_at(*self.control_centre(name))
        self.settle()

    def press(self, *keys, hwnd=None, until=None):
        """Key presses (xdotool key names: Tab, Return, space, F10, ctrl+v...) to the
        main window, or to the top-level window hwnd; with `until`, waits for their effect."""
        self.focus_window(hwnd or self.hwnd)
        self.xdotool("key", "--delay", 30, *keys)
        self.settle()
        if until:
            self.confirm(until, f"the keys {' '.join(keys)}")

    def tab(self, back=False):
        """Tab (Shift+Tab) to the next (previous) control; waits until the focus moved."""
        before = self.driver.must("focus", self.hwnd)["focus"]
        self.press("shift+Tab" if back else "Tab",
                   until=lambda: self.driver.must("focus", self.hwnd)["focus"] not in (before, 0))

    def _box_text(self, hwnd):
        return self.driver.must("window", hwnd)["title"]

    def type_keys(self, text):
        """Types text into the edit box that has the focus, waiting after each run until
        the box holds it. Characters on the keyboard are typed key by key. Chinese is
        pasted with Ctrl+V from the clipboard, as a person who writes it with an input
        method elsewhere does: there is no input method on the test display, and
        xdotool's trick of remapping a spare key for each character loses characters
        under Wine when the mapping changes back before Wine reads it."""
        box = self.driver.must("focus", self.hwnd)["focus"]
        if not box:
            raise DriverError("no control has the focus to type into")
        expected = self._box_text(box)
        for keyboard, run in _runs(text):
            before = self._box_text(box)
            sel = self.driver.must("selection", box)
            expected = before[:sel["start"]] + run + before[sel["end"]:]
            if keyboard:
                self.xdotool("type", "--delay", 15, "--", run)
            else:
                self.paste(run)
            self.confirm(lambda: self._box_text(box) == expected,
                         lambda: f"typing {run!r}: the box holds {self._box_text(box)!r}, not {expected!r}")
        self.settle()
        # A key event still on its way (a repeat of the last key) would land after the
        # check above; once the window has taken in what it was given, the box must
        # still hold exactly the text.
        held = self._box_text(box)
        if held != expected:
            raise InputLost(f"typing {text!r}: the box holds {held!r} once the window settled, not {expected!r}")

    def clipboard(self):
        """The text the program would paste: the Windows clipboard as Wine shows it."""
        return self.driver.must("clipboard").get("text")

    def paste(self, text):
        """Puts text on the clipboard, waits until Wine offers it, and presses Ctrl+V
        (the caller waits for the box to hold it)."""
        subprocess.run(["xclip", "-selection", "clipboard", "-in"], input=text.encode("utf-8"),
                       env=self.driver.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True,
                       timeout=30)
        self.confirm(lambda: self.clipboard() == text, f"putting {text!r} on the clipboard")
        self.xdotool("key", "ctrl+v")

    def type(self, name, text):
        """Clicks into an edit box, clears it with the keyboard and types text."""
        c = self.control(name)
        if not c["enabled"]:
            raise DriverError(f"{name} is disabled")
        self.click(name)
        self.confirm(lambda: self.driver.must("focus", self.hwnd)["focus"] == c["hwnd"], f"the click into {name}")
        self.focus_window(self.hwnd)
        self.xdotool("key", "--delay", 20, "End", "shift+Home", "BackSpace")
        self.confirm(lambda: self.text(name) == "",
                     lambda: f"clearing {name} with End, Shift+Home, BackSpace: it holds {self.text(name)!r}")
        self.type_keys(text)

    def focused_id(self):
        """Identifier of the control that has the keyboard focus, or None."""
        focus = self.driver.must("focus", self.hwnd)["focus"]
        for c in self.controls():
            if c["hwnd"] == focus:
                return c["id"]
        return None

    def font_heights(self):
        """The font height (a LOGFONT's lfHeight) of each component, by name."""
        fonts = self.driver.must("fonts", self.hwnd, win_path(MENU_PROBE))["fonts"]
        names = {cid: name for name, cid in IDS.items()}
        return {names.get(f["id"], f["id"]): f["height"] for f in fonts}

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

    def menu_bar_entry(self):
        bar = self.driver.must("menu", self.hwnd, win_path(MENU_PROBE))["menu"] or []
        for entry in bar:
            if entry["text"] == "菜单":
                return entry
        raise DriverError("no 菜单 on the menu bar")

    def open_menus(self):
        """The drop-down menus the program shows (class #32768), as top-level windows."""
        return self.driver.must("toplevel", self.pid, "#32768")["windows"]

    def select_menu(self, name, by="mouse"):
        """Chooses a menu item as a person would: the mouse opens 菜单 and clicks the
        item, or the keyboard walks to it (F10, Down to open, Down to the item, Return).
        Only an item the menu shows can be chosen."""
        entry = self.menu_bar_entry()
        shown = entry.get("items", [])
        low = IDS[name] & 0xFFFF
        index = next((i for i, item in enumerate(shown) if (item["id"] & 0xFFFF) == low), None)
        if index is None:
            raise DriverError(f"menu item {name} is not shown")
        if by == "mouse":
            x, y, w, h = entry["rect"]
            self.click_at(x + w // 2, y + h // 2)
            popup = self.confirm(self.open_menus, "the click on 菜单 (the drop-down did not open)")
            px, py, pw, ph = popup[0]["rect"]
            # The items share the drop-down's height evenly (all are one line of text).
            self.click_at(px + pw // 2, py + int(ph * (index + 0.5) / len(shown)))
            what = f"the click on {name} (the drop-down stayed open)"
        elif by == "keys":
            self.press("F10", until=lambda: self.driver.must("focus", self.hwnd)["menu_mode"])
            # Down opens the drop-down on its first item, each further Down moves one on.
            self.press("Down", until=self.open_menus)
            for step in range(index):
                self.press("Down", until=lambda: self.menu()[step + 1]["state"] & MFS_HILITE)
            self.xdotool("key", "Return")
            what = f"Return on {name} (the drop-down stayed open)"
        else:
            raise ValueError(by)
        self.confirm(lambda: not self.open_menus(), what)
        self.settle()

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

    def answer(self, dialog, button_id=IDOK, by="mouse"):
        """Answers a system message box: clicks the button, or with by="keys" moves the
        focus to it with Tab and presses Space; by="Return"/"Escape" presses that key."""
        if by == "mouse":
            button = next((b for b in dialog["buttons"] if b["id"] == button_id), None)
            if button is None:
                raise DriverError(f"no button {button_id} in {dialog['title']}")
            x, y, w, h = button["rect"]
            self.click_at(x + w // 2, y + h // 2)
            what = f"the click on {button['text']!r}"
        elif by == "keys":
            self.focus_window(dialog["hwnd"])
            wanted = [b["hwnd"] for b in dialog["buttons"] if b["id"] == button_id]
            for _ in range(len(dialog["buttons"]) + 1):
                focus = self.driver.must("focus", dialog["hwnd"])["focus"]
                if focus in wanted:
                    break
                self.xdotool("key", "Tab")
                self.confirm(lambda: self.driver.must("focus", dialog["hwnd"])["focus"] != focus,
                             f"Tab in {dialog['title']!r} (the focus did not move)")
            else:
                raise DriverError(f"Tab did not reach button {button_id}")
            self.xdotool("key", "space")
            what = f"Space on button {button_id}"
        elif by in ("Return", "Escape"):
            self.focus_window(dialog["hwnd"])
            self.xdotool("key", by)
            what = by
        else:
            raise ValueError(by)
        self.confirm(lambda: all(d["hwnd"] != dialog["hwnd"] for d in self.dialogs()),
                     f"{what} in the box {dialog['title']!r} (it stayed open)")

    def stays(self, predicate, seconds, what):
        """Watches for `seconds` that predicate keeps holding: for what must not happen
        (a second request, a message box) after the input that could have caused it."""
        end = time.time() + seconds
        while time.time() < end:
            assert predicate(), what
            time.sleep(0.1)
        assert predicate(), what

    def settled_shot(self, take, rect, timeout=10.0):
        """take() saves a screenshot and gives its path; answers one taken once the
        screen rectangle `rect` (x, y, w, h) shows the same in two shots in a row:
        painting, which follows a change asynchronously, has ended."""
        from PIL import Image, ImageChops

        def crop(path):
            x, y, w, h = rect
            return Image.open(path).convert("RGB").crop((x, y, x + w, y + h))
        last = [take()]

        def same_again():
            shot = take()
            same = ImageChops.difference(crop(shot), crop(last[0])).getbbox() is None
            last[0] = shot
            return same
        self.confirm(same_again, f"the picture of {rect} kept changing", timeout=timeout)
        return last[0]

    def wait_until(self, predicate, timeout=30.0, interval=0.1):
        end = time.time() + timeout
        while time.time() < end:
            value = predicate()
            if value:
                return value
            time.sleep(interval)
        return predicate()
