#!/usr/bin/env python3
"""Draws the UI engine's background picture: a 1077 x 743 JPEG of soft blue
gradients, translucent light bands and blurred circles, meant to sit behind the
engine's glass-like windows. Everything is computed from fixed numbers (no
randomness from the clock, no outside picture), so every run writes the same file."""
import math
import random
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter

WIDTH, HEIGHT = 1077, 743
SEED = 20260417


def lerp(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def base_gradient():
    """Diagonal sky: pale blue at the top left to a deeper blue at the bottom right."""
    top_left, bottom_right = (214, 234, 252), (52, 116, 198)
    small_w, small_h = WIDTH // 4, HEIGHT // 4
    img = Image.new("RGB", (small_w, small_h))
    px = img.load()
    for y in range(small_h):
        for x in range(small_w):
            t = (0.62 * x / (small_w - 1) + 0.38 * y / (small_h - 1))
            t = t * t * (3 - 2 * t)  # smoothstep: a softer middle
            px[x, y] = lerp(top_left, bottom_right, t)
    return img.resize((WIDTH, HEIGHT), Image.BICUBIC)


def light_bands():
    """Two broad translucent bands sweeping across, like light through glass."""
    layer = Image.new("L", (WIDTH, HEIGHT), 0)
    d = ImageDraw.Draw(layer)
    for phase, amplitude, offset, thickness, strength in (
            (0.0, 70, 0.42, 90, 70), (1.7, 55, 0.63, 60, 55)):
        top, bottom = [], []
        for x in range(0, WIDTH + 8, 8):
            y = HEIGHT * offset + amplitude * math.sin(x / WIDTH * 2.2 * math.pi + phase)
            top.append((x, y - thickness / 2))
            bottom.append((x, y + thickness / 2))
        d.polygon(top + bottom[::-1], fill=strength)
    return layer.filter(ImageFilter.GaussianBlur(28))


def bokeh(rng):
    """Soft circles of light, larger and fainter towards the right."""
    layer = Image.new("L", (WIDTH, HEIGHT), 0)
    d = ImageDraw.Draw(layer)
    for _ in range(26):
        x = rng.uniform(0, WIDTH)
        y = rng.uniform(0, HEIGHT)
        r = rng.uniform(18, 70) * (0.7 + 0.6 * x / WIDTH)
        strength = int(rng.uniform(30, 90) * (1.1 - 0.5 * x / WIDTH))
        d.ellipse([x - r, y - r, x + r, y + r], fill=strength)
    return layer.filter(ImageFilter.GaussianBlur(9))


def draw():
    rng = random.Random(SEED)
    img = base_gradient()
    white = Image.new("RGB", (WIDTH, HEIGHT), (255, 255, 255))
    img = Image.composite(white, img, light_bands())
    glow = Image.new("RGB", (WIDTH, HEIGHT), (232, 244, 255))
    img = Image.composite(glow, img, bokeh(rng))
    # A faint vignette keeps the corners calm.
    vignette = Image.radial_gradient("L").resize((WIDTH, HEIGHT), Image.BICUBIC)
    vignette = vignette.point(lambda v: int(v * 0.14))
    img = ImageChops.subtract(img, Image.merge("RGB", (vignette, vignette, vignette)))
    return img


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_background.py OUTPUT.jpg")
    draw().save(sys.argv[1], "JPEG", quality=88, subsampling=2, optimize=False, progressive=False)


if __name__ == "__main__":
    main()
