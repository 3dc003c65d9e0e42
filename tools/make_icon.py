#!/usr/bin/env python3
"""Draws the program icon (resource 129): a blue rounded tile with a white
download arrow over a tray. Deterministic: the same file every run."""
import sys
from PIL import Image, ImageDraw


def tile(size):
    scale = 4  # draw large, then shrink for smooth edges
    s = size * scale
    img = Image.new("RGBA", (s, s), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    pad = s // 16
    # Background tile with a vertical gradient.
    top, bottom = (64, 156, 255), (18, 82, 190)
    for y in range(pad, s - pad):
        t = (y - pad) / max(1, s - 2 * pad - 1)
        c = tuple(int(top[i] + (bottom[i] - top[i]) * t) for i in range(3)) + (255,)
        d.line([(pad, y), (s - pad - 1, y)], fill=c)
    mask = Image.new("L", (s, s), 0)
    ImageDraw.Draw(mask).rounded_rectangle([pad, pad, s - pad - 1, s - pad - 1], radius=s // 5, fill=255)
    img.putalpha(mask)
    d = ImageDraw.Draw(img)
    white = (255, 255, 255, 255)
    # Arrow shaft and head.
    cx = s // 2
    shaft_w = s // 8
    d.rectangle([cx - shaft_w // 2, s * 22 // 100, cx + shaft_w // 2, s * 55 // 100], fill=white)
    d.polygon([(cx - s * 22 // 100, s * 48 // 100), (cx + s * 22 // 100, s * 48 // 100), (cx, s * 72 // 100)],
              fill=white)
    # Tray under the arrow.
    t = s // 14
    y0, y1 = s * 66 // 100, s * 80 // 100
    x0, x1 = s * 24 // 100, s * 76 // 100
    d.rectangle([x0, y1 - t, x1, y1], fill=white)
    d.rectangle([x0, y0, x0 + t, y1], fill=white)
    d.rectangle([x1 - t, y0, x1, y1], fill=white)
    return img.resize((size, size), Image.LANCZOS)


def main(out):
    sizes = [16, 24, 32, 48, 64, 256]
    images = [tile(n) for n in sizes]
    images[-1].save(out, format="ICO", sizes=[(n, n) for n in sizes], append_images=images[:-1])


if __name__ == "__main__":
    main(sys.argv[1])
