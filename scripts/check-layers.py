#!/usr/bin/env python3
"""Refuses an include that points up or sideways in the layers of docs/ARCHITECTURE.md.

A source folder may include headers of its own folder and of the folders in layers below
it, never of a folder in its own layer or above. Inside service/ its sub-folders sit in layers
of their own, checked the same way. Prints every offending include and exits 1.
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

# Sub-folder of service/ -> layer inside the service; "" is service/ itself (main.cpp, the
# handler), which sits on top.
SERVICE_LAYERS = {
    "core": 0,
    "platform": 1,
    "http": 2,
    "apertium": 2,
    "engines": 3,
    "faces": 4,  # APy's and LibreTranslate's APIs over the engines
    "": 5,
}

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"/]+)/')
SERVICE_INCLUDE = re.compile(r'^\s*#\s*include\s*"service/(?:([^"/]+)/)?[^"/]+"')


def service_part(path: pathlib.Path, root: pathlib.Path) -> str:
    parts = path.relative_to(root / "service").parts
    return parts[0] if len(parts) > 1 else ""


def check_service(root: pathlib.Path, faults: list) -> None:
    for path in sorted((root / "service").rglob("*")):
        if path.suffix not in (".h", ".cpp"):
            continue
        part = service_part(path, root)
        if part not in SERVICE_LAYERS:
            faults.append(f"{path.relative_to(root)}: service/{part}/ has no layer in "
                          f"scripts/check-layers.py")
            continue
        layer = SERVICE_LAYERS[part]
        for number, line in enumerate(path.read_text(errors="replace").splitlines(), 1):
            match = SERVICE_INCLUDE.match(line)
            if not match:
                continue
            used = match.group(1) or ""
            if used not in SERVICE_LAYERS:
                faults.append(f"{path.relative_to(root)}:{number}: includes service/{used}/, "
                              f"which has no layer")
            elif used != part and SERVICE_LAYERS[used] >= layer:
                faults.append(f"{path.relative_to(root)}:{number}: service/{part or '.'} "
                              f"(layer {layer}) includes service/{used or '.'} "
                              f"(layer {SERVICE_LAYERS[used]})")


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
    check_service(root, faults)
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
