"""HTTP servers the download tests run on 127.0.0.1: Debian's nginx serving generated
files (honest Range, 206, Content-Length), and a small hostile server of our own for
the answers nginx will not give. Both are started and stopped by the tests."""
import email.utils
import functools
import hashlib
import http.server
import os
import re
import select
import shutil
import signal
import socket
import struct
import subprocess
import threading
import time
import urllib.parse
import urllib.request
from pathlib import Path

HERE = Path(__file__).resolve().parent


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def make_file(path, size, seed=0):
    """A file of `size` bytes that differs at every offset (so misplaced bytes show)."""
    path = Path(path)
    path.parent.mkdir(parents=True, exist_ok=True)
    block = hashlib.sha256(str(seed).encode()).digest()
    chunk = bytearray()
    counter = 0
    with open(path, "wb") as f:
        written = 0
        while written < size:
            if not chunk:
                chunk = bytearray(hashlib.sha256(block + counter.to_bytes(8, "little")).digest() * 2048)
                counter += 1
            n = min(len(chunk), size - written)
            f.write(chunk[:n])
            del chunk[:n]
            written += n
    return path


def sha256_of(path):
    h = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            h.update(block)
    return h.hexdigest()


_GEN_BLOCK = b"".join(hashlib.sha256(i.to_bytes(4, "little")).digest() for i in range(2048))[:65521]


def generated_bytes(offset, count):
    """Bytes [offset, offset+count) of the generated file: a 65,521-byte block over and
    over (a prime length, so no power-of-two offset lines up with the block)."""
    n = len(_GEN_BLOCK)
    start = offset % n
    reps = (start + count) // n + 1
    return (_GEN_BLOCK * reps)[start:start + count]


@functools.lru_cache(maxsize=4)
def versioned_bytes(version, size=300_000):
    """Version `version` of the changing file: same size, other bytes."""
    return generated_bytes(version * 1_000_003, size)


class Nginx:
    """nginx -c <our conf> -p <tmp>, listening on 127.0.0.1:<free port>, serving `root`."""

    def __init__(self, root, tmp):
        self.root = Path(root)
        self.tmp = Path(tmp)
        self.tmp.mkdir(parents=True, exist_ok=True)
        self.port = free_port()
        conf = (HERE / "nginx.conf.template").read_text()
        for key, value in (("@TMP@", self.tmp), ("@PORT@", self.port), ("@ROOT@", self.root)):
            conf = conf.replace(key, str(value))
        self.conf = self.tmp / "nginx.conf"
        self.conf.write_text(conf)
        self.proc = subprocess.Popen(["nginx", "-c", str(self.conf), "-p", str(self.tmp)],
                                     stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        self._wait_listening()

    def _wait_listening(self):
        end = time.time() + 10
        while time.time() < end:
            if self.proc.poll() is not None:
                raise RuntimeError("nginx ended: " + self.proc.stderr.read().decode(errors="replace"))
            try:
                with socket.create_connection(("127.0.0.1", self.port), timeout=0.2):
                    return
            except OSError:
                time.sleep(0.05)
        raise RuntimeError("nginx did not listen")

    def url(self, name):
        return f"http://127.0.0.1:{self.port}/{name}"

    def stop(self):
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGQUIT)
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()


