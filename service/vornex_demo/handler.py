"""HTTP routes of the service.

  GET  /                 start page (the client's start page and home page)
  POST /shorten          the start page's form; 303 back to the start page
  GET  /contact          contact page
  GET  /api.dat          promotion feed in the client's transport format
  GET  /api/links        recent links as JSON (?limit=1..200)
  POST /api/links        {"url": ...} -> 201 and the new link as JSON
  GET  /api/links/<code> one link as JSON
  GET  /static/<file>    style sheet, script, icon
  GET  /<code>           302 to the long address, counting the visit
"""

import http.server
import json
import re
import sys
import traceback
import urllib.parse

from . import pages
from .addresses import AddressError, normalise_address
from .bodies import BodyError, declared_length, media_type, parse_form, parse_json_object
from .feed import FeedError
from .store import StoreError

_VALID_HOST = re.compile(r"^(?:[A-Za-z0-9.-]{1,253}|\[[0-9A-Fa-f:.]{2,45}\])(?::[0-9]{1,5})?$")
_LOG_UNSAFE = re.compile(r"[\x00-\x1f\x7f-\x9f]")
_HTML_SECURITY = {
    "Content-Security-Policy": "default-src 'none'; style-src 'self'; script-src 'self'; img-src 'self' data:; "
                               "form-action 'self'; base-uri 'none'; frame-ancestors 'none'",
    "X-Content-Type-Options": "nosniff",
    "Referrer-Policy": "no-referrer",
}


