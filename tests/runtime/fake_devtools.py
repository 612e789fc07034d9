#!/usr/bin/python3
"""A DevTools endpoint that misbehaves, for the runtime's robustness tests.

Usage: fake_devtools.py <port-file> <scenario>. Writes the chosen port to the
file, accepts one WebSocket connection on /devtools/browser/fake, answers the
calls the runtime makes to set up a page, and on Page.navigate plays the
scenario:
  garbage    malformed, mistyped and unknown messages, then a valid load
  disorder   replies and events out of order and for unknown ids, then a
             valid load
  truncated  half a frame, then the connection closes
  oversized  a frame header announcing 2**40 bytes, connection kept open
  drop       the connection closes
  stream     screencast frames without pause until the connection ends
  hung       a valid load, then the engine answers nothing about closing
             (Page.close and Target.closeTarget go unanswered)
  mute-picture  a valid load and one screencast frame; the first
             Page.captureScreenshot goes unanswered, a later one is
             answered and the page's title becomes "picture-asked-again"
After the garbage and disorder scenarios a final marker follows: the page's
title becomes "end-of-scenario", so a test that waits for it has seen every
event before it.
Exits when the connection ends or after a minute.
"""
import base64
import hashlib
import json
import os
import socket
import struct
import sys
import threading

GUID = "258EAFA5-E914-47DA-95CA-C5AB0DC85B11"


def frame(payload, opcode=1):
    if isinstance(payload, str):
        payload = payload.encode("utf-8")
    n = len(payload)
    if n < 126:
        head = struct.pack(">BB", 0x80 | opcode, n)
    elif n < 65536:
        head = struct.pack(">BBH", 0x80 | opcode, 126, n)
    else:
        head = struct.pack(">BBQ", 0x80 | opcode, 127, n)
    return head + payload


class Peer:
    def __init__(self, conn):
        self.conn = conn
        self.buf = b""
        self.lock = threading.Lock()

    def need(self, n):
        while len(self.buf) < n:
            d = self.conn.recv(65536)
            if not d:
                raise EOFError
            self.buf += d

    def read(self):
        self.need(2)
        n = self.buf[1] & 0x7F
        off = 2
        if n == 126:
            self.need(4)
            n = struct.unpack(">H", self.buf[2:4])[0]
            off = 4
        elif n == 127:
            self.need(10)
            n = struct.unpack(">Q", self.buf[2:10])[0]
            off = 10
        opcode = self.buf[0] & 0x0F
        self.need(off + 4 + n)
        mask = self.buf[off:off + 4]
        data = bytes(b ^ mask[i % 4] for i, b in enumerate(self.buf[off + 4:off + 4 + n]))
        self.buf = self.buf[off + 4 + n:]
        return opcode, data

    def send_raw(self, data):
        with self.lock:
            self.conn.sendall(data)

    def send(self, obj):
        self.send_raw(frame(obj if isinstance(obj, str) else json.dumps(obj)))


# A 2x1 PNG: red, blue.
TINY_PNG = "iVBORw0KGgoAAAANSUhEUgAAAAIAAAABCAIAAAB7QOjdAAAADUlEQVR4nGP4zwAE/wEHAAH/4iOeWQAAAABJRU5ErkJggg=="


def end_marker(peer, title="end-of-scenario"):
    peer.send({"method": "Target.targetInfoChanged",
               "params": {"targetInfo": {"targetId": "T1", "type": "page", "title": title,
                                         "url": "http://fake/"}}})


def stream(peer):
    n = 0
    try:
        while True:
            n += 1
            peer.send({"method": "Page.screencastFrame", "sessionId": "S1",
                       "params": {"data": TINY_PNG, "sessionId": n, "metadata": {}}})
    except OSError:
        pass  # the runtime closed the connection: the stream ends


def valid_load(peer):
    peer.send({"method": "Page.frameNavigated", "sessionId": "S1",
               "params": {"frame": {"id": "T1", "url": "http://fake/", "loaderId": "L1"}}})
    peer.send({"method": "Page.lifecycleEvent", "sessionId": "S1",
               "params": {"frameId": "T1", "loaderId": "L1", "name": "load", "timestamp": 1}})


