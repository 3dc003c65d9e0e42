#!/usr/bin/python3
"""A tiny update server on 127.0.0.1 for the version check.

It serves the version file (/zelk.txt) with whatever bytes it is given (and the
status it is given, 200 unless told) and answers every other path (the update page
/?post=111 among them) with a short page, logging each request line. Other modes
behave as hung or hostile servers do:

    silent           accepts, reads the request, never answers
    trickle          announces a long version file and sends it a byte a second
    redirect-loop    answers every request with a redirect to itself
    redirect-chain   redirects /zelk.txt -> /hop1 -> ... -> /hop<hops>, then serves the file
    header-trickle   sends the status line, then a header a byte a second
    endless-headers  sends the status line, then header lines without end
    huge             a 200 answer with a 100 MB version file (huge_size bytes, its length
                     announced unless announce=False), sent as fast as the client takes
                     it (each connection counts the bytes it sent)

    update_server.py --port 18614 --version V1.1
    update_server.py --port 18614 --version V9.9 --status "404 Not Found"
    update_server.py --port 18614 --mode redirect-chain --hops 6

From a test:
    with UpdateServer(port, b"V1.1") as server: ...; server.requests; server.connections
"""
import argparse
import socket
import threading
import time

VERSION_PATH = "/zelk.txt"


MODES = ("answer", "silent", "trickle", "redirect-loop", "redirect-chain", "header-trickle", "endless-headers",
         "huge")
HUGE_BODY = 100 * 1024 * 1024


