#!/usr/bin/python3
"""Pages for the browser runtime's tests, served on a free loopback port.

Usage: page_server.py <port-file>. Writes the chosen port to the file, then
serves until GET /quit or until it has been idle for a minute, so it stops
even when the test that started it dies.
"""
import http.server
import sys
import threading
import time

import loopback_server

beacons = []
last_request = [time.time()]

PAGES = {
    "/title": (200, "<html><head><title>Hello Runtime</title></head><body>hello</body></html>"),
    "/missing": (404, "<html><head><title>Not here</title></head><body>404</body></html>"),
    "/iframe": (200, "<html><head><title>Outer</title></head><body>"
                     "<iframe src='/title' width=200 height=100></iframe></body></html>"),
    "/size": (200, "<html><head><title>w?</title></head><body><script>"
                   "function u(){document.title='w'+innerWidth+'h'+innerHeight}"
                   "onresize=u;u()</script></body></html>"),
    "/link": (200, "<html><head><title>Link</title><style>body{margin:0}a{display:block;"
                   "width:100vw;height:100vh;background:#00f}</style></head>"
                   "<body><a href='/title'>go</a></body></html>"),
    "/input": (200, "<html><head><title>input</title><style>body{margin:0}input{width:100vw;"
                    "height:100vh;font-size:40px}</style></head><body><input id=i autofocus "
                    "oninput=\"document.title='v:'+this.value\"></body></html>"),
    "/unload": (200, "<html><head><title>unload</title></head><body><script>"
                     "addEventListener('unload',function(){navigator.sendBeacon('/beacon','bye')});"
                     "</script></body></html>"),
    "/cookie-get": (200, "<html><head><title>c?</title></head><body><script>"
                         "document.title='cookie:'+document.cookie</script></body></html>"),
    # Each press swaps the whole page between green and red.
    "/clickcolour": (200, "<html><head><title>click</title><style>html,body{margin:0;height:100%;"
                          "background:#00ff00}</style></head><body onmousedown=\"window.k=!window.k;"
                          "document.documentElement.style.background=document.body.style.background="
                          "k?'#ff0000':'#00ff00'\"></body></html>"),
    # Bands 150 px high: a link, a line of text, a crosshair area, nothing.
    "/cursor": (200, "<html><head><title>cursor</title><style>body{margin:0;font:40px sans-serif}"
                     "a,p,div{display:block;margin:0;height:150px}a{background:#ccf}"
                     "#c{cursor:crosshair}</style></head><body><a href='/title'>link</a>"
                     "<p>text text</p><div id=c></div><div></div></body></html>"),
    # Thin coloured text, Chinese and a gradient: what JPEG blurs most.
    "/colours": (200, "<html><head><meta charset=utf-8><title>colours</title><style>body{margin:8px;"
                      "font:13px sans-serif;background:linear-gradient(90deg,#fff,#eef)}"
                      "a{color:#e00}.g{color:#080}.b{color:#00c}</style></head><body>"
                      "<p><a href='/title'>red link</a> <span class=g>green text</span> <span class=b>blue</span></p>"
                      "<p>\u77ed\u7f51\u5740\u751f\u6210 \u8054\u7cfb\u6211\u4eec"
                      " <a href='/title'>\u6570\u636e\u7edf\u8ba1</a></p>"
                      "<p style='font-size:9px'>small print 1234567890 \u5c0f\u5b57</p>"
                      "<p><span style='color:#f0f;font-weight:bold'>magenta</span></p></body></html>"),
    # A fragment target and room to scroll to it.
    "/fragment": (200, "<html><head><title>fragment</title></head><body>"
                       "<a id=go href='#part2'>down</a><div style='height:3000px'></div>"
                       "<h2 id=part2>part 2</h2></body></html>"),
    # Its sizes and density in the title; a box at CSS (100,100)-(150,150)
    # that counts the presses on it and tells one beside it; and a small
    # counter that changes every 700 ms.
    "/density": (200, "<html><head><title>d?</title><style>body{margin:0;height:100vh;font:14px sans-serif}"
                      "#box{position:absolute;left:100px;top:100px;width:50px;height:50px;background:#ccc}"
                      "#n{position:absolute;left:300px;top:10px}</style></head>"
                      "<body onmousedown=\"document.title='miss'\"><div id=box "
                      "onmousedown=\"event.stopPropagation();document.title='hit'+(window.hits=(window.hits||0)+1)\"></div>"
                      "<span id=n>0</span><script>"
                      "document.title='w'+innerWidth+'h'+innerHeight+'d'+devicePixelRatio;var k=0;"
                      "var counting=setInterval(function(){document.getElementById('n').textContent=++k%10},700)"
                      "</script></body></html>"),
    "/anim": (200, "<html><head><title>anim</title><style>@keyframes k{from{transform:translateX(0)}"
                   "to{transform:translateX(400px)}}div{width:100px;height:100px;background:#f00;"
                   "animation:k 1s linear infinite}</style></head><body><div></div></body></html>"),
}


class Handler(http.server.BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def reply(self, status, body, extra=()):
        data = body.encode("utf-8")
        self.send_response(status)
        self.send_header("Content-Type", "text/html; charset=utf-8")
        self.send_header("Content-Length", str(len(data)))
        self.send_header("Cache-Control", "no-store")
        for k, v in extra:
            self.send_header(k, v)
        self.end_headers()
        self.wfile.write(data)

    def do_GET(self):
        last_request[0] = time.time()
        path = self.path.split("?")[0]
        if path == "/quit":
            self.reply(200, "bye")
            threading.Thread(target=self.server.shutdown).start()
        elif path == "/beacons":
            self.reply(200, str(len(beacons)))
        elif path.startswith("/solid/"):
            colour = path[len("/solid/"):][:6]
            self.reply(200, "<html><head><title>solid</title></head><body style='margin:0;"
                            "background:#%s'></body></html>" % colour)
        elif path == "/cookie-set":
            self.reply(200, "<html><head><title>set</title></head><body>set</body></html>",
                       [("Set-Cookie", "vxrt=kept; Max-Age=3600; Path=/")])
        elif path in PAGES:
            status, body = PAGES[path]
            self.reply(status, body)
        else:
            self.reply(404, "<html><head><title>unknown</title></head></html>")

    def do_POST(self):
        last_request[0] = time.time()
        length = int(self.headers.get("Content-Length", "0") or 0)
        self.rfile.read(min(length, 65536))
        if self.path.split("?")[0] == "/beacon":
            beacons.append(1)
        self.reply(200, "ok")


def main():
    loopback_server.serve(Handler, sys.argv[1], last_request)


if __name__ == "__main__":
    main()
