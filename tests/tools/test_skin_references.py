"""Every picture a skin document names is in the skin: a missing one leaves
its control blank without a word (the loading panel once showed neither its
rocket nor its bar). Animated pictures must have more than one frame."""

import html
import os
import re
import struct
import sys
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SKIN = os.path.join(ROOT, "skin")
# Named by the skin but left out on purpose: the title bar's menu and skin
# buttons have no behaviour, so no picture invites a click on them, and no
# container of the shipped skins shows a scroll bar.
LEFT_OUT = {
    "btn_setting_nor.png", "btn_setting_hot.png", "btn_setting_down.png",
    "btn_skin_nor.png", "btn_skin_hot.png", "btn_skin_down.png",
    "scroll.png",
}
PICTURE = re.compile(r"^[^'=\s]+\.(?:png|gif|jpg|bmp)$", re.IGNORECASE)


def named_pictures(document):
    """The file names of pictures an XML skin document names: whole
    attribute values ("rocket.png"), file='...' items of image descriptions,
    and the same inside default attribute lists (quoted twice)."""
    with open(document, encoding="utf-8") as f:
        text = f.read()
    names = set()
    values = re.findall(r'=\s*"([^"]*)"', text)
    while values:
        value = html.unescape(values.pop())
        if PICTURE.match(value.strip()):
            names.add(value.strip())
        names.update(re.findall(r"file\s*=\s*'([^']+)'", value))
        values.extend(re.findall(r'=\s*"([^"]*)"', value))  # a list of attributes within a value
    return names


def gif_frames(path):
    """How many images a GIF holds (its image descriptors), or 0 when the
    file is not a GIF the walk understands."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:6] not in (b"GIF87a", b"GIF89a") or len(data) < 13:
        return 0
    at = 13
    if data[10] & 0x80:
        at += 3 << ((data[10] & 7) + 1)

    def skip_blocks(at):
        while at < len(data) and data[at]:
            at += data[at] + 1
        return at + 1

    frames = 0
    while at < len(data):
        kind = data[at]
        if kind == 0x3B:
            return frames
        if kind == 0x21:
            at = skip_blocks(at + 2)
        elif kind == 0x2C:
            frames += 1
            flags = data[at + 9]
            at += 10
            if flags & 0x80:
                at += 3 << ((flags & 7) + 1)
            at = skip_blocks(at + 1)
        else:
            return 0
    return 0


class SkinReferencesTest(unittest.TestCase):
    def test_every_named_picture_is_in_the_skin(self):
        documents = [os.path.join(SKIN, n) for n in sorted(os.listdir(SKIN)) if n.endswith(".xml")]
        self.assertTrue(documents)
        for document in documents:
            for name in sorted(named_pictures(document) - LEFT_OUT):
                with self.subTest(document=os.path.basename(document), picture=name):
                    self.assertTrue(os.path.isfile(os.path.join(SKIN, name)), "missing from skin/")

    def test_animated_pictures_move(self):
        self.assertGreater(gif_frames(os.path.join(SKIN, "loading.gif")), 1)

    def test_the_reader_finds_every_way_a_picture_is_named(self):
        sample = os.path.join(os.path.dirname(os.path.abspath(__file__)), "skin_references_sample.xml")
        with open(sample, "w", encoding="utf-8") as f:
            f.write('<Window><Label bkimage="a.png" />'
                    '<Button normalimage="file=\'b.png\' dest=\'0,0,1,1\'" text="not.png here" />'
                    '<Default name="X" value="thumbimage=&quot;file=&apos;c.gif&apos;&quot;" /></Window>')
        try:
            self.assertEqual(named_pictures(sample), {"a.png", "b.png", "c.gif"})
        finally:
            os.remove(sample)


if __name__ == "__main__":
    unittest.main(verbosity=2)
