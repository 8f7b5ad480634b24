"""Finds the program's flag images in a screenshot, row for row, pixel for pixel."""
import struct
import subprocess
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
MAGENTA = (255, 0, 255)


def flag_row(position, row):
    """The RGB bytes of one row of flag image `position` from app/res/flags.bmp."""
    data = (REPO / "app" / "res" / "flags.bmp").read_bytes()
    offset, = struct.unpack_from("<I", data, 10)
    width, height = struct.unpack_from("<ii", data, 18)
    stride = (width * 3 + 3) & ~3
    line = data[offset + (height - 1 - row) * stride:][:stride]  # bottom-up
    pixels = []
    for x in range(position * 16, position * 16 + 16):
        b, g, r = line[x * 3:x * 3 + 3]
        if (r, g, b) == MAGENTA:
            raise ValueError("row crosses the transparent padding")
        pixels.append(bytes((r, g, b)))
    return b"".join(pixels)


def shows_flag(png, position, row=7):
    """True when the screenshot holds row `row` of flag `position` exactly."""
    size = subprocess.run(["identify", "-format", "%w %h", str(png)], capture_output=True,
                          text=True, check=True).stdout.split()
    width = int(size[0])
    raw = subprocess.run(["convert", str(png), "-depth", "8", "rgb:-"], capture_output=True,
                         check=True).stdout
    needle = flag_row(position, row)
    at = raw.find(needle)
    while at >= 0:
        if (at % (width * 3)) % 3 == 0 and (at % (width * 3)) + len(needle) <= width * 3:
            return True
        at = raw.find(needle, at + 1)
    return False
