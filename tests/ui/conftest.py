"""Fixtures shared by the UI tests: one Wine prefix, one private display and one
driver per test session; a fresh program folder and a running program per test;
the servers several test files use (nginx over a module's `www`, the update server)."""
import re
import sys
import time
from pathlib import Path

import pytest

from lanshi_ui import BUILD, SCREENSHOTS, Driver, Program, VirtualDisplay, wine_env

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "servers"))
from download_rig import Drive  # noqa: E402
from servers import HostileServer, Nginx, make_file  # noqa: E402
from update_server import UpdateServer  # noqa: E402


def pytest_configure(config):
    # The tests' temporary folders live in the build folder: the machine's shared
    # /tmp/pytest-of-<user> is pruned by other pytest runs on the machine, folders in
    # use included.
    if not config.option.basetemp:
        config.option.basetemp = str(BUILD / "ui-tmp")


@pytest.fixture(scope="session")
def wine():
    env = wine_env()
    display = VirtualDisplay(env)
    yield env, display
    display.close()


@pytest.fixture(scope="session")
def display(wine):
    return wine[1]


@pytest.fixture(scope="session")
def driver(wine):
    d = Driver(wine[0])
    yield d
    d.close()


@pytest.fixture
def program_dir(tmp_path):
    folder = tmp_path / "program"
    folder.mkdir()
    return folder


@pytest.fixture
def program(driver, program_dir):
    """The program, not yet started: tests start it when their set-up is ready."""
    p = Program(driver, program_dir)
    yield p
    p.stop()


@pytest.fixture
def app(program):
    """The program, started, with its main window found."""
    return program.start()


@pytest.fixture
def screenshot(display, request):
    """screenshot("name") saves the whole virtual screen under build/screenshots/."""
    def take(name):
        safe = re.sub(r"[^A-Za-z0-9_.-]+", "_", f"{request.node.name}-{name}")
        return display.screenshot(SCREENSHOTS / f"{safe}.png")
    return take


@pytest.fixture
def drive(tmp_path):
    """Drive T: of the prefix, pointing at a fresh temporary folder."""
    d = Drive("t", tmp_path / "drive_t")
    yield d
    d.remove()


@pytest.fixture(scope="module")
def www(request, tmp_path_factory):
    """The folder the module's servers serve: the files of the module's WWW, a name
    mapped to (size, seed) for make_file; empty in a module without one."""
    root = tmp_path_factory.mktemp("www")
    for name, (size, seed) in getattr(request.module, "WWW", {}).items():
        make_file(root / name, size, seed=seed)
    return root


@pytest.fixture
def hostile(www):
    """Our hostile server over `www`, fresh for each test (its request log and stalls
    are the test's own)."""
    server = HostileServer(www)
    yield server
    server.stop()


@pytest.fixture(scope="module")
def nginx(www, tmp_path_factory):
    """nginx on 127.0.0.1 serving the test module's own `www` folder."""
    server = Nginx(www, tmp_path_factory.mktemp("nginx"))
    yield server
    server.stop()


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
