"""Runs cut_body_probe.exe under Wine against the fault-injecting server, for complete
and cut bodies, and prints what WinINet reported for each (see docs/WINE.md).
    /usr/bin/python3 tests/probes/cut_body_probe.py"""
import json
import os
import sys
import tempfile
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(REPO / "tests" / "servers"))
sys.path.insert(0, str(REPO / "tests" / "ui"))
from lanshi_ui import BUILD, run_wine, wine_env  # noqa: E402
from servers import HostileServer, make_file  # noqa: E402

PROBE = Path(os.environ.get("LANSHI_PROBE", BUILD / "tests" / "probes" / "cut_body_probe.exe"))
WINE = os.environ.get("LANSHI_WINE", "wine")
SIZE = 300_000

CASES = [
    ("chunked, complete", "chunked", {}),
    ("chunked, clean close inside a chunk", "cutchunked", {"after": 100_000, "how": "close"}),
    ("chunked, clean close between chunks", "cutchunked", {"after": 98_000, "how": "close"}),
    ("chunked, reset inside a chunk", "cutchunked", {"after": 100_000, "how": "reset"}),
    ("chunked, reset between chunks", "cutchunked", {"after": 98_000, "how": "reset"}),
    ("no length, complete at the close", "cutclose", {"after": SIZE, "how": "close"}),
    ("no length, reset after part", "cutclose", {"after": 100_000, "how": "reset"}),
    ("Content-Length, clean close after part", "drop", {"after": 100_000}),
]


def answer(output):
    """The probe's JSON line (Wine may add lines of its own to the output)."""
    return next(line for line in reversed(output.splitlines()) if line.startswith("{"))


def main():
    env = wine_env() if "LANSHI_WINE" not in os.environ else dict(os.environ)
    with tempfile.TemporaryDirectory() as root:
        make_file(Path(root) / "f.bin", SIZE)
        server = HostileServer(root)
        try:
            for title, kind, args in CASES:
                for mode in ("sync", "async"):
                    out = run_wine(env, WINE, str(PROBE), server.url(kind, "f.bin", **args), mode,
                                   timeout=60)[1].strip()
                    print(f"{title:40} {mode:5} {json.dumps(json.loads(answer(out)))}")
        finally:
            server.stop()


if __name__ == "__main__":
    main()
