"""What a program running under Wine holds, read from /proc of its Linux process:
threads (tasks), socket descriptors and anonymous resident memory."""
import os
from pathlib import Path


def linux_pid(exe):
    """The Linux process of the Windows program `exe` (a Unix path): the one whose
    command line names that file, in Windows or in Unix spelling."""
    exe = Path(exe).resolve()
    names = {str(exe).encode(), ("Z:" + str(exe).replace("/", "\\")).encode()}
    for entry in Path("/proc").iterdir():
        if not entry.name.isdigit():
            continue
        try:
            first = (entry / "cmdline").read_bytes().split(b"\0")[0]
        except OSError:
            continue
        if first in names:
            return int(entry.name)
    raise LookupError(f"no Linux process runs {exe}")


def threads(pid):
    return len(os.listdir(f"/proc/{pid}/task"))


def sockets(pid):
    count = 0
    for fd in os.listdir(f"/proc/{pid}/fd"):
        try:
            count += os.readlink(f"/proc/{pid}/fd/{fd}").startswith("socket:")
        except OSError:
            pass  # closed meanwhile
    return count


def rss_anon_kb(pid):
    for line in Path(f"/proc/{pid}/status").read_text().splitlines():
        if line.startswith("RssAnon:"):
            return int(line.split()[1])
    raise LookupError("RssAnon")


def holdings(pid):
    return {"threads": threads(pid), "sockets": sockets(pid), "rss_kb": rss_anon_kb(pid)}
