#!/usr/bin/env python3
"""tools/check-layers.py accepts a tree that keeps the layer direction and
refuses each way of breaking it, on a small tree of its own."""

import os
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
CHECK = os.path.join(ROOT, 'tools', 'check-layers.py')

# base <- paint <- render; runtime_api (files) <- runtime (folder); browser
# sees render and runtime_api only.
MAP = '''base|lib/base|||
paint|lib/paint||base|
render|lib/render||paint|lib/top/Allowed.h
runtime_api||rt/Api*.h||
runtime|rt||runtime_api|
browser|browser||render runtime_api|
top|lib/top||render|
'''

CLEAN = {
    'lib/base/Platform.h': '#pragma once\n#include <windows.h>\n',
    'lib/paint/Paint.h': '#include "lib/base/Platform.h"\n',
    'lib/render/Render.cpp': '#include "lib/paint/Paint.h"\n#include "lib/base/Platform.h"\n#include "Generated.h"\n',
    'lib/top/Allowed.h': '#pragma once\n',
    'rt/ApiTypes.h': '#pragma once\n',
    'rt/Engine.h': '#include "rt/ApiTypes.h"\n',
    'browser/Host.cpp': '#include "rt/ApiTypes.h"\n#include "lib/render/Render.h"\n',
    'lib/render/Render.h': '#pragma once\n',
    'tests/Helper.h': '#pragma once\n',
    'tests/Test.cpp': '#include "lib/top/Allowed.h"\n#include "rt/Engine.h"\n',
}


def run(files, layer_map=MAP):
    with tempfile.TemporaryDirectory() as root:
        for path, text in files.items():
            full = os.path.join(root, path)
            os.makedirs(os.path.dirname(full), exist_ok=True)
            with open(full, 'w') as f:
                f.write(text)
        with open(os.path.join(root, 'layers.map'), 'w') as f:
            f.write(layer_map)
        result = subprocess.run([sys.executable, CHECK, '--map', os.path.join(root, 'layers.map'), '--root', root],
                                capture_output=True, text=True)
        return result.returncode, result.stdout


class CheckLayersTest(unittest.TestCase):
    def test_a_tree_that_keeps_the_direction_passes(self):
        code, out = run(CLEAN)
        self.assertEqual(0, code, out)
        self.assertIn('0 fault(s)', out)

    def test_each_broken_rule_fails_and_names_the_include(self):
        cases = [
            # (file, text, words the report must contain)
            ('lib/base/Bad.cpp', '#include "lib/render/Render.h"\n', ['lib/base/Bad.cpp:1', 'layer render']),
            ('lib/paint/Bad.cpp', '\n#  include "lib/render/Render.h"\n', ['lib/paint/Bad.cpp:2']),
            ('browser/Bad.cpp', '#include "rt/Engine.h"\n', ['layer runtime', 'not below']),
            ('lib/render/Bad.cpp', '#include "tests/Helper.h"\n', ['belongs to no layer']),
            ('lib/paint/Relative.cpp', '#include "../render/Render.h"\n', ['lib/render/Render.h of layer render']),
            # Same layer twice is fine, but two folders must not include each
            # other: paint <-> paint/sub.
            ('lib/paint/sub/Loop.h', '#include "lib/paint/Paint.h"\n', None),
        ]
        for path, text, words in cases:
            with self.subTest(path=path):
                files = dict(CLEAN)
                files[path] = text
                if words is None:
                    files['lib/paint/Paint.h'] += '#include "lib/paint/sub/Loop.h"\n'
                    words = ['include cycle', 'lib/paint -> lib/paint/sub', 'lib/paint/sub -> lib/paint']
                code, out = run(files)
                self.assertEqual(1, code, out)
                for word in words:
                    self.assertIn(word, out)

    def test_a_listed_exception_passes_but_is_reported(self):
        files = dict(CLEAN)
        files['lib/render/Up.cpp'] = '#include "lib/top/Allowed.h"\n'
        code, out = run(files)
        self.assertEqual(0, code, out)
        self.assertIn('lib/render/Up.cpp:1: layer render includes lib/top/Allowed.h of layer top (listed exception)',
                      out)

    def test_a_listed_header_may_close_a_folder_cycle_inside_its_layer(self):
        files = dict(CLEAN)
        files['lib/render/sub/Bar.h'] = '#include "lib/render/Render.h"\n'
        files['lib/render/Render.cpp'] += '#include "lib/render/sub/Bar.h"\n'
        code, out = run(files)
        self.assertEqual(1, code, out)
        self.assertIn('include cycle', out)
        listed = MAP.replace('|lib/top/Allowed.h', '|lib/top/Allowed.h lib/render/sub/Bar.h')
        code, out = run(files, listed)
        self.assertEqual(0, code, out)
        self.assertIn('lib/render/sub/Bar.h of layer render (listed exception)', out)


if __name__ == '__main__':
    unittest.main()