class ServiceHandler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    # Requests without a version (HTTP/0.9) would be answered without a
    # status line; every answer here has one.
    default_request_version = "HTTP/1.0"
    server_version = "VornexDemo/1.0"
    timeout = 30  # an idle or stalled connection gives its worker back
    # Head and body go out in separate writes; with Nagle's algorithm the
    # body would wait for the client's delayed acknowledgement (40 ms).
    disable_nagle_algorithm = True
    error_content_type = "text/html; charset=utf-8"

    # --- plumbing -----------------------------------------------------------

    def version_string(self):
        return self.server_version

    def log_message(self, format, *args):
        if not self.server.quiet:
            # The request line is the client's text: control characters in it
            # must not forge lines or terminal sequences in the log.
            line = _LOG_UNSAFE.sub(lambda m: "\\x%02x" % ord(m.group()), format % args)
            sys.stderr.write("%s %s\n" % (self.address_string(), line))

    def send_error(self, code, message=None, explain=None):
        # Used by the base class for malformed request lines, over-long lines
        # and headers, and unknown methods: answer with our own page.
        self.close_connection = True
        text = {400: "请求格式无效。", 414: "请求地址过长。", 431: "请求头过大。", 501: "不支持这种请求方法。"}
        self._send_page(code, pages.message_page(code, "请求无法处理", text.get(code, message or "请求无法处理。")))

    def _send(self, status, body, content_type, headers=None):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        for name, value in (headers or {}).items():
            self.send_header(name, value)
        if self.close_connection:
            self.send_header("Connection", "close")
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)

    def _send_page(self, status, page, headers=None):
        all_headers = dict(_HTML_SECURITY, **{"Cache-Control": "no-store"})
        all_headers.update(headers or {})
        self._send(status, page.encode("utf-8"), "text/html; charset=utf-8", all_headers)

    def _send_json(self, status, value, headers=None):
        body = json.dumps(value, ensure_ascii=False, separators=(",", ":")).encode("utf-8")
        all_headers = {"Cache-Control": "no-store", "X-Content-Type-Options": "nosniff"}
        all_headers.update(headers or {})
        self._send(status, body, "application/json; charset=utf-8", all_headers)

    def _redirect(self, status, location):
        self._send(status, b"", "text/plain; charset=utf-8",
                   {"Location": location, "Cache-Control": "no-store", "Referrer-Policy": "no-referrer"})

    def _base_url(self):
        host = self.headers.get("Host", "")
        if not _VALID_HOST.match(host):
            host = self.server.public_host
        return "http://%s/" % host

    def _read_body(self):
        length = declared_length(self.headers)
        body = self.rfile.read(length)
        if len(body) != length:
            self.close_connection = True
            raise BodyError(400, "请求内容不完整。")
        return body

    def _run(self, route):
        try:
            route()
        except BodyError as error:
            self.close_connection = True  # an unread or broken body leaves the stream unusable
            if self.path.startswith("/api/"):
                self._send_json(error.status, {"error": str(error)})
            else:
                self._send_page(error.status, pages.message_page(error.status, "请求无法处理", str(error)))
        except (BrokenPipeError, ConnectionResetError):
            self.close_connection = True
        except (StoreError, FeedError) as error:
            self.log_error("%s", error)
            self.close_connection = True
            self._send_page(503, pages.message_page(503, "服务暂时不可用", "请稍后再试。"))
        except Exception:
            traceback.print_exc(file=sys.stderr)
            self.close_connection = True
            self._send_page(500, pages.message_page(500, "服务出错了", "请稍后再试。"))

    # --- methods ------------------------------------------------------------

    def do_GET(self):
        self._run(self._get)

    def do_HEAD(self):
        self._run(self._get)

    def do_POST(self):
        self._run(self._post)

    def _refuse_method(self, allowed):
        self.close_connection = True
        self._send_page(405, pages.message_page(405, "请求无法处理", "这个地址不支持该请求方法。"),
                        {"Allow": allowed})

    do_PUT = do_DELETE = do_PATCH = do_OPTIONS = lambda self: self._run(lambda: self._refuse_method("GET, HEAD, POST"))

    # --- routes -------------------------------------------------------------

    def _get(self):
        path, _, query = self.path.partition("?")
        store = self.server.store
        if path == "/":
            created = None
            code = urllib.parse.parse_qs(query).get("created", [""])[0]
            if code:
                created = store.find(code)
            self._send_page(200, pages.start_page(self._base_url(), store.recent(12), created=created))
        elif path == "/contact":
            self._send_page(200, pages.contact_page())
        elif path == "/api.dat":
            self._send(200, self.server.feed.body(), "application/octet-stream", {"Cache-Control": "no-cache"})
        elif path == "/api/links":
            limit = urllib.parse.parse_qs(query).get("limit", ["20"])[0]
            if not limit.isdigit() or not limit.isascii():
                self._send_json(400, {"error": "limit 必须是 1 到 200 之间的整数。"})
                return
            links = store.recent(int(limit[:4]))
            self._send_json(200, {"links": [link.as_json(self._base_url()) for link in links]})
        elif path.startswith("/api/links/"):
            link = store.find(path[len("/api/links/"):])
            if link is None:
                self._send_json(404, {"error": "短链接不存在。"})
            else:
                self._send_json(200, link.as_json(self._base_url()))
        elif path.startswith("/static/"):
            asset = self.server.assets.get(path[len("/static/"):])
            if asset is None:
                self._send_page(404, pages.message_page(404, "找不到页面", "这个地址不存在。"))
            else:
                self._send(200, asset[1], asset[0], {"Cache-Control": "max-age=3600", "X-Content-Type-Options": "nosniff"})
        else:
            code = path[1:]
            # HEAD (link previews, checkers) answers without counting a visit.
            address = store.visit(code) if self.command == "GET" else getattr(store.find(code), "address", None)
            # Only http(s) ever leaves as a redirect, even if the database was edited by hand.
            if address is None or not address.startswith(("http://", "https://")):
                self._send_page(404, pages.not_found_page(code))
            else:
                self._redirect(302, address)

    def _post(self):
        path = self.path.partition("?")[0]
        if path == "/shorten":
            if media_type(self.headers) != "application/x-www-form-urlencoded":
                raise BodyError(415, "表单须以 application/x-www-form-urlencoded 提交。")
            entered = parse_form(self._read_body()).get("url", "")
            try:
                link = self.server.store.create(normalise_address(entered))
            except AddressError as error:
                page = pages.start_page(self._base_url(), self.server.store.recent(12), error=str(error),
                                        entered=entered[:4096])
                self._send_page(400, page)
                return
            # Post/redirect/get: reloading the result page does not shorten again.
            self._redirect(303, "/?created=" + link.code)
        elif path == "/api/links":
            if media_type(self.headers) not in ("application/json", ""):
                raise BodyError(415, "请求内容须为 application/json。")
            value = parse_json_object(self._read_body()).get("url")
            try:
                link = self.server.store.create(normalise_address(value))
            except AddressError as error:
                self._send_json(400, {"error": str(error)})
                return
            self._send_json(201, link.as_json(self._base_url()),
                            {"Location": "/api/links/" + link.code})
        else:
            # Drain nothing: the connection closes after the refusal.
            self._refuse_method("GET, HEAD")
