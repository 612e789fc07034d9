#!/usr/bin/env python3
"""Packs the skin into the ZIP archive that becomes resource "DAT" 130.

    tools/pack-skin.py --output skin.zip [--values FILE] FILE...

Every FILE is stored under its base name, deflated, in the order given.
Markup documents (*.xml) get their deployment placeholders (@NAME@) replaced
by the values of the --values file (one NAME=VALUE a line), escaped for use
inside a double-quoted attribute; a placeholder without a value is an error,
so a skin can never ship with one left in. Entry times and attributes are
fixed, so the same inputs always give the same archive bytes.
"""

import argparse
import os
import re
import sys
import zipfile

PLACEHOLDER = re.compile(rb"@([A-Z][A-Z0-9_]*)@")
FIXED_TIME = (2020, 1, 1, 0, 0, 0)
DOS_ARCHIVE_ATTRIBUTE = 0x20


def read_values(path):
    values = {}
    if path:
        with open(path, encoding="utf-8") as f:
            for number, line in enumerate(f, 1):
                line = line.rstrip("\r\n")
                if not line or line.startswith("#"):
                    continue
                name, sep, value = line.partition("=")
                if not sep:
                    sys.exit(f"pack-skin: {path}:{number}: expected NAME=VALUE")
                values[name.strip()] = value
    return values


def xml_attribute_text(value):
    return (value.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")
            .replace('"', "&quot;").replace("'", "&apos;"))


def substitute(path, data, values):
    def replace(match):
        name = match.group(1).decode("ascii")
        if name not in values:
            sys.exit(f"pack-skin: {path}: no value for placeholder @{name}@")
        return xml_attribute_text(values[name]).encode("utf-8")
    return PLACEHOLDER.sub(replace, data)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--output", required=True)
    parser.add_argument("--values")
    parser.add_argument("files", nargs="+")
    args = parser.parse_args()

    values = read_values(args.values)
    names = [os.path.basename(f) for f in args.files]
    if len(set(n.lower() for n in names)) != len(names):
        sys.exit("pack-skin: two files share a name (the archive looks names up ignoring case)")

    entries = []
    for path, name in zip(args.files, names):
        with open(path, "rb") as f:
            data = f.read()
        if name.lower().endswith(".xml"):
            data = substitute(path, data, values)
        entries.append((name, data))

    temporary = args.output + ".tmp"
    with zipfile.ZipFile(temporary, "w") as archive:
        for name, data in entries:
            info = zipfile.ZipInfo(name, date_time=FIXED_TIME)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 0
            info.external_attr = DOS_ARCHIVE_ATTRIBUTE
            archive.writestr(info, data, compresslevel=9)
    os.replace(temporary, args.output)


if __name__ == "__main__":
    main()
