#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Checks that the layers of the program stay apart.

Arguments: the layer file written by CMake (one line per layer, lowest first:
"library:folder,folder:include;dirs"), the source folder, and the storage test
executable. Fails when a layer's include directories reach a folder of a layer
above it (so that an upward include would build), when a source reaches out of
its folder with "..", or when the storage tests load Qt.
"""
import pathlib
import re
import subprocess
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.MULTILINE)


def read_layers(path):
    layers = []
    for line in pathlib.Path(path).read_text().splitlines():
        if not line.strip():
            continue
        name, folders, dirs = line.split(":", 2)
        layers.append((name, folders.split(","), [d for d in dirs.split(";") if d]))
    return layers


def main(layer_file, source_dir, storage_tests):
    layers = read_layers(layer_file)
    problems = []
    for rank, (name, _, dirs) in enumerate(layers):
        for higher, folders, _ in layers[rank + 1:]:
            for folder in folders:
                for d in dirs:
                    if (pathlib.Path(d) / folder).is_dir():
                        problems.append(f"{name} can include {folder}/ (of {higher}) through {d}")

    for source in sorted(pathlib.Path(source_dir).rglob("*")):
        if source.suffix not in (".h", ".cpp"):
            continue
        for included in INCLUDE.findall(source.read_text(errors="replace")):
            if ".." in pathlib.PurePosixPath(included).parts:
                problems.append(f"{source}: includes \"{included}\" past its folder")

    linked = subprocess.run(["ldd", storage_tests], capture_output=True, text=True, check=True)
    if "libQt" in linked.stdout:
        problems.append(f"{storage_tests} links Qt:\n{linked.stdout}")

    for problem in problems:
        print(problem)
    print(f"{len(layers)} layers checked, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
