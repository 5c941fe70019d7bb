#!/usr/bin/env python3
"""Serves a generated riddle site over HTTP, for the demo and the tests.

    python3 site/serve.py --folder DIR --port N [--bind 127.0.0.1] [--verbose]

Prints "serving DIR at http://HOST:PORT/" once listening (with --port 0 the port is a free one
chosen by the system), logs requests only with --verbose, and ends cleanly on SIGTERM or Ctrl-C.
"""
import argparse
import functools
import http.server
import pathlib
import signal
import sys


class SiteHandler(http.server.SimpleHTTPRequestHandler):
    """Serves the folder's files as they are; the riddle pages go out as text/html."""

    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".htm": "text/html", ".html": "text/html", ".tsv": "text/plain"}
    verbose = False

    def log_message(self, format, *args):
        if self.verbose:
            super().log_message(format, *args)


def stop_on_signal(signum, frame):
    """Turns SIGTERM into a normal exit, so the server socket is closed on the way out."""
    raise SystemExit(0)


def main(argv=None):
    parser = argparse.ArgumentParser(description="Serve the riddle site on loopback.")
    parser.add_argument("--folder", required=True, help="folder written by generate_pages.py")
    parser.add_argument("--port", type=int, required=True, help="port to listen on; 0 picks a free one")
    parser.add_argument("--bind", default="127.0.0.1", help="address to listen on (default 127.0.0.1)")
    parser.add_argument("--verbose", action="store_true", help="log every request on stderr")
    arguments = parser.parse_args(argv)
    if not pathlib.Path(arguments.folder).is_dir():
        print(f"no such folder: {arguments.folder}", file=sys.stderr)
        return 2
    SiteHandler.verbose = arguments.verbose
    handler = functools.partial(SiteHandler, directory=arguments.folder)
    try:
        server = http.server.ThreadingHTTPServer((arguments.bind, arguments.port), handler)
    except OSError as error:
        print(f"cannot listen on {arguments.bind}:{arguments.port}: {error}", file=sys.stderr)
        return 1
    server.daemon_threads = True
    signal.signal(signal.SIGTERM, stop_on_signal)
    host, port = server.server_address[:2]
    print(f"serving {arguments.folder} at http://{host}:{port}/", flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    finally:
        server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
