#!/usr/bin/env python3
"""Serves the browser build's folder on a local port: .wasm as application/wasm (browsers
compile it only with that type) and nothing cached, so a rebuilt game is what the page loads.
Usage: serve.py FOLDER [PORT] [HOST]   (PORT 0 picks a free one; the chosen URL is printed)"""
import functools
import http.server
import sys


class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {
        **http.server.SimpleHTTPRequestHandler.extensions_map,
        ".wasm": "application/wasm",
        ".data": "application/octet-stream",
        ".js": "text/javascript",
    }

    def end_headers(self):
        self.send_header("Cache-Control", "no-cache")
        super().end_headers()

    def log_message(self, *args):
        if "-v" in sys.argv:
            super().log_message(*args)


def main():
    folder = sys.argv[1]
    port = int(sys.argv[2]) if len(sys.argv) > 2 else 8080
    host = sys.argv[3] if len(sys.argv) > 3 else "127.0.0.1"
    server = http.server.ThreadingHTTPServer((host, port), functools.partial(Handler, directory=folder))
    print(f"http://{host}:{server.server_address[1]}/", flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()
