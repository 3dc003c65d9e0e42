#!/usr/bin/python3
"""Draws the message box's six pictures (our own artwork) as 8-bit RGBA PNGs.

Usage: make_engine_pictures.py <output folder>

Each picture is drawn for 100%, 150% and 200% displays: "inner_frame.png",
"inner_frame_150.png", "inner_frame_200.png" and so on. At 150% and 200% every
length below is scaled and rounded half up (as the drawing code scales its
slices), lines stay whole pixels and shapes are drawn afresh, not resampled.

The sizes and slice layouts at 100% are the ones the drawing code cuts them by:
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
SCALES = (100, 150, 200)


def A(length, k):
    """A length at 100% drawn at scale k (1, 1.5, 2), rounded half up."""
    return int(length * k + 0.5)


def line_px(k):
    """Lines are whole pixels: one at 100% and 150%, two at 200%."""
    return int(k)


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


def inner_frame(k):
    # A light rim just inside the panel's rounded edge, a darker hairline outside it.
    w, h = A(17, k), A(16, k)

    def draw(d, s):
        r, line = s * k, line_px(k) * s
        d.rounded_rectangle([0, 0, w * s - 1, h * s - 1], radius=4 * r, outline=(90, 90, 90, 150), width=line)
        d.rounded_rectangle([line, line, w * s - 1 - line, h * s - 1 - line], radius=3 * r,
                            outline=(255, 255, 255, 200), width=line)
    return smooth((w, h), draw)


def outer_shadow(k):
    # A blurred dark rounded rectangle whose inside (the panel) is cut away again,
    # so the shadow never darkens the panel it surrounds.
    w, h = A(29, k), A(32, k)
    shadow = Image.new("L", (w, h), 0)
    ImageDraw.Draw(shadow).rounded_rectangle([A(7, k), A(7, k), w - A(8, k), h - A(8, k)], radius=A(4, k), fill=110)
    shadow = shadow.filter(ImageFilter.GaussianBlur(3 * k))
    hole = Image.new("L", (w, h), 255)
    ImageDraw.Draw(hole).rounded_rectangle([A(8, k), A(8, k), w - A(8, k), h - A(8, k)], radius=A(4, k), fill=0)
    alpha = Image.composite(shadow, Image.new("L", (w, h), 0), hole)
    img = Image.new("RGBA", (w, h), (20, 20, 30, 0))
    img.putalpha(alpha)
    return img


def circle_icon(d, s, x0, fill, rim):
    d.ellipse([x0 + 2 * s, 6 * s, x0 + 45 * s, 49 * s], fill=rim)
    d.ellipse([x0 + 4 * s, 8 * s, x0 + 43 * s, 47 * s], fill=fill)


def circle_gloss(d, s, x0):
    d.ellipse([x0 + 9 * s, 10 * s, x0 + 38 * s, 26 * s], fill=(255, 255, 255, 60))


def icon_strip(k):
    white = (255, 255, 255, 255)

    def draw(d, s):
        s = s * k
        # 0: question mark on blue
        x = 0
        circle_icon(d, s, x, (40, 110, 210, 255), (20, 70, 150, 255))
        d.arc([x + 15 * s, 14 * s, x + 32 * s, 31 * s], start=180, end=60, fill=white, width=int(4 * s))
        d.line([x + 27 * s, 29 * s, x + 23 * s, 33 * s, x + 23 * s, 37 * s], fill=white, width=int(4 * s))
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
        d.line([x + 15 * s, 19 * s, x + 32 * s, 36 * s], fill=white, width=int(5 * s))
        d.line([x + 32 * s, 19 * s, x + 15 * s, 36 * s], fill=white, width=int(5 * s))

    def gloss(d, s):
        s = s * k
        for x in (0, 48, 144):
            circle_gloss(d, s, x * s)
    return smooth((A(191, k), A(57, k)), draw, gloss)


def close_button_strip(k):
    # Three cells at 0, 49 and 98 (scaled and rounded, so each starts on a whole pixel).
    def cross(d, s, x0, colour):
        r = s * k
        d.line([x0 + 19 * r, 7 * r, x0 + 29 * r, 15 * r], fill=colour, width=int(2 * r))
        d.line([x0 + 29 * r, 7 * r, x0 + 19 * r, 15 * r], fill=colour, width=int(2 * r))

    def tab(d, s, cell, fill, outline):
        x = A(49 * cell, k) * s
        d.rounded_rectangle([x + A(1, k) * s, 0, x + A(47, k) * s - 1, A(21, k) * s], radius=4 * s * k, fill=fill,
                            outline=outline, width=line_px(k) * s)
        return x

    def draw(d, s):
        # normal: a soft glass tab with a dark cross
        x = tab(d, s, 0, (255, 255, 255, 60), (120, 120, 120, 120))
        cross(d, s, x, (60, 60, 60, 255))
        # hover: red with a white cross
        x = tab(d, s, 1, (225, 70, 60, 255), (150, 30, 25, 255))
        cross(d, s, x, (255, 255, 255, 255))
        # pressed: darker red
        x = tab(d, s, 2, (170, 35, 30, 255), (110, 15, 10, 255))
        cross(d, s, x, (255, 230, 230, 255))

    def gloss(d, s):
        x = A(49, k) * s
        d.rectangle([x + A(3, k) * s, A(1, k) * s, x + A(45, k) * s, A(9, k) * s], fill=(255, 255, 255, 50))
    return smooth((A(146, k), A(22, k)), draw, gloss)


def caption_strip(k):
    # Eleven 51-pixel cells: minimise, maximise, restore, help in three states, then a spare cell.
    def draw(d, s):
        fills = [(255, 255, 255, 60), (90, 150, 230, 255), (50, 100, 180, 255)]
        for cell in range(11):
            x = A(cell * 51, k) * s
            state = cell % 3
            glyph = cell // 3
            d.rounded_rectangle([x + A(1, k) * s, 0, x + A(49, k) * s, A(21, k) * s], radius=4 * s * k,
                                fill=fills[state], outline=(110, 110, 110, 140), width=line_px(k) * s)
            c = (60, 60, 60, 255) if state == 0 else (255, 255, 255, 255)
            cx = x + A(25, k) * s
            g = s * k  # glyph lengths
            if glyph == 0:
                d.rectangle([cx - 5 * g, 13 * g, cx + 5 * g, 15 * g], fill=c)
            elif glyph == 1:
                d.rectangle([cx - 5 * g, 5 * g, cx + 5 * g, 15 * g], outline=c, width=line_px(k) * 2 * s)
            elif glyph == 2:
                d.rectangle([cx - 3 * g, 4 * g, cx + 6 * g, 12 * g], outline=c, width=line_px(k) * s)
                d.rectangle([cx - 6 * g, 8 * g, cx + 3 * g, 16 * g], outline=c, width=line_px(k) * 2 * s)
            else:
                d.ellipse([cx - 2 * g, 14 * g, cx + 2 * g, 18 * g], fill=c)
    return smooth((A(561, k), A(22, k)), draw)


def push_button_strip(k):
    # Each state is 14 pixels: a 5-pixel left cap, a middle column at 6, a 5-pixel right cap at 8.
    w, h = A(138, k), A(28, k)
    face_w, b = A(13, k), line_px(k)
    img = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    px = img.load()
    looks = [
        ((250, 250, 250), (215, 218, 224), (120, 125, 135)),   # normal
        ((220, 238, 255), (140, 190, 245), (60, 120, 200)),    # hover
        ((175, 205, 240), (120, 165, 225), (40, 90, 170)),     # pressed
    ]
    for state, (top, bottom, border) in enumerate(looks):
        s = A(state * 14, k)
        for y in range(h):
            t = y / (h - 1)
            face = tuple(int(top[i] + (bottom[i] - top[i]) * t) for i in range(3))
            for x in range(face_w):
                edge_x = x < b or x >= face_w - b
                edge_y = y < b or y >= h - b
                if edge_x and edge_y:
                    continue  # rounded look: the outermost corner pixels stay clear
                edge = edge_x or edge_y
                colour = border if edge else face
                if not edge and (y < 2 * b or x < 2 * b or x >= face_w - 2 * b):
                    colour = tuple(min(255, c + 25) for c in face)  # inner light line
                px[s + x, y] = colour + (255,)
    return img


PICTURES = [
    ("inner_frame", inner_frame, (17, 16)),
    ("outer_shadow", outer_shadow, (29, 32)),
    ("icon_strip", icon_strip, (191, 57)),
    ("close_button_strip", close_button_strip, (146, 22)),
    ("caption_strip", caption_strip, (561, 22)),
    ("push_button_strip", push_button_strip, (138, 28)),
]


def file_name(name, percent):
    return f"{name}.png" if percent == 100 else f"{name}_{percent}.png"


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for percent in SCALES:
        k = percent // 100 if percent % 100 == 0 else percent / 100  # whole numbers stay ints
        for name, make, (w, h) in PICTURES:
            img = make(k)
            assert img.size == (A(w, k), A(h, k)), (name, percent, img.size)
            img.save(os.path.join(out, file_name(name, percent)), optimize=True)


if __name__ == "__main__":
    main()