class _Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "Hostile/1"

    def log_message(self, *args):
        pass

    def handle(self):
        owner = self.server.owner
        with owner.lock:
            owner.connections += 1
        try:
            super().handle()
        finally:
            with owner.lock:
                owner.connections -= 1

    # --- helpers ------------------------------------------------------------
    def _file(self, name):
        path = self.server.owner.root / name
        return path.read_bytes() if path.is_file() else None

    def _send(self, status, body=b"", headers=(), length=True):
        self.send_response(status)
        for k, v in headers:
            self.send_header(k, v)
        if length:
            self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if body and self.command != "HEAD":
            self.wfile.write(body)

    def _client_gone(self):
        try:
            readable, _, _ = select.select([self.connection], [], [], 0)
            return bool(readable) and self.connection.recv(1, socket.MSG_PEEK) == b""
        except OSError:
            return True

    def _hold(self, seconds=120, deaf=False):
        """A stalled answer waits here: True when the test lets it go on, False when the
        client hung up first (counted in hangups) or the time ran out. A deaf answer
        notes the hang-up but holds its end open all the same, as a stuck server does:
        then only the client can end what it waits for."""
        owner = self.server.owner
        end = time.time() + seconds
        gone = False
        while not owner.unstall.wait(0.05):
            if not gone and self._client_gone():
                gone = True
                with owner.lock:
                    owner.hangups += 1
                if not deaf:
                    return False
            if time.time() > end:
                return False
        return not gone

    def _range_start(self):
        m = re.match(r"bytes=(\d+)-$", self.headers.get("Range", "").strip())
        return int(m.group(1)) if m else None

    def _honest(self, data):
        start = self._range_start()
        if start is None:
            return self._send(200, data)
        if start >= len(data):
            return self._send(416, b"", [("Content-Range", f"bytes */{len(data)}")])
        return self._send(206, data[start:], [("Content-Range", f"bytes {start}-{len(data) - 1}/{len(data)}")])

    def _reset(self):
        """Ends the connection with a TCP reset instead of a clean close."""
        self.close_connection = True
        self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        self.connection.close()

    def _generated(self, size, first):
        start = self._range_start() or 0
        if start:
            self.send_response(206)
            self.send_header("Content-Range", f"bytes {start}-{size - 1}/{size}")
        else:
            self.send_response(200)
        self.send_header("Content-Length", str(size - start))
        self.end_headers()
        self.close_connection = True
        stall_at = size if first is None else min(size, start + first)
        try:
            for begin, end in ((start, stall_at), (stall_at, size)):
                if begin == stall_at and begin < size:
                    self.wfile.flush()
                    self.server.owner.unstall.wait(120)
                    if self.server.owner.release.is_set():
                        return
                for pos in range(begin, end, 65536):
                    self.wfile.write(generated_bytes(pos, min(65536, end - pos)))
        except OSError:
            pass

    def _versioned(self, args):
        """The file of version owner.version: its bytes, a strong ETag ("etag=strong"), a
        weak one ("etag=weak") or none, and a Last-Modified date unless "lastmod=0".
        Honest Range, and If-Range as a server should read it: a validator that is not
        the current one (a weak tag never is) gets the whole file, unless "ifrange=ignore"
        (a server that honours Range but not If-Range); "etag=long" is a strong tag of
        2,000 characters, "tag206=0" leaves every validator out of a 206; "size" sets the
        file's size (300,000 bytes). The body comes in `step`-byte pieces every `every` ms."""
        owner = self.server.owner
        version = owner.version
        data = versioned_bytes(version, int(args.get("size", 300_000)))
        headers = []
        etag = {"strong": f'"v{version}"', "weak": f'W/"v{version}"',
                "long": '"v%d-%s"' % (version, "x" * 2000)}.get(args.get("etag", "strong"))
        modified = email.utils.formatdate(1_700_000_000 + 86_400 * version, usegmt=True)
        if etag:
            headers.append(("ETag", etag))
        if args.get("lastmod", "1") == "1":
            headers.append(("Last-Modified", modified))
        start = self._range_start()
        if_range = self.headers.get("If-Range")
        if start is not None and if_range is not None and args.get("ifrange") != "ignore":
            strong = etag and not etag.startswith("W/")
            if not ((strong and if_range == etag) or (args.get("lastmod", "1") == "1" and if_range == modified)):
                start = None
        if start:
            self.send_response(206)
            if args.get("tag206") == "0":  # a piece that carries no validator at all
                headers = []
            headers.append(("Content-Range", f"bytes {start}-{len(data) - 1}/{len(data)}"))
        else:
            self.send_response(200)
        body = data[start or 0:]
        for k, v in headers + [("Content-Length", str(len(body)))]:
            self.send_header(k, v)
        self.end_headers()
        self._paced(body, int(args.get("step", 1 << 20)), int(args.get("every", 0)) / 1000)
        self.close_connection = True

    def _paced(self, body, step, every, chunked=False):
        """Writes body in `step`-byte pieces (chunks of the chunked coding when `chunked`),
        each sent at once and followed by a pause of `every` seconds; every < 0 leaves
        the pieces to the socket's buffering. Ends early when the server ends or the
        client has gone."""
        for i in range(0, len(body), step):
            if self.server.owner.release.is_set():
                return
            piece = body[i:i + step]
            try:
                self.wfile.write(f"{len(piece):x}\r\n".encode() + piece + b"\r\n" if chunked else piece)
                if every >= 0:
                    self.wfile.flush()
                    time.sleep(every)
            except OSError:  # the client hung up
                with self.server.owner.lock:
                    self.server.owner.hangups += 1
                return
        if chunked:
            self.wfile.write(b"0\r\n\r\n")

    def _cut_chunked(self, data, after, step, how):
        self.send_response(200)
        self.send_header("Transfer-Encoding", "chunked")
        self.end_headers()
        sent = 0
        while sent < after:
            piece = data[sent:sent + step]
            cut = sent + len(piece) > after  # the last chunk sent is announced whole but cut inside
            self.wfile.write(f"{len(piece):x}\r\n".encode() + (piece[:after - sent] if cut else piece + b"\r\n"))
            sent += len(piece)
        self.wfile.flush()
        time.sleep(0.5)  # the client reads what came before the end
        if how == "reset":
            return self._reset()
        self.close_connection = True
        self.connection.shutdown(socket.SHUT_RDWR)

    # --- routes: /<behaviour>/<file name>[?arguments] --------------------------
    def do_GET(self):
        owner = self.server.owner
        with owner.lock:
            owner.requests.append({"path": self.path, "headers": dict(self.headers.items()),
                                   "raw": str(self.headers)})
        path, _, query = self.path.partition("?")
        args = dict(p.split("=", 1) for p in query.split("&") if "=" in p)
        parts = path.strip("/").split("/", 1)
        kind, name = parts[0], parts[1] if len(parts) > 1 else ""
        data = self._file(name) if name else None

        if kind == "status":  # /status/404, /status/500: an error page with a body
            code = int(name)
            return self._send(code, f"<html><body>error {code}</body></html>".encode())
        if kind == "loop":  # a redirect to itself, for ever (each answer `delay` ms late)
            time.sleep(int(args.get("delay", 0)) / 1000)
            return self._send(302, b"", [("Location", self.path)])
        if kind == "gen":  # /gen/<size>: a generated file of any size, honest Range; `first` bytes, then a stall
            return self._generated(int(name), int(args["first"]) if "first" in args else None)
        if kind == "versioned":  # a file that changes with owner.version; see _versioned
            return self._versioned(args)
        if kind == "chain":  # /chain/<n>/<file>: n redirects (relative ones), then the file
            steps, _, rest = name.partition("/")
            if int(steps) > 0:
                return self._send(302, b"", [("Location", f"../{int(steps) - 1}/{rest}")])
            data = self._file(rest)
        if kind == "empty":
            return self._send(200, b"")
        if kind == "nostatus":  # another service on the port: a banner and bytes, no HTTP at all
            self.wfile.write(b"SSH-2.0-OpenSSH_9.2p1 Debian-2\r\n" + generated_bytes(0, 5000))
            self.wfile.flush()
            self.close_connection = True
            return
        if kind == "leftover":  # /leftover/<304|204>: a status that has no body, with a body, kept alive
            size = int(args.get("size", 200_000))  # more than WinINet reads ahead with the headers
            self.send_response(int(name))
            self.send_header("Content-Length", str(size))
            self.end_headers()
            self.wfile.write(generated_bytes(0, size))
            self.wfile.flush()
            self.close_connection = False  # whatever the request asked
            return
        if kind == "redirectto":  # a redirect to any address (`to`, url-quoted)
            return self._send(302, b"", [("Location", urllib.parse.unquote(args["to"]))])
        deaf = args.get("deaf") == "1"  # a stalled answer that ignores the client's hang-up
        if kind == "silent":  # reads the request and never answers it
            with owner.lock:
                owner.stalled += 1
            self._hold(deaf=deaf)
            self.close_connection = True
            return
        if kind == "headstall":  # the status line and half a header, then nothing
            self.wfile.write(b"HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Le")
            self.wfile.flush()
            with owner.lock:
                owner.stalled += 1
            self._hold(deaf=deaf)
            self.close_connection = True
            return
        if data is None:
            return self._send(404, b"<html>not found</html>")
        if kind in ("file", "chain"):
            return self._honest(data)
        if kind == "redirect":  # to the honest file; `fragment` adds a "#..." to the Location
            fragment = "#" + args["fragment"] if "fragment" in args else ""
            return self._send(302, b"", [("Location", f"/file/{name}{fragment}")])
        if kind == "clchunked":  # chunked, complete, with a Content-Length beside it (`value`)
            self.send_response(200)
            self.send_header("Content-Length", args.get("value", str(len(data) // 2)))
            self.send_header("Transfer-Encoding", "chunked")
            self.end_headers()
            for i in range(0, len(data), 7000):
                self.wfile.write(f"{len(data[i:i + 7000]):x}\r\n".encode() + data[i:i + 7000] + b"\r\n")
            self.wfile.write(b"0\r\n\r\n")
            self.close_connection = True
            return
        if kind == "piece":  # 206 with bytes `first`-`last` (default: from the Range asked, 1,000 bytes) of the file
            first = int(args.get("first", self._range_start() or 0))
            last = int(args.get("last", first + 999))
            body = data[first:last + 1]
            return self._send(206, body, [("Content-Range", f"bytes {first}-{last}/{len(data)}")])
        if kind == "chunked":  # no Content-Length: the body in chunks of `step` bytes
            self.send_response(200)
            self.send_header("Transfer-Encoding", "chunked")
            self.end_headers()
            return self._paced(data, int(args.get("step", 7000)), float(args.get("every", -1)) / 1000, chunked=True)
        if kind == "drop":  # announces the whole body, sends `after` bytes, hangs up
            after = int(args.get("after", len(data) // 2))
            start = self._range_start() or 0
            if start:
                self.send_response(206)
                self.send_header("Content-Range", f"bytes {start}-{len(data) - 1}/{len(data)}")
            else:
                self.send_response(200)
            self.send_header("Content-Length", str(len(data) - start))
            self.end_headers()
            self.wfile.write(data[start:start + after])
            self.wfile.flush()
            self.close_connection = True
            self.connection.shutdown(socket.SHUT_RDWR)
            return
        if kind == "norange":  # ignores Range: always the whole file
            return self._send(200, data)
        if kind == "wrongrange":  # 206 from byte 0 whatever was asked; honest without a range
            if self._range_start() is None:
                return self._send(200, data)
            return self._send(206, data, [("Content-Range", f"bytes 0-{len(data) - 1}/{len(data)}")])
        if kind == "barerange":  # 206 without Content-Range; honest without a range
            start = self._range_start()
            if start is None:
                return self._send(200, data)
            return self._send(206, data[start:])
        if kind == "refuse416":  # 416 without a size to every range request
            if self._range_start() is not None:
                return self._send(416, b"")
            return self._send(200, data)
        if kind == "stall":  # headers and `first` bytes, then nothing until the test lets the rest go
            first = int(args.get("first", 20000))
            self.send_response(200)
            self.send_header("Content-Length", str(len(data)))
            self.end_headers()
            self.wfile.write(data[:first])
            self.wfile.flush()
            with owner.lock:
                owner.stalled += 1
            if self._hold(deaf=deaf) and not owner.release.is_set():
                try:
                    self.wfile.write(data[first:])
                    self.wfile.flush()
                except OSError:
                    pass
            self.close_connection = True
            return
        if kind == "trickle":  # the body slowly: `step` bytes every `every` ms
            step, every = int(args.get("step", 4096)), int(args.get("every", 200)) / 1000
            start = self._range_start()
            body = data[start:] if start else data
            if start:
                self.send_response(206)
                self.send_header("Content-Range", f"bytes {start}-{len(data) - 1}/{len(data)}")
            else:
                self.send_response(200)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self._paced(body, step, every)
            self.close_connection = True
            return
        if kind == "cutchunked":  # chunked, ended after `after` bytes without the last chunk
            return self._cut_chunked(data, int(args.get("after", len(data) // 2)), int(args.get("step", 7000)),
                                     args.get("how", "close"))
        if kind == "cutclose":  # no length, no chunks: the body ends at the close (`how`=close) or a reset
            self.send_response(200)
            self.send_header("Connection", "close")
            self.end_headers()
            self.wfile.write(data[:int(args.get("after", len(data) // 2))])
            self.wfile.flush()
            time.sleep(0.5)  # the client reads what came before the end
            if args.get("how", "reset") == "reset":
                return self._reset()
            self.close_connection = True
            self.connection.shutdown(socket.SHUT_RDWR)
            return
        if kind == "length":  # Content-Length given as `value` (raw), then `send` bytes of the file
            value = urllib.parse.unquote(args.get("value", str(len(data))))
            send = int(args.get("send", len(data)))
            self.send_response(200)
            self.send_header("Content-Length", value)
            if "value2" in args:  # a second Content-Length header
                self.send_header("Content-Length", urllib.parse.unquote(args["value2"]))
            self.send_header("Connection", "close")
            self.end_headers()
            self.wfile.write(data[:send])
            self.wfile.flush()
            self.close_connection = True
            return
        if kind == "gzip":  # compresses only when the request invites it
            if "gzip" in self.headers.get("Accept-Encoding", ""):
                import gzip
                return self._send(200, gzip.compress(data), [("Content-Encoding", "gzip")])
            return self._send(200, data)
        return self._send(404, b"<html>unknown</html>")


class HostileServer:
    """Our own server for the answers nginx will not give; /<behaviour>/<file under root>."""

    def __init__(self, root):
        self.root = Path(root)
        self.requests = []
        self.lock = threading.Lock()
        self.release = threading.Event()  # the server is ending: stop every slow answer
        self.unstall = threading.Event()  # stalled answers send the rest of their file
        self.stalled = 0      # answers that reached their stall
        self.hangups = 0      # stalled or paced answers whose client closed the connection
        self.connections = 0  # connections open now
        self.version = 1  # of the /versioned/ file
        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), _Handler)
        self.httpd.daemon_threads = True
        self.httpd.owner = self
        self.port = self.httpd.server_address[1]
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.thread.start()

    def url(self, kind, name="", **args):
        query = "&".join(f"{k}={v}" for k, v in args.items())
        return f"http://127.0.0.1:{self.port}/{kind}/{name}" + (f"?{query}" if query else "")

    def stop(self):
        self.release.set()
        self.unstall.set()
        self.httpd.shutdown()
        self.httpd.server_close()
