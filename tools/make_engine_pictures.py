#!/usr/bin/python3
"""Draws the message box's six pictures (our own artwork) as 8-bit RGBA PNGs.

Usage: make_engine_pictures.py <output folder>

The sizes and slice layouts are the ones the drawing code cuts them by:
  inner_frame.png        17 x 16   rim: 7x6 corners, stretched 1-pixel strips between
  outer_shadow.png       29 x 32   soft shadow: 13x15 / 13x14 corners, strips at x 14, y 14, y 18
  icon_strip.png        191 x 57   four icons 48 px apart (question, information,
                                   exclamation, error), each seen through a 47 px window
  close_button_strip.png 146 x 22  close button normal | hover | pressed at x 0, 49, 98 (48 wide)
  caption_strip.png     561 x 22   other caption glyphs (minimise, maximise, restore, ...)
  push_button_strip.png 138 x 28   push button normal | hover | pressed, 14 px apart:
                                   left cap x 0-4, middle column x 6, right cap x 8-12
"""
import os
import sys

from PIL import Image, ImageDraw, ImageFilter

SS = 4  # supersampling factor for smooth edges


def smooth(size, draw_fn, gloss_fn=None):
    """Draws at SS times the size and scales down for anti-aliased shapes. gloss_fn
    draws translucent highlights on a layer of their own, blended over the shapes."""
    w, h = size
    big = Image.new("RGBA", (w * SS, h * SS), (0, 0, 0, 0))
    draw_fn(ImageDraw.Draw(big), SS)
    if gloss_fn:
        gloss = Image.new("RGBA", big.size, (0, 0, 0, 0))
        gloss_fn(ImageDraw.Draw(gloss), SS)
        # only where the shapes are: the gloss takes the shapes' alpha
        gloss.putalpha(Image.composite(gloss.getchannel("A"), Image.new("L", big.size, 0), big.getchannel("A")))
        big = Image.alpha_composite(big, gloss)
    return big.resize((w, h), Image.LANCZOS)


def inner_frame():
    # A light rim just inside the panel's rounded edge, a darker hairline outside it.
    def draw(d, s):
        d.rounded_rectangle([0, 0, 17 * s - 1, 16 * s - 1], radius=4 * s, outline=(90, 90, 90, 150), width=s)
        d.rounded_rectangle([s, s, 17 * s - 1 - s, 16 * s - 1 - s], radius=3 * s,
                            outline=(255, 255, 255, 200), width=s)
    return smooth((17, 16), draw)


def outer_shadow():
    # A blurred dark rounded rectangle whose inside (the panel) is cut away again,
    # so the shadow never darkens the panel it surrounds.
    w, h = 29, 32
    shadow = Image.new("L", (w, h), 0)
    ImageDraw.Draw(shadow).rounded_rectangle([7, 7, w - 8, h - 8], radius=4, fill=110)
    shadow = shadow.filter(ImageFilter.GaussianBlur(3))
    hole = Image.new("L", (w, h), 255)
    ImageDraw.Draw(hole).rounded_rectangle([8, 8, w - 8, h - 8], radius=4, fill=0)
    alpha = Image.composite(shadow, Image.new("L", (w, h), 0), hole)
    img = Image.new("RGBA", (w, h), (20, 20, 30, 0))
    img.putalpha(alpha)
    return img


def circle_icon(d, s, x0, fill, rim):
    d.ellipse([x0 + 2 * s, 6 * s, x0 + 45 * s, 49 * s], fill=rim)
    d.ellipse([x0 + 4 * s, 8 * s, x0 + 43 * s, 47 * s], fill=fill)


def circle_gloss(d, s, x0):
    d.ellipse([x0 + 9 * s, 10 * s, x0 + 38 * s, 26 * s], fill=(255, 255, 255, 60))


def icon_strip():
    white = (255, 255, 255, 255)

    def draw(d, s):
        # 0: question mark on blue
        x = 0
        circle_icon(d, s, x, (40, 110, 210, 255), (20, 70, 150, 255))
        d.arc([x + 15 * s, 14 * s, x + 32 * s, 31 * s], start=180, end=60, fill=white, width=4 * s)
        d.line([x + 27 * s, 29 * s, x + 23 * s, 33 * s, x + 23 * s, 37 * s], fill=white, width=4 * s)
        d.ellipse([x + 21 * s, 39 * s, x + 26 * s, 44 * s], fill=white)
        # 48: information "i" on blue
        x = 48 * s
        circle_icon(d, s, x, (30, 130, 220, 255), (15, 80, 160, 255))
        d.ellipse([x + 20 * s, 14 * s, x + 27 * s, 21 * s], fill=white)
        d.rectangle([x + 20 * s, 24 * s, x + 27 * s, 41 * s], fill=white)
        # 96: exclamation mark on a yellow triangle
        x = 96 * s
        d.polygon([x + 23.5 * s, 5 * s, x + 45 * s, 50 * s, x + 2 * s, 50 * s], fill=(170, 120, 0, 255))
        d.polygon([x + 23.5 * s, 9 * s, x + 42 * s, 48 * s, x + 5 * s, 48 * s], fill=(250, 200, 40, 255))
        d.rectangle([x + 21 * s, 20 * s, x + 26 * s, 37 * s], fill=(40, 40, 40, 255))
        d.ellipse([x + 21 * s, 40 * s, x + 26 * s, 45 * s], fill=(40, 40, 40, 255))
        # 144: error cross on red
        x = 144 * s
        circle_icon(d, s, x, (215, 45, 40, 255), (150, 20, 20, 255))
        d.line([x + 15 * s, 19 * s, x + 32 * s, 36 * s], fill=white, width=5 * s)
        d.line([x + 32 * s, 19 * s, x + 15 * s, 36 * s], fill=white, width=5 * s)

    def gloss(d, s):
        for x in (0, 48, 144):
            circle_gloss(d, s, x * s)
    return smooth((191, 57), draw, gloss)