def garbage(peer):
    for text in ["not json", "{", "[1,2,3]", "null", '"text"', '{"id":"x","result":{}}', '{"method":5}',
                 '{"method":"Page.frameNavigated","sessionId":"S1","params":{}}',
                 '{"method":"Page.frameNavigated","sessionId":"S1","params":{"frame":"str"}}',
                 '{"method":"Page.frameNavigated","sessionId":"S1","params":{"frame":{"id":7,"url":[]}}}',
                 '{"method":"Page.lifecycleEvent","sessionId":"S1","params":{"name":5,"frameId":{}}}',
                 '{"method":"Page.lifecycleEvent","sessionId":"S1","params":[]}',
                 '{"method":"Runtime.executionContextCreated","sessionId":"S1","params":{}}',
                 '{"method":"Runtime.executionContextCreated","sessionId":"S1","params":{"context":{"auxData":3}}}',
                 '{"method":"Target.targetInfoChanged","params":{"targetInfo":[]}}',
                 '{"method":"Target.targetInfoChanged","params":{}}',
                 '{"method":"Target.targetCreated","params":{"targetInfo":{"type":"page","targetId":5}}}',
                 '{"method":"Target.targetCreated","params":{"targetInfo":{"type":"page","targetId":"P9",'
                 '"openerId":"T1","url":7}}}',
                 '{"method":"Page.windowOpen","sessionId":"S1","params":{"url":{},"windowName":[]}}',
                 '{"method":"Browser.downloadWillBegin","params":{"guid":3,"frameId":"T1"}}',
                 '{"method":"Browser.downloadProgress","params":{"guid":"nope","totalBytes":"many"}}',
                 '{"method":"Network.responseReceived","sessionId":"S1","params":{"response":"x"}}',
                 '{"method":"Network.loadingFailed","sessionId":"S1","params":{"type":"Document","requestId":[]}}',
                 '{"method":"Page.screencastFrame","sessionId":"S1","params":{"data":"!!!","sessionId":"x"}}',
                 '{"method":"Page.screencastFrame","sessionId":"S1","params":{"data":"' +
                 base64.b64encode(b"\xff\xd8\xff garbage jpeg").decode() + '","sessionId":1}}',
                 '{"method":"Page.frameNavigated","sessionId":7,"params":{}}',
                 '{"id":1e400}', '{"id":-5,"result":5}', '{"id":2147483648,"error":"x"}',
                 '{"method":"' + "A" * 100000 + '"}',
                 '\ud800'.encode("utf-8", "surrogatepass").decode("latin-1")]:
        peer.send(text)
    peer.send_raw(frame(b"\x00\x01binary", opcode=2))
    peer.send_raw(frame(b"ping", opcode=9))
    peer.send_raw(frame(b"", opcode=0xB))  # reserved opcode
    # A message in two fragments.
    msg = json.dumps({"method": "Page.frameStartedLoading", "sessionId": "S1", "params": {"frameId": "T1"}})
    peer.send_raw(struct.pack(">BB", 0x01, len(msg[:10])) + msg[:10].encode())
    peer.send_raw(struct.pack(">BB", 0x80, len(msg[10:])) + msg[10:].encode())
    valid_load(peer)


def disorder(peer, held):
    # A load event before the navigation it ends, events for a session and
    # a frame nobody has, and replies for calls never made or made twice.
    peer.send({"method": "Page.lifecycleEvent", "sessionId": "S1",
               "params": {"frameId": "T1", "loaderId": "L0", "name": "load"}})
    peer.send({"method": "Page.frameNavigated", "sessionId": "S404",
               "params": {"frame": {"id": "F404", "url": "http://elsewhere/"}}})
    peer.send({"method": "Page.frameDetached", "sessionId": "S1", "params": {"frameId": "T1"}})
    peer.send({"id": 999999, "result": {}})
    for msg in reversed(held):
        peer.send({"id": msg["id"], "result": {}})
        peer.send({"id": msg["id"], "result": {}})
    valid_load(peer)


