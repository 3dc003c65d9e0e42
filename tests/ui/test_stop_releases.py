"""Stop lets go of everything the transfer held: its thread, its connection (on our
side and on the server's), and its memory, whatever the server is doing; the window
answers at once after every Stop; closing the window mid-transfer ends the process.
A slow server's bytes show as they come."""
import re
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


def holdings_after_a_whole_download(app, nginx, www, drive):
    """The process and what it holds after one whole download: what WinINet keeps for
    the process from then on is not the stops' doing."""
    pid = wine_process.linux_pid(app.exe)
    start_download(app, nginx.url("big.bin"), "t", "whole", ".bin")
    answer_and_wait_idle(app, wait_message(app))
    assert sha256_of(drive.folder / "whole.bin") == sha256_of(www / "big.bin")
    # Once WinINet has let go of what the download needed only for itself: the same
    # holdings seen twice, half a second apart.
    def counts():
        return wine_process.threads(pid), wine_process.sockets(pid)
    seen = [counts()]

    def steady():
        time.sleep(0.5)
        seen.append(counts())
        return seen[-1] == seen[-2]
    assert app.wait_until(steady, timeout=20, interval=0), f"threads and sockets kept changing: {seen[-3:]}"
    return pid, wine_process.holdings(pid)


def stop_while_waiting(app, hostile, route, args, name):
    """Starts a download from the stalling route, clicks 停止 once the program waits
    there, and sees the window answer and given back. Returns when Stop was clicked."""
    stalled = hostile.stalled
    start_download(app, hostile.url(route, "big.bin" if route in ("stall", "trickle") else "", **args),
                   "t", name, ".bin")
    if route in ("silent", "headstall", "stall"):
        assert app.wait_until(lambda: hostile.stalled > stalled, timeout=10), (route, args)
    if route in ("stall", "trickle"):
        assert app.wait_until(lambda: app.text("状态").startswith("正在下载:"), timeout=10), (route, args)
    # The program waits on the network now (and stays there, no message box).
    app.stays(lambda: app.dialogs() == [], 0.3, f"a message box while the server stalled ({route}, {args})")

    app.click("按钮_停止")
    stopped = time.time()
    assert app.ping(timeout_ms=1000)["ok"], f"the window did not answer at once after Stop ({route}, {args})"
    wait_idle(app, timeout=3)
    return stopped


def test_twenty_stops_leave_no_thread_socket_or_connection(app, hostile, nginx, www, drive):
    pid, before = holdings_after_a_whole_download(app, nginx, www, drive)

    kept = []  # mid-body stops: their partial files, checked and resumed below
    for i in range(20):
        route, args = STALLS[i % len(STALLS)]
        name = f"s{i}"
        stopped = stop_while_waiting(app, hostile, route, args, name)
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


# Servers that hold their end open whatever the client does, as a stuck server does:
# only the program can end the receive it waits in. Before the answer, inside the
# headers, at a block boundary (exactly two 10,240-byte blocks), inside a block, and a
# 2 KB/s trickle.
DEAF_STALLS = [
    ("silent", {}),
    ("headstall", {}),
    ("stall", {"first": 20_480}),
    ("stall", {"first": FIRST}),
    ("trickle", {"step": 200, "every": 100}),
]


def test_stop_releases_everything_even_when_the_server_never_lets_go(app, hostile, nginx, www, drive):
    pid, before = holdings_after_a_whole_download(app, nginx, www, drive)

    for n, (route, args) in enumerate(DEAF_STALLS):
        for i in range(2):
            hangups = hostile.hangups
            stop_while_waiting(app, hostile, route, dict(args, deaf=1), f"d{n}{i}")
            # The server sees the connection end although it never ends it itself.
            assert app.wait_until(lambda: hostile.hangups > hangups, timeout=5, interval=0.05), (route, args)
        # Our side lets go of the receive, its thread and its socket.
        threads = settle(lambda: wine_process.threads(pid), before["threads"])
        sockets = settle(lambda: wine_process.sockets(pid), before["sockets"])
        assert (threads, sockets) == (before["threads"], before["sockets"]), (route, args, before)
    assert app.dialogs() == [] and app.text("状态") == "就绪"


DONE = re.compile(r"正在下载:[^\r]*\r\n文件大小:[\d.]+KB\r\n已下载:(?P<done>[\d.]+)KB\r\n")


def test_a_trickle_shows_its_bytes_as_they_come(app, hostile, drive):
    # 1 KB/s: 100 bytes every 100 ms. A read that waited for a full 10,240-byte block
    # would show nothing for ten seconds and then jump by ten kilobytes at a time.
    start_download(app, hostile.url("trickle", "big.bin", step=100, every=100), "t", "slow", ".bin")

    def done_shown():
        m = DONE.match(app.text("状态"))
        return m and float(m["done"])

    shown = [app.wait_until(done_shown, timeout=10, interval=0.05)]
    assert shown[0] and shown[0] < 10, app.text("状态")
    while len(shown) < 4:
        later = app.wait_until(lambda: (d := done_shown()) and d > shown[-1] and d, timeout=10, interval=0.05)
        assert later, f"the progress stood still at {shown[-1]} KB"
        shown.append(later)
    assert app.progress()["pos"] > 0
    app.click("按钮_停止")
    wait_idle(app, timeout=5)


def test_closing_the_window_mid_transfer_ends_the_process_and_its_connection(app, hostile, drive):
    start_download(app, hostile.url("stall", "big.bin", first=FIRST), "t", "c", ".bin")
    assert app.wait_until(lambda: app.text("状态").startswith("正在下载:"), timeout=10)
    app.close()
    # The server holds the rest for two minutes: the program does not wait for it.
    assert app.wait_exit(20000) == 0
    assert app.wait_until(lambda: hostile.connections == 0, timeout=2, interval=0.05)
