#!/usr/bin/env python3
"""Refuses an include that points up or sideways in the layers of docs/ARCHITECTURE.md.

A source folder may include headers of its own folder and of the folders in layers below
it, never of a folder in its own layer or above. Prints every offending include and exits 1.
"""
import pathlib
import re
import sys

# Folder -> layer (0 is the bottom).
LAYERS = {
    "base": 0,
    "protocol": 0,
    "net": 1,
    "translate": 2,
    "hotkeys": 2,
    "notify": 2,
    "app": 3,
    "service": 3,
    "gtk": 4,  # the Linux front end, over app/'s portable core
}

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"/]+)/')


def main() -> int:
    root = pathlib.Path(__file__).resolve().parent.parent
    faults = []
    for folder, layer in LAYERS.items():
        for path in sorted((root / folder).rglob("*")):
            if path.suffix not in (".h", ".cpp", ".rc"):
                continue
            for number, line in enumerate(path.read_text(errors="replace").splitlines(), 1):
                match = INCLUDE.match(line)
                if not match or match.group(1) not in LAYERS:
                    continue
                used = match.group(1)
                if used != folder and LAYERS[used] >= layer:
                    faults.append(f"{path.relative_to(root)}:{number}: {folder}/ "
                                  f"(layer {layer}) includes {used}/ (layer {LAYERS[used]})")
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
