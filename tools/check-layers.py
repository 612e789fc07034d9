#!/usr/bin/env python3
"""Checks that the sources keep the layer direction of the build.

    check-layers.py --map <build>/layers.map --root <source root>

The map is written by CMake (cmake/VornexLayers.cmake), one line per layer:
    <name>|<folders>|<file globs>|<direct dependencies>|<allowed headers>
A file belongs to the layer whose file glob matches it, otherwise to the
layer of the deepest folder that contains it. Files of no layer (tests,
benchmarks, fuzzers, tools) are not checked.

Fails (exit status 1) when
  - a file of a layer includes a header of a layer that is neither its own
    nor one below it (through its dependencies), unless the header is listed
    as an allowed exception for that layer (those are printed and left out
    of the folder graph);
  - a layer file includes a header of the repository that belongs to no
    layer (a test helper, say);
  - two source folders include each other, directly or around a cycle.
"""

import argparse
import fnmatch
import os
import re
import sys

INCLUDE = re.compile(r'^[ \t]*#[ \t]*include[ \t]*[<"]([^">]+)[">]', re.MULTILINE)
SOURCE_SUFFIXES = ('.h', '.hpp', '.cpp', '.c', '.inl')


class Layer:
    def __init__(self, line):
        fields = line.rstrip('\n').split('|')
        fields += [''] * (5 - len(fields))
        self.name = fields[0].strip()
        self.folders = [f.strip('/') for f in fields[1].split()]
        self.globs = fields[2].split()
        self.depends = fields[3].split()
        self.allowed = set(fields[4].split())


def read_map(path):
    layers = {}
    with open(path, encoding='utf-8') as f:
        for line in f:
            if line.strip():
                layer = Layer(line)
                layers[layer.name] = layer
    for layer in layers.values():
        for dep in layer.depends:
            if dep not in layers:
                sys.exit(f'layer map: {layer.name} depends on unknown layer {dep}')
    return layers


def below(layers):
    """Every layer reachable from each layer through its dependencies."""
    reach = {}

    def visit(name, trail):
        if name in reach:
            return reach[name]
        if name in trail:
            sys.exit('layer map: dependency cycle ' + ' -> '.join(trail + [name]))
        result = set()
        for dep in layers[name].depends:
            result.add(dep)
            result |= visit(dep, trail + [name])
        reach[name] = result
        return result

    for name in layers:
        visit(name, [])
    return reach


def layer_of(path, layers):
    """The layer of a repository-relative path, or None."""
    for layer in layers.values():
        if any(fnmatch.fnmatchcase(path, g) for g in layer.globs):
            return layer.name
    best, depth = None, -1
    for layer in layers.values():
        for folder in layer.folders:
            if path.startswith(folder + '/') and folder.count('/') > depth:
                best, depth = layer.name, folder.count('/')
    return best


def source_files(root, layers):
    tops = {f.split('/')[0] for l in layers.values() for f in l.folders}
    tops |= {g.split('/')[0] for l in layers.values() for g in l.globs}
    for top in sorted(tops):
        for dirpath, dirnames, filenames in os.walk(os.path.join(root, top)):
            dirnames.sort()
            for name in sorted(filenames):
                if name.endswith(SOURCE_SUFFIXES):
                    full = os.path.join(dirpath, name)
                    yield os.path.relpath(full, root).replace(os.sep, '/')


def resolve(root, includer, target):
    """The repository-relative path an include names, or None when it is a
    system or generated header."""
    for base in (os.path.dirname(includer), ''):
        candidate = os.path.normpath(os.path.join(base, target)).replace(os.sep, '/')
        if not candidate.startswith('..') and os.path.isfile(os.path.join(root, candidate)):
            return candidate
    return None


def find_cycles(edges):
    """Strongly connected components with more than one folder (Tarjan)."""
    index, low, stack, on_stack, result = {}, {}, [], set(), []
    counter = [0]

    def connect(v):
        index[v] = low[v] = counter[0]
        counter[0] += 1
        stack.append(v)
        on_stack.add(v)
        for w in sorted(edges.get(v, ())):
            if w not in index:
                connect(w)
                low[v] = min(low[v], low[w])
            elif w in on_stack:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            component = []
            while True:
                w = stack.pop()
                on_stack.discard(w)
                component.append(w)
                if w == v:
                    break
            if len(component) > 1:
                result.append(sorted(component))

    for v in sorted(edges):
        if v not in index:
            connect(v)
    return result


def shortest_cycle(component, edges):
    """A shortest closed path through the first folder of a component."""
    start, members = component[0], set(component)
    previous, queue = {start: None}, [start]
    while queue:
        v = queue.pop(0)
        for w in sorted(edges.get(v, ())):
            if w == start:
                path = [v]
                while previous[path[-1]] is not None:
                    path.append(previous[path[-1]])
                return path[::-1] + [start]
            if w in members and w not in previous:
                previous[w] = v
                queue.append(w)
    return component + [component[0]]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--map', required=True)
    parser.add_argument('--root', required=True)
    args = parser.parse_args()

    layers = read_map(args.map)
    reach = below(layers)
    faults = []
    exceptions = []
    folder_edges = {}  # folder -> {folder: example include}
    checked = 0

    for path in source_files(args.root, layers):
        own = layer_of(path, layers)
        if own is None:
            continue
        checked += 1
        with open(os.path.join(args.root, path), encoding='utf-8', errors='replace') as f:
            text = f.read()
        for line_no, target in ((text.count('\n', 0, m.start()) + 1, m.group(1)) for m in INCLUDE.finditer(text)):
            header = resolve(args.root, path, target)
            if header is None:
                continue
            where = f'{path}:{line_no}'
            other = layer_of(header, layers)
            if other is None:
                faults.append(f'{where}: layer {own} includes {header}, which belongs to no layer')
                continue
            src_dir, dst_dir = os.path.dirname(path), os.path.dirname(header)
            upward = other != own and other not in reach[own]
            if header in layers[own].allowed and (upward or src_dir != dst_dir):
                # A listed exception: reported, and kept out of the folder
                # graph so that it does not count as a cycle.
                exceptions.append(f'{where}: layer {own} includes {header} of layer {other} (listed exception)')
                continue
            if upward:
                faults.append(f'{where}: layer {own} includes {header} of layer {other}, '
                              f'which is not below it (below {own}: {", ".join(sorted(reach[own])) or "nothing"})')
            if src_dir != dst_dir:
                folder_edges.setdefault(src_dir, {}).setdefault(dst_dir, where)

    for component in find_cycles(folder_edges):
        path = shortest_cycle(component, folder_edges)
        steps = '; '.join(f'{a} -> {b} ({folder_edges[a][b]})' for a, b in zip(path, path[1:]))
        faults.append(f'include cycle between folders: {steps}')

    if checked == 0:
        faults.append('no source file belongs to any layer: wrong --root or map?')
    for note in exceptions:
        print(note)
    for fault in faults:
        print(fault)
    print(f'layer check: {checked} files of {len(layers)} layers, {len(faults)} fault(s)')
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main())
