#!/usr/bin/python3
"""A tiny update server on 127.0.0.1 for the version check.

It serves the version file (/zelk.txt) with whatever bytes it is given and answers
every other path (the update page /?post=111 among them) with a short page, logging
each request line. In "silent" mode it accepts connections, reads the request and
never answers, as a hung server would; in "trickle" mode it announces a long version
file and sends it one byte every half second, as a hostile one might.

    update_server.py --port 18614 --version V1.1
    update_server.py --port 18614 --silent
    update_server.py --port 18614 --trickle

From a test:
    with UpdateServer(port, b"V1.1") as server: ...; server.requests
"""
import argparse
import socket
import threading
import time

VERSION_PATH = "/zelk.txt"


class UpdateServer:
    def __init__(self, port, version=b"V1.0", silent=False, host="127.0.0.1", trickle=False):
        self.host, self.port = host, port
        self.version = version
        self.silent = silent
        self.trickle = trickle
        self.requests = []  # request lines, in order
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
        with conn:
            request = self._read_request(conn)
            line = request.split(b"\r\n", 1)[0].decode("latin-1")
            with self._lock:
                self.requests.append(line)
            if self.silent:
                # Hold the connection without a word until the client gives up.
                while not self._stop.is_set():
                    try:
                        if not conn.recv(4096):
                            return
                    except socket.timeout:
                        continue
                    except OSError:
                        return
                return
            if self.trickle:
                try:
                    conn.sendall(b"HTTP/1.0 200 OK\r\nContent-Length: 1000000\r\n\r\n")
                    while not self._stop.is_set():
                        conn.sendall(b"V")
                        time.sleep(0.5)
                except OSError:
                    pass
                return
            path = line.split(" ")[1] if line.count(" ") >= 2 else "/"
            body = self.version if path == VERSION_PATH else b"<html><body>update page</body></html>"
            head = (f"HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nContent-Length: {len(body)}\r\n"
                    "Connection: close\r\n\r\n").encode("latin-1")
            try:
                conn.sendall(head + body)
            except OSError:
                pass


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--version", default="V1.0", help="body of the version file (\\r\\n allowed)")
    parser.add_argument("--silent", action="store_true", help="accept and never answer")
    parser.add_argument("--trickle", action="store_true", help="send the version file a byte at a time")
    args = parser.parse_args()
    version = args.version.encode("latin-1").decode("unicode_escape").encode("latin-1")
    mode = "silent" if args.silent else "trickle" if args.trickle else repr(version)
    with UpdateServer(args.port, version, args.silent, trickle=args.trickle) as server:
        print(f"serving on http://127.0.0.1:{args.port} ({mode})", flush=True)
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
