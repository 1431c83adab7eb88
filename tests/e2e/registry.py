# Stand-in web registry for the end-to-end tests: a small local HTTP server
# that serves text files, answers "dns.php" posts from a queue and records every request.
import argparse
import http.server
import os
import socketserver
import sys
import threading
import time


def _as_bytes(data):
    # The programs speak Windows-1250; tests write Croatian text as str.
    return data.encode("cp1250") if isinstance(data, str) else bytes(data)


class _Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True
    registry = None


class _Handler(http.server.BaseHTTPRequestHandler):
    # HTTP/1.0 answers: one request per connection, the connection closes.
    protocol_version = "HTTP/1.0"
    server_version = "VXRegistry/1"

    def log_message(self, fmt, *args):
        pass

    def _body(self):
        length = int(self.headers.get("Content-Length") or 0)
        return self.rfile.read(length) if length > 0 else b""

    def _hold_silent(self):
        # Time-out tests: the request is read but never answered.
        self.server.registry._stopping.wait()
        self.close_connection = True

    def _reply(self, status, body, content_type="text/plain"):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Connection", "close")
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)

    def _handle(self):
        reg = self.server.registry
        body = self._body()
        reg._record(self.command, self.path, body, dict(self.headers))
        if reg.silent:
            self._hold_silent()
            return
        path = self.path.split("?", 1)[0]
        if self.command == "POST":
            if path.endswith("dns.php"):
                self._reply(200, reg._next_reply())
            else:
                self._reply(404, b"")
            return
        held = reg._held(path)
        if held is not False and reg._stopping.wait(held):
            self.close_connection = True  # held until the test ended: never answered
            return
        data = reg._lookup(path)
        if data is None:
            self._reply(404, b"<html><body>404 Not Found</body></html>", "text/html")
        else:
            self._reply(200, data)

    do_GET = _handle
    do_POST = _handle
    do_HEAD = _handle


class Registry:
    """A local web registry. Files live under root_dir; the base path is
    "/dns/" (or "/" for the relay's files)."""

    def __init__(self, root_dir, host="127.0.0.1", port=0, base_path="/dns/", silent=False, on_request=None):
        if not base_path.startswith("/") or not base_path.endswith("/"):
            raise ValueError("base_path must start and end with '/'")
        self.root_dir = os.path.abspath(root_dir)
        os.makedirs(self.root_dir, exist_ok=True)
        self.host = host
        self.base_path = base_path
        self.silent = silent
        self.on_request = on_request  # called with (method, path, body) as each request arrives
        self._requested_port = port
        self._server = None
        self._thread = None
        self._lock = threading.Condition()
        self._requests = []
        self._headers = []
        self._replies = []
        self._holds = {}
        self._stopping = threading.Event()

    # --- life cycle ---
    def start(self):
        self._stopping.clear()
        self._server = _Server((self.host, self._requested_port), _Handler)
        self._server.registry = self
        self._thread = threading.Thread(target=self._server.serve_forever,
                                        kwargs={"poll_interval": 0.05}, daemon=True)
        self._thread.start()
        return self

    def stop(self):
        if self._server is None:
            return
        self._stopping.set()  # releases silent handlers
        self._server.shutdown()
        self._server.server_close()
        self._thread.join(5)
        self._server = None

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()

    @property
    def port(self):
        return self._server.server_address[1]

    @property
    def base_url(self):
        return "http://%s:%d%s" % (self.host, self.port, self.base_path)

    # --- content ---
    def set_file(self, name, data):
        path = self._file_path(name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(_as_bytes(data))
        return path

    def remove_file(self, name):
        try:
            os.remove(self._file_path(name))
        except FileNotFoundError:
            pass

    def hold(self, name, seconds=None):
        """Answers a GET of that file only after the given seconds; None: not
        before the registry stops (never, as the program sees it)."""
        with self._lock:
            self._holds[self.base_path + name.lstrip("/")] = seconds

    def _held(self, url_path):
        # The seconds a file's answer waits (None: until the end); False: not held.
        with self._lock:
            return self._holds.get(url_path, False)

    def queue_reply(self, data):
        with self._lock:
            self._replies.append(_as_bytes(data))

    def _file_path(self, name):
        path = os.path.normpath(os.path.join(self.root_dir, name.lstrip("/")))
        if not path.startswith(self.root_dir + os.sep):
            raise ValueError("file name leaves the root: %r" % name)
        return path

    def _lookup(self, url_path):
        if not url_path.startswith(self.base_path):
            return None
        name = url_path[len(self.base_path):]
        try:
            path = self._file_path(name)
        except ValueError:
            return None
        if not os.path.isfile(path):
            return None
        with open(path, "rb") as f:
            return f.read()

    def _next_reply(self):
        with self._lock:
            return self._replies.pop(0) if self._replies else b""

    # --- what arrived ---
    def _record(self, method, path, body, headers):
        with self._lock:
            self._requests.append((method, path, body))
            self._headers.append(headers)
            self._lock.notify_all()
        if self.on_request:
            self.on_request(method, path, body)

    def requests(self):
        with self._lock:
            return list(self._requests)

    def request_headers(self):
        with self._lock:
            return list(self._headers)

    def clear_requests(self):
        with self._lock:
            self._requests.clear()
            self._headers.clear()

    def wait_requests(self, n, timeout=10.0):
        """Waits until at least n requests have arrived; returns them all
        (fewer when the time ran out)."""
        deadline = time.monotonic() + timeout
        with self._lock:
            while len(self._requests) < n:
                left = deadline - time.monotonic()
                if left <= 0:
                    break
                self._lock.wait(left)
            return list(self._requests)


def main(argv=None):
    p = argparse.ArgumentParser(description="Stand-in web registry")
    p.add_argument("--root", required=True)
    p.add_argument("--port", type=int, default=0)
    p.add_argument("--host", default="127.0.0.1")
    p.add_argument("--base", default="/dns/")
    p.add_argument("--silent", action="store_true")
    p.add_argument("--log", help="append one line per request to this file")
    args = p.parse_args(argv)

    def log(method, path, body):
        with open(args.log, "a", encoding="utf-8") as f:
            f.write("%s %s %s\n" % (method, path, body.decode("cp1250", "replace")))

    reg = Registry(args.root, host=args.host, port=args.port, base_path=args.base,
                   silent=args.silent, on_request=log if args.log else None).start()
    print(reg.port, flush=True)
    try:
        while True:
            time.sleep(3600)
    except KeyboardInterrupt:
        pass
    finally:
        reg.stop()


if __name__ == "__main__":
    sys.exit(main())
