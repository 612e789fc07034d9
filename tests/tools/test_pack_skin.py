#!/usr/bin/env python3
"""Behaviour of tools/pack-skin.py, the packer of the skin archive."""

import os
import subprocess
import sys
import tempfile
import unittest
import zipfile

PACKER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "pack-skin.py")


class PackSkinTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.addCleanup(self.dir.cleanup)

    def path(self, name):
        return os.path.join(self.dir.name, name)

    def write(self, name, data):
        with open(self.path(name), "wb") as f:
            f.write(data)
        return self.path(name)

    def pack(self, files, values=None, output="skin.zip"):
        args = [sys.executable, PACKER, "--output", self.path(output)]
        if values is not None:
            args += ["--values", self.write("values.txt", values.encode("utf-8"))]
        return subprocess.run(args + files, capture_output=True, text=True)

    def test_values_are_escaped_for_a_double_quoted_attribute(self):
        cases = [
            ("http://127.0.0.1/", "http://127.0.0.1/"),
            ("http://h/?a=1&b=2", "http://h/?a=1&amp;b=2"),
            ('say "hi"', "say &quot;hi&quot;"),
            ("<x> 'y'", "&lt;x&gt; &apos;y&apos;"),
            ("&amp;", "&amp;amp;"),
            ("中文=v", "中文=v"),
        ]
        document = self.write("Doc.xml", '\ufeff<Doc url="@VORNEX_START_URL@" />\r\n'.encode("utf-8"))
        for value, written in cases:
            with self.subTest(value=value):
                result = self.pack([document], f"VORNEX_START_URL={value}\n")
                self.assertEqual(result.returncode, 0, result.stderr)
                with zipfile.ZipFile(self.path("skin.zip")) as archive:
                    text = archive.read("Doc.xml").decode("utf-8")
                self.assertEqual(text, f'\ufeff<Doc url="{written}" />\r\n')

    def test_placeholder_without_value_fails_and_leaves_no_archive(self):
        document = self.write("Doc.xml", b'<Doc url="@VORNEX_START_URL@" />')
        for values in (None, "VORNEX_OTHER=x\n"):
            with self.subTest(values=values):
                result = self.pack([document], values)
                self.assertNotEqual(result.returncode, 0)
                self.assertIn("@VORNEX_START_URL@", result.stderr)
                self.assertEqual(os.listdir(self.dir.name).count("skin.zip"), 0)
                self.assertFalse(any(n.endswith(".tmp") for n in os.listdir(self.dir.name)))

    def test_images_are_packed_unchanged_even_when_they_hold_placeholder_text(self):
        image = self.write("a.png", b"\x89PNG@VORNEX_START_URL@" + bytes(range(256)))
        result = self.pack([image])
        self.assertEqual(result.returncode, 0, result.stderr)
        with zipfile.ZipFile(self.path("skin.zip")) as archive:
            self.assertEqual(archive.read("a.png"), b"\x89PNG@VORNEX_START_URL@" + bytes(range(256)))

    def test_archive_is_deflated_in_the_given_order_and_reproducible(self):
        first = self.write("B.xml", b"<B>" + b"x" * 500 + b"</B>")
        second = self.write("a.png", b"y" * 300)
        self.assertEqual(self.pack([first, second], "", output="one.zip").returncode, 0)
        os.utime(first, (1, 1))  # file times must not reach the archive
        self.assertEqual(self.pack([first, second], "", output="two.zip").returncode, 0)
        with open(self.path("one.zip"), "rb") as a, open(self.path("two.zip"), "rb") as b:
            self.assertEqual(a.read(), b.read())
        with zipfile.ZipFile(self.path("one.zip")) as archive:
            infos = archive.infolist()
        self.assertEqual([i.filename for i in infos], ["B.xml", "a.png"])
        self.assertTrue(all(i.compress_type == zipfile.ZIP_DEFLATED for i in infos))

    def test_names_that_differ_only_in_case_are_refused(self):
        os.makedirs(self.path("other"))
        one = self.write("Logo.png", b"1")
        two = self.write(os.path.join("other", "logo.png"), b"2")
        result = self.pack([one, two])
        self.assertNotEqual(result.returncode, 0)
        self.assertFalse(os.path.exists(self.path("skin.zip")))


if __name__ == "__main__":
    unittest.main()
