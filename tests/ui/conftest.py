"""Fixtures shared by the UI tests: one Wine prefix, one private display and one
driver per test session; a fresh program folder and a running program per test."""
import re
import sys
from pathlib import Path

import pytest

from lanshi_ui import SCREENSHOTS, Driver, Program, VirtualDisplay, wine_env

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "servers"))
from download_rig import Drive  # noqa: E402


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
