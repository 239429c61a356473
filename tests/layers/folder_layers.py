#!/usr/bin/env python3
"""Fails when folders of the source tree include each other in a cycle.

Each folder under src/ is a layer; an include of "a/b/x.h" from a file in folder c is an
edge c -> a/b. A cycle means two layers can no longer be read, built or tested apart."""
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def folder_edges(root):
    edges = {}
    for folder, _, files in os.walk(root):
        here = os.path.relpath(folder, root)
        for name in files:
            if not name.endswith(('.h', '.cpp')):
                continue
            with open(os.path.join(folder, name), encoding='utf-8') as source:
                for included in INCLUDE.findall(source.read()):
                    target = os.path.dirname(included)
                    if target and target != here and os.path.isdir(os.path.join(root, target)):
                        edges.setdefault(here, set()).add(target)
    return edges


def find_cycle(edges):
    state = {}  # folder -> 1 while on the path, 2 when done
    path = []

    def visit(node):
        state[node] = 1
        path.append(node)
        for nxt in sorted(edges.get(node, ())):
            if state.get(nxt) == 1:
                return path[path.index(nxt):] + [nxt]
            if nxt not in state:
                found = visit(nxt)
                if found:
                    return found
        path.pop()
        state[node] = 2
        return None

    for node in sorted(edges):
        if node not in state:
            found = visit(node)
            if found:
                return found
    return None


def main():
    root = sys.argv[1]
    cycle = find_cycle(folder_edges(root))
    if cycle:
        print('folders include each other: ' + ' -> '.join(cycle))
        return 1
    print('no include cycle between folders')
    return 0


if __name__ == '__main__':
    sys.exit(main())
