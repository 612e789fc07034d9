"""HTML built so that nothing user-given can slip in unescaped.

`html(template, *values)` fills `{}` places with values escaped for text and
attribute positions alike; only values that are already `Html` (built by this
module) pass unchanged. Templates are literals of this package, never input.
"""

import html as _stdlib_html


class Html(str):
    """Text that is already safe markup."""

    __slots__ = ()


def escape(value):
    if isinstance(value, Html):
        return value
    return Html(_stdlib_html.escape(str(value), quote=True))


def html(template, *values):
    return Html(template.format(*(escape(v) for v in values)))


def join(pieces):
    return Html("".join(escape(p) for p in pieces))
