"""Checks and normalises the long addresses users ask us to shorten.

Rules, in the order they are applied:
  - surrounding blanks are dropped; blanks or control characters inside are
    refused (they never belong in an address and hide tricks);
  - at most MAX_ADDRESS_LENGTH characters, before and after normalising;
  - only http and https: everything else (javascript:, data:, file:, ...) is
    refused, so a redirect can never run script or open a local file;
  - a host is required, user names and passwords are refused (they are the
    classic way to make "http://bank.example@evil.example" look trustworthy);
  - the stored form is pure ASCII: the scheme in lower case, the host in IDNA,
    every other non-ASCII character percent-encoded as UTF-8, so that it can
    be sent as a Location header exactly as stored.
"""

import ipaddress
import re
import unicodedata
import urllib.parse

MAX_ADDRESS_LENGTH = 2048

_CONTROL_OR_BLANK = re.compile(r"[\x00-\x20\x7f-\x9f\u2028\u2029\u3000\ufeff]")
_HOST_LABEL = re.compile(r"^(?!-)[A-Za-z0-9-]{1,63}(?<!-)$")
# Characters that may stay as they are in path, query and fragment; a "%"
# stays too, so addresses that are already percent-encoded are not encoded twice.
_SAFE_IN_ADDRESS = "!#$%&'()*+,-./:;=?@[]~_"


class AddressError(ValueError):
    """The address cannot be shortened; str() is the message for the user."""


def _normalise_host(host):
    if host.startswith("["):
        literal = host[1:-1] if host.endswith("]") else ""
        try:
            return "[%s]" % ipaddress.IPv6Address(literal).compressed
        except ValueError:
            raise AddressError("链接中的 IPv6 地址无效。") from None
    if not host:
        raise AddressError("链接缺少主机名，例如 https://example.com/。")
    try:
        ascii_host = host.encode("idna").decode("ascii").lower()
    except UnicodeError:
        raise AddressError("链接中的主机名无效。") from None
    labels = ascii_host.rstrip(".").split(".")
    if not all(_HOST_LABEL.match(label) for label in labels):
        raise AddressError("链接中的主机名无效。")
    return ascii_host


def normalise_address(text):
    """Returns the address to store for `text`, or raises AddressError."""
    if not isinstance(text, str):
        raise AddressError("请输入要缩短的链接。")
    text = text.strip(" \t\r\n")
    if not text:
        raise AddressError("请输入要缩短的链接。")
    if len(text) > MAX_ADDRESS_LENGTH:
        raise AddressError("链接太长：最多 %d 个字符。" % MAX_ADDRESS_LENGTH)
    if _CONTROL_OR_BLANK.search(text):
        raise AddressError("链接中不能含有空格或控制字符。")
    scheme, colon, _ = text.partition(":")
    if not colon or scheme.lower() not in ("http", "https"):
        raise AddressError("只能缩短以 http:// 或 https:// 开头的链接。")
    try:
        parts = urllib.parse.urlsplit(text)
        port = parts.port
    except ValueError:
        raise AddressError("链接格式无效（端口或 IPv6 地址有误）。") from None
    if not text[len(scheme) + 1:].startswith("//"):
        raise AddressError("只能缩短以 http:// 或 https:// 开头的链接。")
    if parts.username is not None or parts.password is not None:
        raise AddressError("链接中不能含有用户名或密码。")
    hostport = parts.netloc
    host = hostport.rsplit(":", 1)[0] if not hostport.endswith("]") and ":" in hostport else hostport
    netloc = _normalise_host(host)
    if port is not None:
        netloc += ":%d" % port
    rest = urllib.parse.quote(
        urllib.parse.urlunsplit(("", "", parts.path, parts.query, parts.fragment)), safe=_SAFE_IN_ADDRESS)
    address = "%s://%s%s" % (parts.scheme.lower(), netloc, rest or "/")
    if len(address) > MAX_ADDRESS_LENGTH:
        raise AddressError("链接太长：最多 %d 个字符。" % MAX_ADDRESS_LENGTH)
    return address


def readable_address(address):
    """A stored address as people write it: Unicode host, percent-escapes decoded.

    Only for display (always escaped on the page); links use the stored form."""
    parts = urllib.parse.urlsplit(address)
    host = parts.hostname or ""
    try:
        host = host.encode("ascii").decode("idna") if "xn--" in host else host
    except UnicodeError:
        pass
    if ":" in host:
        host = "[%s]" % host
    netloc = host if parts.port is None else "%s:%d" % (host, parts.port)
    rest = urllib.parse.urlunsplit(("", "", parts.path, parts.query, parts.fragment))
    readable = "%s://%s%s" % (parts.scheme, netloc, urllib.parse.unquote(rest, errors="replace"))
    # Decoded control, format or bidi characters could disguise the address.
    if any(unicodedata.category(ch) in ("Cc", "Cf", "Zl", "Zp", "Co", "Cn") for ch in readable):
        return address
    return readable