def close_button_strip():
    def cross(d, s, x0, colour):
        d.line([x0 + 19 * s, 7 * s, x0 + 29 * s, 15 * s], fill=colour, width=2 * s)
        d.line([x0 + 29 * s, 7 * s, x0 + 19 * s, 15 * s], fill=colour, width=2 * s)

    def draw(d, s):
        # normal: a soft glass tab with a dark cross
        d.rounded_rectangle([1 * s, 0, 47 * s - 1, 21 * s], radius=4 * s, fill=(255, 255, 255, 60),
                            outline=(120, 120, 120, 120), width=s)
        cross(d, s, 0, (60, 60, 60, 255))
        # hover: red with a white cross
        x = 49 * s
        d.rounded_rectangle([x + 1 * s, 0, x + 47 * s - 1, 21 * s], radius=4 * s, fill=(225, 70, 60, 255),
                            outline=(150, 30, 25, 255), width=s)
        cross(d, s, x, (255, 255, 255, 255))
        # pressed: darker red
        x = 98 * s
        d.rounded_rectangle([x + 1 * s, 0, x + 47 * s - 1, 21 * s], radius=4 * s, fill=(170, 35, 30, 255),
                            outline=(110, 15, 10, 255), width=s)
        cross(d, s, x, (255, 230, 230, 255))

    def gloss(d, s):
        x = 49 * s
        d.rectangle([x + 3 * s, 1 * s, x + 45 * s, 9 * s], fill=(255, 255, 255, 50))
    return smooth((146, 22), draw, gloss)


def caption_strip():
    # Eleven 51-pixel cells: minimise, maximise, restore, help in three states, then a spare cell.
    def draw(d, s):
        fills = [(255, 255, 255, 60), (90, 150, 230, 255), (50, 100, 180, 255)]
        for cell in range(11):
            x = cell * 51 * s
            state = cell % 3
            glyph = cell // 3
            d.rounded_rectangle([x + 1 * s, 0, x + 49 * s, 21 * s], radius=4 * s, fill=fills[state],
                                outline=(110, 110, 110, 140), width=s)
            c = (60, 60, 60, 255) if state == 0 else (255, 255, 255, 255)
            cx = x + 25 * s
            if glyph == 0:
                d.rectangle([cx - 5 * s, 13 * s, cx + 5 * s, 15 * s], fill=c)
            elif glyph == 1:
                d.rectangle([cx - 5 * s, 5 * s, cx + 5 * s, 15 * s], outline=c, width=2 * s)
            elif glyph == 2:
                d.rectangle([cx - 3 * s, 4 * s, cx + 6 * s, 12 * s], outline=c, width=s)
                d.rectangle([cx - 6 * s, 8 * s, cx + 3 * s, 16 * s], outline=c, width=2 * s)
            else:
                d.ellipse([cx - 2 * s, 14 * s, cx + 2 * s, 18 * s], fill=c)
    return smooth((561, 22), draw)


def push_button_strip():
    # Each state is 14 pixels: a 5-pixel left cap, a middle column at 6, a 5-pixel right cap at 8.
    w, h = 138, 28
    img = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    px = img.load()
    looks = [
        ((250, 250, 250), (215, 218, 224), (120, 125, 135)),   # normal
        ((220, 238, 255), (140, 190, 245), (60, 120, 200)),    # hover
        ((175, 205, 240), (120, 165, 225), (40, 90, 170)),     # pressed
    ]
    for state, (top, bottom, border) in enumerate(looks):
        s = state * 14
        for y in range(h):
            t = y / (h - 1)
            face = tuple(int(top[i] + (bottom[i] - top[i]) * t) for i in range(3))
            for x in range(13):
                edge = y in (0, h - 1) or x in (0, 12)
                corner = (x in (0, 12)) and (y in (0, h - 1))
                if corner:
                    continue  # rounded look: the outermost corner pixel stays clear
                colour = border if edge else face
                if not edge and (y == 1 or x in (1, 11)):
                    colour = tuple(min(255, c + 25) for c in face)  # inner light line
                px[s + x, y] = colour + (255,)
    return img


PICTURES = [
    ("inner_frame.png", inner_frame, (17, 16)),
    ("outer_shadow.png", outer_shadow, (29, 32)),
    ("icon_strip.png", icon_strip, (191, 57)),
    ("close_button_strip.png", close_button_strip, (146, 22)),
    ("caption_strip.png", caption_strip, (561, 22)),
    ("push_button_strip.png", push_button_strip, (138, 28)),
]


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, make, size in PICTURES:
        img = make()
        assert img.size == size, (name, img.size)
        img.save(os.path.join(out, name), optimize=True)


if __name__ == "__main__":
    main()
