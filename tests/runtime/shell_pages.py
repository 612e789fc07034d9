#!/usr/bin/python3
"""Pages for the tests of the context menu, pop-ups and downloads, served on
a free loopback port.

Usage: shell_pages.py <port-file>. Writes the chosen port to the file, then
serves until GET /quit or until it has been idle for a minute.
"""
import http.server
import struct
import sys
import threading
import time
import zlib

import loopback_server

last_request = [time.time()]
counts = {}


def png(width, height, rgb):
    raw = b"".join(b"\0" + bytes(rgb) * width for _ in range(height))

    def chunk(kind, data):
        c = struct.pack(">I", len(data)) + kind + data
        return c + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


# Known bytes of the download: every value 0..250, so a shifted or
# truncated copy shows.
DOWNLOAD = bytes(i % 251 for i in range(300000))

# Regions at fixed places, so a test knows what lies under a point:
#   (0,0)-(200,100) link, (0,100)-(200,200) image, (0,200)-(200,300) image
#   in a link, (300,0)-(600,100) text, (300,150)-(600,210) text field,
#   everything right of x=620 or below y=320 plain page.
CONTEXT = """<html><head><title>ctx</title><style>
body{margin:0;font:20px sans-serif}*{position:absolute;margin:0;padding:0;border:0}
#lnk{left:0;top:0;width:200px;height:100px;background:#00f;color:#fff}
#img{left:0;top:100px;width:200px;height:100px}
#imglnk{left:0;top:200px;width:200px;height:100px}#imglnk img{left:0;top:0;width:200px;height:100px}
#txt{left:300px;top:0;width:300px;height:100px}
#fld{left:300px;top:150px;width:300px;height:60px;font-size:20px}
</style></head><body>
<a id=lnk href="/target">link</a><img id=img src="/pic.png">
<a id=imglnk href="/imgtarget"><img src="/pic2.png"></a>
<p id=txt>Select me please</p><input id=fld value="field text">
</body></html>"""

POPUPS = """<html><head><title>popups</title><style>
body{margin:0}*{position:absolute;margin:0;padding:0;border:0}
#open{left:0;top:0;width:200px;height:100px;background:#0f0}
#blank{left:0;top:100px;width:200px;height:100px;background:#00f}
#plain{left:0;top:200px;width:200px;height:100px;background:#f00}
</style></head><body>
<div id=open onclick="window.open('/opened','winname')">open</div>
<a id=blank href="/blanktarget" target="_blank">blank</a>
<a id=plain href="/plaintarget">plain</a>
</body></html>"""


class Handler(http.server.BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def reply(self, status, body, ctype="text/html; charset=utf-8", extra=()):
        data = body if isinstance(body, bytes) else body.encode("utf-8")
        self.send_response(status)
        self.send_header("Content-Type", ctype)
        self.send_header("Content-Length", str(len(data)))
        self.send_header("Cache-Control", "no-store")
        for k, v in extra:
            self.send_header(k, v)
        self.end_headers()
        self.wfile.write(data)

    def do_GET(self):
        last_request[0] = time.time()
        path = self.path.split("?")[0]
        counts[path] = counts.get(path, 0) + 1
        if path == "/quit":
            self.reply(200, "bye")
            threading.Thread(target=self.server.shutdown).start()
        elif path == "/count":
            self.reply(200, str(counts.get(self.path.split("?", 1)[1], 0)), "text/plain")
        elif path.startswith("/ctx"):
            self.reply(200, CONTEXT)
        elif path == "/popups":
            self.reply(200, POPUPS)
        elif path in ("/pic.png", "/pic2.png"):
            self.reply(200, png(4, 4, (200, 40, 40)), "image/png")
        elif path == "/data.bin":
            self.reply(200, DOWNLOAD, "application/x-vornex-test",
                       [("Content-Disposition", 'attachment; filename="data.bin"')])
        else:
            title = path.strip("/") or "root"
            self.reply(200, "<html><head><title>%s</title></head><body>%s</body></html>" % (title, title))


def main():
    loopback_server.serve(Handler, sys.argv[1], last_request, quiet_errors=True)


if __name__ == "__main__":
    main()
