#!/usr/bin/env python3
"""Writes the 33 ".SHE" skins of our skin library from the palette table.

    make_skins.py <palette table> <output folder>

Writes skin01.she .. skin33.she. The format is described in skin/FORMAT.md;
the output depends only on the table, so the build is reproducible.
"""
import struct
import sys
import zlib
from pathlib import Path

MAGIC = b".SHE"
VERSION = 1
HEADER_SIZE = 16

TAG_NAME = 0x0001
TAG_WINDOW_TOP, TAG_WINDOW_BOTTOM, TAG_WINDOW_TEXT = 0x0101, 0x0102, 0x0103
TAG_EDIT = {"back": 0x0111, "text": 0x0112, "border": 0x0113, "focus_border": 0x0114,
            "disabled_back": 0x0115, "disabled_text": 0x0116}
TAG_BUTTON = {"normal": 0x0121, "hot": 0x0131, "pressed": 0x0141, "disabled": 0x0151}
TAG_PROGRESS = {"track": 0x0161, "border": 0x0162, "fill_top": 0x0163, "fill_bottom": 0x0164}
TAG_BUTTON_RADIUS, TAG_PROGRESS_RADIUS, TAG_EDIT_BORDER_WIDTH = 0x0201, 0x0202, 0x0203
TAG_FACES = {150: 0x0204, 200: 0x0205}

COLUMNS = ["no", "name", "window_top", "window_bottom", "text", "button", "button_text",
           "edit_border", "progress", "radius"]


def rgb(text):
    if len(text) != 7 or text[0] != "#":
        raise ValueError(f"not a #RRGGBB colour: {text}")
    return tuple(int(text[i:i + 2], 16) for i in (1, 3, 5))


def mix(a, b, t):
    """a moved toward b by t (0..1)."""
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


WHITE, BLACK = (255, 255, 255), (0, 0, 0)


def lighten(c, t):
    return mix(c, WHITE, t)


def darken(c, t):
    return mix(c, BLACK, t)


def grey(c):
    v = round(0.299 * c[0] + 0.587 * c[1] + 0.114 * c[2])
    return (v, v, v)


def colorref(c):
    r, g, b = c
    return r | (g << 8) | (b << 16)


def read_table(path):
    skins = []
    for line_no, line in enumerate(Path(path).read_text(encoding="utf-8").splitlines(), 1):
        line = line.split("#", 1)[0] if line.lstrip().startswith("#") else line
        fields = line.split()
        if not fields:
            continue
        if len(fields) != len(COLUMNS):
            raise ValueError(f"{path}:{line_no}: expected {len(COLUMNS)} columns, got {len(fields)}")
        row = dict(zip(COLUMNS, fields))
        row["no"] = int(row["no"])
        row["radius"] = int(row["radius"])
        for key in ("window_top", "window_bottom", "text", "button", "button_text", "edit_border", "progress"):
            row[key] = rgb(row[key])
        skins.append(row)
    numbers = [s["no"] for s in skins]
    if numbers != list(range(1, 34)):
        raise ValueError(f"{path}: skins must be numbered 1 to 33 in order, got {numbers}")
    return skins


def palette(row):
    """Every colour of a skin, derived from its table row."""
    bg_bottom, text, button = row["window_bottom"], row["text"], row["button"]
    disabled_face = mix(grey(button), bg_bottom, 0.55)
    return {
        TAG_WINDOW_TOP: row["window_top"],
        TAG_WINDOW_BOTTOM: bg_bottom,
        TAG_WINDOW_TEXT: text,
        TAG_EDIT["back"]: WHITE,  # the program's input boxes are white
        TAG_EDIT["text"]: mix(text, BLACK, 0.5),
        TAG_EDIT["border"]: row["edit_border"],
        TAG_EDIT["focus_border"]: button,
        TAG_EDIT["disabled_back"]: mix(grey(bg_bottom), WHITE, 0.35),
        TAG_EDIT["disabled_text"]: (128, 128, 128),
        # face top, face bottom, border, text
        **_button(TAG_BUTTON["normal"], lighten(button, 0.30), button, darken(button, 0.30), row["button_text"]),
        **_button(TAG_BUTTON["hot"], lighten(button, 0.45), lighten(button, 0.06), darken(button, 0.30),
                  row["button_text"]),
        **_button(TAG_BUTTON["pressed"], darken(button, 0.18), button, darken(button, 0.45),
                  row["button_text"]),
        **_button(TAG_BUTTON["disabled"], lighten(disabled_face, 0.25), disabled_face, darken(disabled_face, 0.15),
                  lighten(disabled_face, 0.65)),
        TAG_PROGRESS["track"]: mix(bg_bottom, WHITE, 0.6),
        TAG_PROGRESS["border"]: row["edit_border"],
        TAG_PROGRESS["fill_top"]: lighten(row["progress"], 0.35),
        TAG_PROGRESS["fill_bottom"]: row["progress"],
    }


def _button(first_tag, top, bottom, border, text):
    return {first_tag: top, first_tag + 1: bottom, first_tag + 2: border, first_tag + 3: text}


def scaled(length, percent):
    """A length at 100% drawn at percent, rounded half up as the library rounds."""
    return (length * percent + 50) // 100


def faces(row, percent):
    """The faces' pixel metrics at 150% or 200%: corners grow with the scale, lines
    stay whole pixels (a hairline until it can double), insets keep their look."""
    lines = percent // 100
    button_radius = row["radius"]
    progress_radius = max(0, row["radius"] - 1)
    return [scaled(button_radius, percent), scaled(progress_radius, percent),
            lines,                        # edit box border
            lines,                        # push button and progress bar border
            scaled(4, percent),           # focus mark inset
            scaled(2, percent)]           # progress fill inset


def record(tag, value):
    return struct.pack("<HH", tag, len(value)) + value


def encode(row):
    body = record(TAG_NAME, row["name"].encode("ascii"))
    for tag, colour in sorted(palette(row).items()):
        body += record(tag, struct.pack("<I", colorref(colour)))
    body += record(TAG_BUTTON_RADIUS, struct.pack("<i", row["radius"]))
    body += record(TAG_PROGRESS_RADIUS, struct.pack("<i", max(0, row["radius"] - 1)))
    body += record(TAG_EDIT_BORDER_WIDTH, struct.pack("<i", 1))
    for percent, tag in TAG_FACES.items():
        body += record(tag, struct.pack("<6i", *faces(row, percent)))
    header = MAGIC + struct.pack("<HHII", VERSION, HEADER_SIZE, len(body), zlib.crc32(body) & 0xFFFFFFFF)
    return header + body


def main(argv):
    if len(argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    out = Path(argv[2])
    out.mkdir(parents=True, exist_ok=True)
    for row in read_table(argv[1]):
        data = encode(row)
        target = out / f"skin{row['no']:02d}.she"
        # Leave an unchanged file alone so the resources are not rebuilt for nothing.
        if not target.exists() or target.read_bytes() != data:
            target.write_bytes(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