REPLIES = {
    "Target.createTarget": {"targetId": "T1"},
    "Target.attachToTarget": {"sessionId": "S1"},
    "Page.getFrameTree": {"frameTree": {"frame": {"id": "T1", "url": "about:blank", "loaderId": "L0"}}},
    "Page.getNavigationHistory": {"currentIndex": 0, "entries": [{"id": 1, "url": "http://fake/"}]},
    "Runtime.evaluate": {"result": {"type": "undefined"}},
    "Target.getTargets": {"targetInfos": []},
}


def serve(conn, scenario):
    req = b""
    while b"\r\n\r\n" not in req:
        d = conn.recv(4096)
        if not d:
            return
        req += d
    key = ""
    for line in req.decode("latin-1").split("\r\n"):
        if line.lower().startswith("sec-websocket-key:"):
            key = line.split(":", 1)[1].strip()
    accept = base64.b64encode(hashlib.sha1((key + GUID).encode()).digest()).decode()
    conn.sendall(("HTTP/1.1 101 Switching Protocols\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                  "Sec-WebSocket-Accept: %s\r\n\r\n" % accept).encode())
    peer = Peer(conn)
    navigated = False
    held = []
    pictures_asked = 0
    while True:
        opcode, data = peer.read()
        if opcode == 8:
            return
        if opcode != 1:
            continue
        msg = json.loads(data)
        method = msg.get("method", "")
        if method == "Browser.close":
            peer.send({"id": msg["id"], "result": {}})
            return
        if scenario == "disorder" and method in ("Network.enable", "Runtime.enable") and not navigated:
            held.append(msg)  # answered later, in reverse order
            continue
        if scenario == "hung" and method in ("Page.close", "Target.closeTarget"):
            continue
        if scenario == "mute-picture" and method == "Page.captureScreenshot":
            pictures_asked += 1
            if pictures_asked == 1:
                continue
            peer.send({"id": msg["id"], "sessionId": "S1", "result": {"data": TINY_PNG}})
            end_marker(peer, "picture-asked-again")
            continue
        reply = {"id": msg["id"], "result": REPLIES.get(method, {})}
        if "sessionId" in msg:
            reply["sessionId"] = msg["sessionId"]
        if method != "Page.navigate" or navigated:
            peer.send(reply)
            continue
        navigated = True
        peer.send(reply)
        if scenario == "garbage":
            garbage(peer)
            end_marker(peer)
        elif scenario == "disorder":
            disorder(peer, held)
            end_marker(peer)
        elif scenario == "hung":
            valid_load(peer)
        elif scenario == "mute-picture":
            valid_load(peer)
            peer.send({"method": "Page.screencastFrame", "sessionId": "S1",
                       "params": {"data": TINY_PNG, "sessionId": 1, "metadata": {}}})
        elif scenario == "stream":
            valid_load(peer)
            threading.Thread(target=stream, args=(peer,), daemon=True).start()
        elif scenario == "truncated":
            peer.send_raw(struct.pack(">BBH", 0x81, 126, 1000) + b"0123456789")
            return
        elif scenario == "oversized":
            peer.send_raw(struct.pack(">BBQ", 0x81, 127, 2 ** 40) + b"{" * 100)
        elif scenario == "drop":
            return


def main():
    server = socket.socket()
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind(("127.0.0.1", 0))
    server.listen(1)
    server.settimeout(60)
    with open(sys.argv[1] + ".tmp", "w") as f:
        f.write(str(server.getsockname()[1]))
    os.replace(sys.argv[1] + ".tmp", sys.argv[1])
    try:
        conn, _ = server.accept()
    except socket.timeout:
        return
    conn.settimeout(60)
    try:
        serve(conn, sys.argv[2])
    except (EOFError, OSError, socket.timeout):
        pass
    finally:
        conn.close()


if __name__ == "__main__":
    main()
