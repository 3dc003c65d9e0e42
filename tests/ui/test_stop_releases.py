"""Stop lets go of everything the transfer held: its thread, its connection (on our
side and on the server's), and its memory, whatever the server is doing; the window
answers at once after every Stop; closing the window mid-transfer ends the process."""
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "servers"))
import wine_process  # noqa: E402
from download_rig import IDYES, answer_and_wait_idle, start_download, wait_idle, wait_message  # noqa: E402
from servers import sha256_of  # noqa: E402

SIZE = 300_000
FIRST = 50_000  # what the mid-body stall sends before it falls silent


WWW = {"big.bin": (SIZE, 13)}


def settle(read, limit, timeout=10.0):
    """The value `read` gives once it is at most `limit`, or the last one seen."""
    end = time.time() + timeout
    value = read()
    while value > limit and time.time() < end:
        time.sleep(0.2)
        value = read()
    return value


# (route, how the test knows the transfer is waiting there): silent after the request,
# stopped in the middle of a header, stopped mid-body, and a slow trickle.
STALLS = [
    ("silent", {}),
    ("headstall", {}),
    ("stall", {"first": FIRST}),
    ("trickle", {"step": 1000, "every": 300}),
]


def test_twenty_stops_leave_no_thread_socket_or_connection(app, hostile, nginx, www, drive):
    pid = wine_process.linux_pid(app.exe)
    # One whole download first: what WinINet keeps for the process from then on is
    # not the stops' doing.
    start_download(app, nginx.url("big.bin"), "t", "whole", ".bin")
    answer_and_wait_idle(app, wait_message(app))
    assert sha256_of(drive.folder / "whole.bin") == sha256_of(www / "big.bin")
    time.sleep(1)
    before = wine_process.holdings(pid)

    kept = []  # mid-body stops: their partial files, checked and resumed below
    for i in range(20):
        route, args = STALLS[i % len(STALLS)]
        name = f"s{i}"
        stalled = hostile.stalled
        start_download(app, hostile.url(route, "big.bin" if route in ("stall", "trickle") else "", **args),
                       "t", name, ".bin")
        if route in ("silent", "headstall", "stall"):
            assert app.wait_until(lambda: hostile.stalled > stalled, timeout=10), route
        if route in ("stall", "trickle"):
            assert app.wait_until(lambda: app.text("状态").startswith("正在下载:"), timeout=10), route
        time.sleep(0.3)  # the program is waiting on the network now

        app.click("按钮_停止")
        stopped = time.time()
        assert app.ping(timeout_ms=1000)["ok"], f"the window did not answer at once after stop {i} ({route})"
        wait_idle(app, timeout=3)
        # The server sees the connection end: nothing is left open on its side either.
        assert app.wait_until(lambda: hostile.connections == 0, timeout=3, interval=0.05), \
            f"stop {i} ({route}) left its connection open"
        assert time.time() - stopped < 2.5, f"stop {i} ({route}) took {time.time() - stopped:.1f} s to let go"
        if route == "stall":
            kept.append(name)

    after = {"threads": settle(lambda: wine_process.threads(pid), before["threads"] + 1),
             "sockets": settle(lambda: wine_process.sockets(pid), before["sockets"] + 1)}
    assert after["threads"] <= before["threads"] + 1, (before, after)
    assert after["sockets"] <= before["sockets"] + 1, (before, after)
    assert app.dialogs() == [] and app.text("状态") == "就绪"

    # Each mid-body stop kept exactly the bytes that arrived, and a resume completes them.
    source = (www / "big.bin").read_bytes()
    for name in kept[:2]:
        partial = (drive.folder / f"{name}.bin.tmp").read_bytes()
        assert 0 < len(partial) <= FIRST and partial == source[:len(partial)], name
        start_download(app, nginx.url("big.bin"), "t", name, ".bin")
        app.answer(wait_message(app), IDYES)
        answer_and_wait_idle(app, wait_message(app))
        assert sha256_of(drive.folder / f"{name}.bin") == sha256_of(www / "big.bin"), name


def test_closing_the_window_mid_transfer_ends_the_process_and_its_connection(app, hostile, drive):
    start_download(app, hostile.url("stall", "big.bin", first=FIRST), "t", "c", ".bin")
    assert app.wait_until(lambda: app.text("状态").startswith("正在下载:"), timeout=10)
    app.close()
    # The server holds the rest for two minutes: the program does not wait for it.
    assert app.wait_exit(20000) == 0
    assert app.wait_until(lambda: hostile.connections == 0, timeout=2, interval=0.05)