class UpdateServer:
    def __init__(self, port, version=b"V1.0", silent=False, host="127.0.0.1", trickle=False, mode="answer",
                 status="200 OK", hops=6, interval=1.0, huge_size=HUGE_BODY, announce=True):
        self.host, self.port = host, port
        self.version = version
        self.mode = "silent" if silent else "trickle" if trickle else mode
        assert self.mode in MODES, self.mode
        self.status = status
        self.hops = hops
        self.interval = interval  # seconds between the bytes of a trickle
        self.huge_size, self.announce = huge_size, announce
        self.requests = []  # request lines, in order
        # One entry per connection: when it was accepted and when it ended (None while
        # open), and how many body bytes the client took (huge).
        self.connections = []
        self._lock = threading.Lock()
        self._stop = threading.Event()
        self._sock = None
        self._threads = []

    # --- life cycle -----------------------------------------------------------
    def start(self):
        self._sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self._sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self._sock.bind((self.host, self.port))
        self._sock.listen(16)
        self._sock.settimeout(0.2)
        t = threading.Thread(target=self._accept_loop, daemon=True)
        t.start()
        self._threads.append(t)
        return self

    def stop(self):
        self._stop.set()
        for t in self._threads:
            t.join(5)
        if self._sock:
            self._sock.close()

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()

    def paths(self):
        with self._lock:
            return [line.split(" ")[1] for line in self.requests if " " in line]

    def open_connections(self):
        with self._lock:
            return [c for c in self.connections if c["ended"] is None]

    # --- serving ----------------------------------------------------------------
    def _accept_loop(self):
        while not self._stop.is_set():
            try:
                conn, _ = self._sock.accept()
            except socket.timeout:
                continue
            except OSError:
                return
            t = threading.Thread(target=self._serve, args=(conn,), daemon=True)
            t.start()
            self._threads.append(t)

    def _read_request(self, conn):
        conn.settimeout(0.2)
        data = b""
        while b"\r\n\r\n" not in data and not self._stop.is_set():
            try:
                chunk = conn.recv(4096)
            except socket.timeout:
                continue
            if not chunk:
                break
            data += chunk
        return data

    def _serve(self, conn):
        entry = {"accepted": time.monotonic(), "ended": None, "sent": 0}
        with self._lock:
            self.connections.append(entry)
        try:
            with conn:
                self._answer(conn, entry)
        finally:
            entry["ended"] = time.monotonic()

    def _hold_until_client_leaves(self, conn):
        while not self._stop.is_set():
            try:
                if not conn.recv(4096):
                    return
            except socket.timeout:
                continue
            except OSError:
                return

    def _trickle(self, conn, head, byte):
        conn.sendall(head)
        while not self._stop.is_set():
            conn.sendall(byte)
            self._stop.wait(self.interval)

    def _send_huge(self, conn, entry):
        length = f"Content-Length: {self.huge_size}\r\n" if self.announce else ""
        conn.sendall(f"HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n{length}\r\n".encode("latin-1"))
        chunk = b"V" * 65536
        while entry["sent"] < self.huge_size and not self._stop.is_set():
            try:
                entry["sent"] += conn.send(chunk[:self.huge_size - entry["sent"]])
            except socket.timeout:
                continue

    def _answer(self, conn, entry):
        request = self._read_request(conn)
        line = request.split(b"\r\n", 1)[0].decode("latin-1")
        with self._lock:
            self.requests.append(line)
        path = line.split(" ")[1] if line.count(" ") >= 2 else "/"
        try:
            if self.mode == "silent":
                self._hold_until_client_leaves(conn)
            elif self.mode == "trickle":
                self._trickle(conn, b"HTTP/1.0 200 OK\r\nContent-Length: 1000000\r\n\r\n", b"V")
            elif self.mode == "huge":
                self._send_huge(conn, entry)
            elif self.mode == "header-trickle":
                self._trickle(conn, b"HTTP/1.0 200 OK\r\nX-Slow: ", b"a")
            elif self.mode == "endless-headers":
                conn.sendall(b"HTTP/1.0 200 OK\r\n")
                lines = b"X-More: aaaaaaaaaaaaaaaaaaaaaaaa\r\n" * 100
                while not self._stop.is_set():
                    conn.sendall(lines)
            elif self.mode == "redirect-loop" or (self.mode == "redirect-chain" and path != f"/hop{self.hops}"):
                if self.mode == "redirect-loop":
                    target = path
                else:
                    hop = int(path[4:]) if path.startswith("/hop") and path[4:].isdigit() else 0
                    target = f"/hop{hop + 1}"
                conn.sendall((f"HTTP/1.0 302 Found\r\nLocation: {target}\r\nContent-Length: 0\r\n"
                              "Connection: close\r\n\r\n").encode("latin-1"))
            else:
                is_version = path == VERSION_PATH or self.mode == "redirect-chain"
                body = self.version if is_version else b"<html><body>update page</body></html>"
                status = self.status if is_version else "200 OK"
                head = (f"HTTP/1.0 {status}\r\nContent-Type: text/plain\r\nContent-Length: {len(body)}\r\n"
                        "Connection: close\r\n\r\n").encode("latin-1")
                conn.sendall(head + body)
        except OSError:
            pass


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--version", default="V1.0", help="body of the version file (\\r\\n allowed)")
    parser.add_argument("--status", default="200 OK", help="status of the version file's answer")
    parser.add_argument("--mode", default="answer", choices=MODES)
    parser.add_argument("--hops", type=int, default=6, help="redirects of redirect-chain")
    parser.add_argument("--silent", action="store_true", help="same as --mode silent")
    parser.add_argument("--trickle", action="store_true", help="same as --mode trickle")
    args = parser.parse_args()
    version = args.version.encode("latin-1").decode("unicode_escape").encode("latin-1")
    mode = "silent" if args.silent else "trickle" if args.trickle else args.mode
    with UpdateServer(args.port, version, mode=mode, status=args.status, hops=args.hops) as server:
        print(f"serving on http://127.0.0.1:{args.port} ({mode}, {args.status}, {version!r})", flush=True)
        shown = 0
        try:
            while True:
                time.sleep(0.5)
                for line in server.requests[shown:]:
                    print(line, flush=True)
                shown = len(server.requests)
        except KeyboardInterrupt:
            pass


if __name__ == "__main__":
    main()
