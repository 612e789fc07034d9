"""Reading and decoding request bodies, with limits and clear refusals."""

import json
import urllib.parse

MAX_BODY_BYTES = 256 * 1024  # room for an over-long address, so it gets the precise message
MAX_FORM_FIELDS = 20


class BodyError(Exception):
    """The body cannot be used: `status` and a message for the user."""

    def __init__(self, status, message):
        super().__init__(message)
        self.status = status


def declared_length(headers):
    """The Content-Length of a request that must carry a body."""
    if headers.get("Transfer-Encoding"):
        raise BodyError(411, "不支持分块传输的请求，请给出 Content-Length。")
    value = headers.get("Content-Length")
    if value is None:
        raise BodyError(411, "请求缺少 Content-Length。")
    value = value.strip()
    if not value.isdigit() or not value.isascii():
        raise BodyError(400, "Content-Length 无效。")
    length = int(value)
    if length > MAX_BODY_BYTES:
        raise BodyError(413, "请求内容过大：最多 %d 字节。" % MAX_BODY_BYTES)
    return length


def media_type(headers):
    return (headers.get("Content-Type") or "").split(";", 1)[0].strip().lower()


def parse_form(body):
    """Fields of an application/x-www-form-urlencoded body (first value wins)."""
    try:
        text = body.decode("utf-8")
        pairs = urllib.parse.parse_qsl(text, keep_blank_values=True, encoding="utf-8", errors="strict",
                                       max_num_fields=MAX_FORM_FIELDS)
    except UnicodeDecodeError:
        raise BodyError(400, "表单数据不是有效的 UTF-8 编码。") from None
    except ValueError:
        raise BodyError(400, "表单字段过多。") from None
    fields = {}
    for name, value in pairs:
        fields.setdefault(name, value)
    return fields


def parse_json_object(body):
    try:
        value = json.loads(body.decode("utf-8"))
    except (UnicodeDecodeError, ValueError, RecursionError):
        raise BodyError(400, "请求内容不是有效的 UTF-8 JSON。") from None
    if not isinstance(value, dict):
        raise BodyError(400, "请求内容必须是一个 JSON 对象。")
    return value
