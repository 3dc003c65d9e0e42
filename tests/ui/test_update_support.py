"""Shared by the update-check and message-box UI tests (no tests of its own): the local
update server the build points at, and a stand-in browser that records the pages it is asked to open."""
import re
import subprocess
import sys
import time
from pathlib import Path

import pytest

from lanshi_ui import BUILD, REPO

sys.path.insert(0, str(REPO / "tests" / "servers"))
from update_server import UpdateServer  # noqa: E402


def update_server_port():
    """The port of http://127.0.0.1:<port>, the update server this build was made for."""
    cache = BUILD / "CMakeCache.txt"
    text = cache.read_text(errors="replace") if cache.exists() else ""
    m = re.search(r"^LANSHI_UPDATE_SERVER:\w+=http://127\.0\.0\.1:(\d+)\s*$", text, re.M)
    if not m:
        pytest.skip("build with -DLANSHI_UPDATE_SERVER=http://127.0.0.1:<port> to test the update check")
    return int(m.group(1))


@pytest.fixture
def update_server():
    """update_server(b"V1.1"), update_server(b"V9.9", status="404 Not Found") or
    update_server(mode="redirect-loop") (the modes of tests/servers/update_server.py):
    serves until the test ends."""
    servers = []
    port = update_server_port()

    def start(version=b"V1.0", silent=False, trickle=False, **kw):
        server = None
        for _ in range(50):  # the previous test's socket may linger a moment
            try:
                server = UpdateServer(port, version, silent, trickle=trickle, **kw).start()
                break
            except OSError:
                time.sleep(0.1)
        assert server, f"port {port} stays busy"
        servers.append(server)
        return server

    start.base = f"http://127.0.0.1:{port}"
    yield start
    for s in servers:
        s.stop()


BROWSER_KEY = r"HKCR\http\shell\open\command"  # Wine reads URL handlers from HKCR only


def _reg_default(env, key):
    out = subprocess.run(["wine", "reg", "query", key, "/ve"], env=env, capture_output=True, text=True,
                         errors="replace").stdout
    for line in out.splitlines():
        if "REG_SZ" in line:
            return line.split("REG_SZ", 1)[1].strip()
    return None


def _reg_set_default(env, key, value):
    subprocess.run(["wine", "reg", "add", key, "/ve", "/d", value, "/f"], env=env, check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


@pytest.fixture
def browser(wine, tmp_path):
    """Makes "open" on an http address write the address into a file instead of
    starting a browser (the prefix's handler is put back afterwards); returns a
    function reading the addresses opened so far."""
    env = wine[0]
    log = tmp_path / "opened.txt"
    win_log = "Z:" + str(log).replace("/", "\\")
    original = _reg_default(env, BROWSER_KEY)
    _reg_set_default(env, BROWSER_KEY, f'C:\\windows\\system32\\cmd.exe /c echo %1>>"{win_log}"')

    def opened():
        if not log.exists():
            return []
        return [line.strip() for line in log.read_text(errors="replace").splitlines() if line.strip()]

    yield opened
    if original is not None:
        _reg_set_default(env, BROWSER_KEY, original)


def skinned_boxes(program):
    """The program's visible windows of the engine's class (the skinned message box)."""
    return [w for w in program.driver.must("toplevel", program.pid)["windows"] if w["class"].lower() == "mywindow"]


def wait_for_box(program, timeout=10.0):
    box = program.wait_until(lambda: skinned_boxes(program), timeout=timeout)
    assert box, "the skinned message box did not appear"
    return box[0]
