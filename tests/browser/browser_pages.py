#!/usr/bin/python3
"""Pages for the browser host's tests, served on a free loopback port: the
runtime tests' context-menu, pop-up and download pages, plus frames, a page
that never answers, and downloads with hostile or empty contents.

Usage: browser_pages.py <port-file>. Writes the chosen port to the file, then
serves until GET /quit or until it has been idle for a minute.
"""
import os
import sys
import time
import urllib.parse

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "runtime"))
import loopback_server  # noqa: E402
import shell_pages  # noqa: E402

FRAMES = ("<html><head><title>frames</title></head><body>"
          "<iframe src='/inner' width=200 height=100></iframe>"
          "<iframe src='http://127.0.0.1:1/' width=200 height=100></iframe></body></html>")


class Handler(shell_pages.Handler):
    def do_GET(self):
        shell_pages.last_request[0] = time.time()
        path, _, query = self.path.partition("?")
        if path == "/frames":
            self.reply(200, FRAMES)
        elif path == "/hang":
            # Answers late, so that a test can stop or replace the load.
            time.sleep(20)
            self.reply(200, "late")
        elif path.startswith("/solid/"):
            colour = "".join(c for c in path[len("/solid/"):] if c in "0123456789abcdef")[:6]
            self.reply(200, "<html><head><title>solid</title></head>"
                            "<body style='margin:0;background:#%s'></body></html>" % colour)
        elif path == "/named":
            # A download whose suggested name is whatever ?n= says.
            name = urllib.parse.unquote(query.partition("n=")[2])
            size = 0 if name.startswith("empty") else 1000
            quoted = urllib.parse.quote(name, safe="")
            self.reply(200, b"v" * size, "application/octet-stream",
                       [("Content-Disposition", "attachment; filename*=UTF-8''" + quoted)])
        else:
            super().do_GET()


def main():
    loopback_server.serve(Handler, sys.argv[1], shell_pages.last_request, quiet_errors=True)


if __name__ == "__main__":
    main()
