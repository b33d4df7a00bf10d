#!/usr/bin/env python3
"""Prints the include edges between the source folders and checks that they
all point down the layers: core <- puzzles <- solve <- files <- sheets,
settings, audio <- highscores <- shell <- tools, tests, bench. Exits 1 on an edge that points up.

    tools/include_graph.py [SOURCE_DIR]
"""
import collections
import pathlib
import re
import sys

LAYERS = {
    "core": 0,
    "puzzles": 1,
    "solve": 2,
    "files": 3,
    "sheets": 4, "settings": 4, "audio": 4,
    "highscores": 5,
    "shell": 6,
    "tools": 7, "tests": 8, "fuzz": 8, "bench": 9,
}
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"/]+)/')

root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent)
edges = collections.Counter()
for path in root.rglob("*"):
    if path.suffix not in (".h", ".cpp") or not path.is_file():
        continue
    parts = path.relative_to(root).parts
    if parts[0] not in LAYERS:
        continue
    for line in path.read_text(errors="replace").splitlines():
        m = INCLUDE.match(line)
        if m and m.group(1) in LAYERS and m.group(1) != parts[0]:
            edges[(parts[0], m.group(1))] += 1

bad = 0
for (src, dst), n in sorted(edges.items(), key=lambda e: (LAYERS[e[0][0]], e[0])):
    up = LAYERS[dst] >= LAYERS[src]
    bad += up
    print(f"{src:>10} -> {dst:<10} {n:3d} includes{'   POINTS UP' if up else ''}")
sys.exit(1 if bad else 0)
