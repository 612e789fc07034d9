"""The promotion feed "/api.dat", built from the service's editable XML file.

The file (UTF-8, edited by hand) has the shape the client walks:

    <config>
      <StaticAd> <ad text="..." url="..."/> ... </StaticAd>
      <ScrollAd>
        <item> <ad text="..." url="..."/> ... </item>   (first scrolling button)
        <item> ... </item>                              (second)
        <item> ... </item>                              (third)
      </ScrollAd>
    </config>

The client reads the document in the system's ANSI code page (GBK on Chinese
Windows) and only elements and attributes, so the file is not sent as it is:
it is checked, then written out again with just those elements, attribute
values escaped, and every character the code page cannot hold written as a
numeric reference (a character outside the BMP as its two UTF-16 halves, since
each reference becomes one UTF-16 unit on the client). The bytes are packed
as the client's transport format: blocks of at most 10,240 bytes, each a
signed little-endian length word and one zlib stream, then a zero word.

The file is read again when its modification time or size changes; an edit
that breaks it keeps the last good feed in service and is reported once.
"""

import os
import struct
import sys
import threading
import xml.etree.ElementTree as ElementTree
import zlib

INFLATED_BLOCK_MAX = 10240
COMPRESSED_BLOCK_MAX = 11264
MAX_FEED_FILE_BYTES = 1024 * 1024
SCROLL_BUTTONS = 3


class FeedError(Exception):
    """The feed file cannot be used; str() names the file and the fault."""


def read_feed_file(path):
    """Returns (static ads, [three lists of scrolling ads]) as (text, url) pairs."""
    try:
        with open(path, "rb") as f:
            data = f.read(MAX_FEED_FILE_BYTES + 1)
    except OSError as error:
        raise FeedError("cannot read the feed file %s: %s" % (path, error.strerror)) from None
    if len(data) > MAX_FEED_FILE_BYTES:
        raise FeedError("the feed file %s is larger than %d bytes" % (path, MAX_FEED_FILE_BYTES))
    try:
        root = ElementTree.fromstring(data)
    except ElementTree.ParseError as error:
        raise FeedError("the feed file %s is not well-formed XML: %s" % (path, error)) from None
    if root.tag != "config":
        raise FeedError("the feed file %s must have <config> as its root element, not <%s>" % (path, root.tag))

    def ads(parent):
        return [(ad.get("text", ""), ad.get("url", "")) for ad in parent.findall("ad")]

    static_parent = root.find("StaticAd")
    static_ads = ads(static_parent) if static_parent is not None else []
    scroll_parent = root.find("ScrollAd")
    items = scroll_parent.findall("item") if scroll_parent is not None else []
    if len(items) > SCROLL_BUTTONS:
        raise FeedError("the feed file %s has %d <item> elements in <ScrollAd>; the client shows only %d"
                        % (path, len(items), SCROLL_BUTTONS))
    scroll_ads = [ads(item) for item in items] + [[] for _ in range(SCROLL_BUTTONS - len(items))]
    return static_ads, scroll_ads


def _attribute_value(text, codec):
    out = []
    for ch in text:
        if ch == "&":
            out.append("&amp;")
        elif ch == "<":
            out.append("&lt;")
        elif ch == ">":
            out.append("&gt;")
        elif ch == '"':
            out.append("&quot;")
        elif ch < " ":
            out.append("&#%d;" % ord(ch))  # tab and line breaks survive as written
        else:
            try:
                ch.encode(codec)
                out.append(ch)
            except UnicodeEncodeError:
                code = ord(ch)
                if code > 0xFFFF:
                    code -= 0x10000
                    out.append("&#%d;&#%d;" % (0xD800 + (code >> 10), 0xDC00 + (code & 0x3FF)))
                else:
                    out.append("&#%d;" % code)
    return "".join(out)


def render_document(static_ads, scroll_ads, codec):
    """The feed document as text that `codec` can encode without loss."""

    def ad_lines(ads, indent):
        return ['%s<ad text="%s" url="%s"/>' % (indent, _attribute_value(text, codec), _attribute_value(url, codec))
                for text, url in ads]

    lines = ['<?xml version="1.0" encoding="%s"?>' % codec, "<config>", "  <StaticAd>"]
    lines += ad_lines(static_ads, "    ")
    lines += ["  </StaticAd>", "  <ScrollAd>"]
    for ads in scroll_ads:
        lines += ["    <item>"] + ad_lines(ads, "      ") + ["    </item>"]
    lines += ["  </ScrollAd>", "</config>", ""]
    return "\r\n".join(lines)


def pack_blocks(data):
    """The client's transport format for `data`."""
    out = bytearray()
    for start in range(0, len(data), INFLATED_BLOCK_MAX):
        packed = zlib.compress(data[start:start + INFLATED_BLOCK_MAX], 9)
        assert len(packed) <= COMPRESSED_BLOCK_MAX  # deflate adds at most a few bytes per 16 KB
        out += struct.pack("<i", len(packed)) + packed
    out += struct.pack("<i", 0)
    return bytes(out)


def build_feed_body(static_ads, scroll_ads, codec="gbk"):
    return pack_blocks(render_document(static_ads, scroll_ads, codec).encode(codec))


class FeedSource:
    """Serves the packed feed of one file, rebuilt when the file changes."""

    def __init__(self, path, codec="gbk", log=None):
        self.path = path
        self.codec = codec
        self._log = log or (lambda message: print(message, file=sys.stderr, flush=True))
        self._lock = threading.Lock()
        self._stamp = None
        self._body = None
        self._reported_stamp = None
        self.body()  # a broken file at start-up is an error the operator sees at once

    def _file_stamp(self):
        try:
            info = os.stat(self.path)
            return (info.st_mtime_ns, info.st_size, info.st_ino)
        except OSError:
            return None

    def body(self):
        """The packed feed; raises FeedError only when no good version exists."""
        stamp = self._file_stamp()
        with self._lock:
            if self._body is not None and stamp == self._stamp:
                return self._body
            try:
                body = build_feed_body(*read_feed_file(self.path), codec=self.codec)
            except FeedError as error:
                if self._body is None:
                    raise
                if stamp != self._reported_stamp:
                    self._reported_stamp = stamp
                    self._log("feed: %s; still serving the previous version" % error)
                return self._body
            self._body, self._stamp = body, stamp
            return body
