"""Shared by the update-check and message-box UI tests (no tests of its own): a stand-in
browser that records the pages it is asked to open, and the skinned box's helpers. The
update server fixture is in conftest.py."""
import pytest

from lanshi_ui import run_wine


BROWSER_KEY = r"HKCR\http\shell\open\command"  # Wine reads URL handlers from HKCR only


def _reg_default(env, key):
    out = run_wine(env, "wine", "reg", "query", key, "/ve")[1]
    for line in out.splitlines():
        if "REG_SZ" in line:
            return line.split("REG_SZ", 1)[1].strip()
    return None


def _reg_set_default(env, key, value):
    run_wine(env, "wine", "reg", "add", key, "/ve", "/d", value, "/f", check=True)


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
    else:
        run_wine(env, "wine", "reg", "delete", BROWSER_KEY, "/ve", "/f")


def skinned_boxes(program):
    """The program's visible windows of the engine's class (the skinned message box)."""
    return [w for w in program.driver.must("toplevel", program.pid)["windows"] if w["class"].lower() == "mywindow"]


def wait_for_box(program, timeout=10.0):
    box = program.wait_until(lambda: skinned_boxes(program), timeout=timeout)
    assert box, "the skinned message box did not appear"
    return box[0]
