#!/usr/bin/env python3
"""Checks that every folder of frame/ includes only folders above it in the
layer table of docs/architecture.md (the one place the order is written).

usage: check_layers.py SOURCE_ROOT
"""
import os
import re
import sys

root = sys.argv[1] if len(sys.argv) > 1 else '.'
with open(os.path.join(root, 'docs', 'architecture.md'), encoding='utf-8') as file:
    layers = re.findall(r'^\| `(\w+)/` \|', file.read(), re.M)
rank = {name: k for k, name in enumerate(layers)}
frame = os.path.join(root, 'frame')
present = {d for d in os.listdir(frame) if os.path.isdir(os.path.join(frame, d))} - {'idl', 'resources'}
problems = [f'frame/{d}/ is not in the layer table' for d in sorted(present - set(rank))]
for folder, _, files in os.walk(frame):
    layer = os.path.relpath(folder, frame).split(os.sep)[0]
    if layer not in rank:
        continue
    for name in files:
        path = os.path.join(folder, name)
        with open(path, encoding='utf-8') as file:
            for used in re.findall(r'#include "frame/(\w+)/', file.read()):
                if used != layer and rank.get(used, len(rank)) >= rank[layer]:
                    problems.append(f'{os.path.relpath(path, root)} includes frame/{used}/, '
                                    f'which is not above {layer}/')
for problem in problems:
    print(problem)
print(f'{len(layers)} layers, {len(problems)} problems')
sys.exit(1 if problems else 0)
