#!/usr/bin/python3
"""Draws the skin bitmaps and the program icon.

Writes src/resources/skin/<id>.bmp (24-bit or 256-colour, as each picture
needs) and src/resources/orvane.ico (one 32x32 256-colour image). The output
depends only on this script and the WenQuanYi Micro Hei font, so running it
again gives the same files.

Usage: /usr/bin/python3 scripts/gen_skin.py [output-root]
"""
import math
import os
import struct
import sys

from PIL import Image, ImageDraw, ImageFilter, ImageFont

FONT_PATH = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
SS = 4  # supersampling factor for shapes drawn with soft edges

# Palette of the skin.
DEEP = (18, 72, 148)
NAVY = (24, 86, 168)
BLUE = (38, 116, 204)
SKY = (86, 160, 230)
PALE = (214, 232, 248)
TOOL = (232, 243, 249)  # behind the lock option: must match its background colour
LINE = (156, 196, 232)
WHITE = (255, 255, 255)

# Main window geometry in pixels (the widgets' twip positions / 15).
MAIN_W, MAIN_H = 595, 413
MAIN_CLIENT_W = 593
TOPBAR = (4, 52, 585, 26)          # itoptt
LIST_FRAME = (4, 79, 413, 276)     # pleft
ABOUT_BOX = (421, 79, 168, 276)    # txtContent
TOOLBAR = (3, 356, 586, 31)        # ibottomtt
BOTTOM = (0, 386, 595, 27)         # ibottom
TITLE = (0, 0, 219, 46)            # ititle
SETTINGS_BTN = (544, 7, 23, 15)    # imin
CLOSE_BTN = (567, 7, 21, 15)       # iclose
REPAIR_BTN = (482, 360, 64, 24)    # ibtndo
LINK = (496, 392, 89, 17)          # Label2
TITLE_ZONE = 52                    # height of the dark title area

# Dialog face geometry (client area 393x257).
DLG_W, DLG_H = 400, 260
DLG_CLIENT = (393, 257)
DLG_STRIP = 30
DLG_CLOSE = (366, 4, 22, 17)
DLG_OK = (304, 208, 70, 23)
DLG_CLEAN = (304, 216, 75, 23)


def font(size, index=0):
    return ImageFont.truetype(FONT_PATH, size, index=index)


def lerp(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def vgradient(w, h, stops):
    """Vertical gradient through (position 0..1, colour) stops."""
    img = Image.new("RGB", (w, h))
    px = img.load()
    for y in range(h):
        t = y / max(1, h - 1)
        for i in range(len(stops) - 1):
            (t0, c0), (t1, c1) = stops[i], stops[i + 1]
            if t0 <= t <= t1:
                c = lerp(c0, c1, (t - t0) / max(1e-9, t1 - t0))
                break
        else:
            c = stops[-1][1]
        for x in range(w):
            px[x, y] = c
    return img


def soft_mask(size, draw_fn):
    """A mask drawn at SS times the size and scaled down, for smooth edges."""
    w, h = size
    big = Image.new("L", (w * SS, h * SS), 0)
    draw_fn(ImageDraw.Draw(big), SS)
    return big.resize((w, h), Image.LANCZOS)


def paint(base, colour_or_img, mask, offset=(0, 0)):
    layer = colour_or_img if isinstance(colour_or_img, Image.Image) else Image.new("RGB", mask.size, colour_or_img)
    base.paste(layer, offset, mask)


def rounded(size, box, radius, width=0):
    def fn(d, s):
        x0, y0, x1, y1 = box
        if width:
            d.rounded_rectangle([x0 * s, y0 * s, x1 * s - 1, y1 * s - 1], radius * s, outline=255, width=width * s)
        else:
            d.rounded_rectangle([x0 * s, y0 * s, x1 * s - 1, y1 * s - 1], radius * s, fill=255)
    return soft_mask(size, fn)


def text_mask(size, text, fnt, xy=None, stroke=0):
    """Mask of a text; centred in size when xy is None."""
    w, h = size
    m = Image.new("L", (w, h), 0)
    d = ImageDraw.Draw(m)
    if xy is None:
        l, t, r, b = d.textbbox((0, 0), text, font=fnt, stroke_width=stroke)
        xy = ((w - (r - l)) / 2 - l, (h - (b - t)) / 2 - t)
    d.text(xy, text, font=fnt, fill=255, stroke_width=stroke, stroke_fill=255)
    return m


def draw_text(img, text, fnt, colour, xy=None, shadow=None, stroke=0):
    if shadow:
        m = text_mask(img.size, text, fnt, xy, stroke)
        dx, dy, scol = shadow
        paint(img, scol, m.filter(ImageFilter.GaussianBlur(0.6)), (dx, dy))
    paint(img, colour, text_mask(img.size, text, fnt, xy, stroke))


def heavy_text(img, text, size, colour, xy, weight, shadow=None):
    """Text drawn at SS times the size with a thin stroke, for a semi-bold look."""
    w, h = img.size
    big = Image.new("L", (w * SS, h * SS), 0)
    ImageDraw.Draw(big).text((xy[0] * SS, xy[1] * SS), text, font=font(size * SS), fill=255,
                             stroke_width=weight, stroke_fill=255)
    m = big.resize((w, h), Image.LANCZOS)
    if shadow:
        dx, dy, scol = shadow
        paint(img, scol, m.filter(ImageFilter.GaussianBlur(0.8)), (dx, dy))
    paint(img, colour, m)


def crop(img, rect):
    x, y, w, h = rect
    return img.crop((x, y, x + w, y + h))


def hline(img, y, x0, x1, colour):
    d = ImageDraw.Draw(img)
    d.line([(x0, y), (x1, y)], fill=colour)


# ---------------------------------------------------------------- shapes

def shield_points(x, y, w, h, s=1):
    pts = [(0.5, 0.02), (0.93, 0.16), (0.92, 0.50)]
    # lower edge: quadratic curve down to the point, mirrored
    p0, c, p1 = (0.92, 0.50), (0.88, 0.80), (0.5, 0.98)
    for i in range(1, 13):
        t = i / 12
        pts.append(((1 - t) ** 2 * p0[0] + 2 * (1 - t) * t * c[0] + t * t * p1[0],
                    (1 - t) ** 2 * p0[1] + 2 * (1 - t) * t * c[1] + t * t * p1[1]))
    right = pts[1:]
    pts += [(1 - px, py) for px, py in reversed(right[:-1])]
    return [((x + px * w) * s, (y + py * h) * s) for px, py in pts]


def shield(img, x, y, w, h, rim=WHITE, body_top=SKY, body_bottom=DEEP, tick=WHITE):
    size = img.size
    outer = soft_mask(size, lambda d, s: d.polygon(shield_points(x, y, w, h, s), fill=255))
    inset = max(1.5, w * 0.09)
    inner = soft_mask(size, lambda d, s: d.polygon(
        shield_points(x + inset, y + inset * 1.1, w - 2 * inset, h - 2.2 * inset, s), fill=255))
    paint(img, rim, outer)
    body = vgradient(size[0], size[1], [(0, body_top), (1, body_bottom)])
    body = body.crop((0, 0, size[0], size[1]))
    grad = Image.new("RGB", size)
    band = vgradient(1, int(h) + 1, [(0, body_top), (1, body_bottom)]).resize((size[0], int(h) + 1))
    grad.paste(band, (0, int(y)))
    paint(img, grad, inner)
    # gloss on the upper half of the body
    gloss = soft_mask(size, lambda d, s: d.polygon(
        [((x + inset) * s, (y + inset) * s), ((x + w / 2) * s, (y + inset * 0.6) * s),
         ((x + w - inset) * s, (y + inset) * s), ((x + w - inset) * s, (y + h * 0.42) * s),
         ((x + inset) * s, (y + h * 0.52) * s)], fill=255))
    gloss = Image.composite(gloss, Image.new("L", size, 0), inner).point(lambda v: v * 0.22)
    paint(img, WHITE, gloss)
    # tick
    lw = max(2.0, w * 0.13)
    t = soft_mask(size, lambda d, s: d.line(
        [((x + w * 0.28) * s, (y + h * 0.50) * s), ((x + w * 0.45) * s, (y + h * 0.67) * s),
         ((x + w * 0.74) * s, (y + h * 0.32) * s)], fill=255, width=int(lw * s), joint="curve"))
    paint(img, tick, t)


def cross(img, cx, cy, r, width, colour):
    m = soft_mask(img.size, lambda d, s: (
        d.line([((cx - r) * s, (cy - r) * s), ((cx + r) * s, (cy + r) * s)], fill=255, width=int(width * s)),
        d.line([((cx - r) * s, (cy + r) * s), ((cx + r) * s, (cy - r) * s)], fill=255, width=int(width * s))))
    paint(img, colour, m)


def gear(img, cx, cy, r, colour, hole_colour):
    teeth = 8

    def fn(d, s):
        pts = []
        for i in range(teeth * 4):
            a = 2 * math.pi * i / (teeth * 4)
            rr = r if (i % 4) in (0, 1) else r * 0.72
            pts.append(((cx + rr * math.cos(a + 0.2)) * s, (cy + rr * math.sin(a + 0.2)) * s))
        d.polygon(pts, fill=255)
    paint(img, colour, soft_mask(img.size, fn))
    h = r * 0.36
    paint(img, hole_colour, soft_mask(img.size, lambda d, s: d.ellipse(
        [(cx - h) * s, (cy - h) * s, (cx + h) * s, (cy + h) * s], fill=255)))


# ---------------------------------------------------------------- main window

def title_zone(w, h):
    img = vgradient(w, h, [(0, (44, 132, 222)), (0.5, (30, 104, 194)), (1, NAVY)])
    # a soft light sweep behind the title, fading to the right
    glow = Image.new("L", (w, h), 0)
    d = ImageDraw.Draw(glow)
    d.ellipse([-120, -70, 330, 60], fill=70)
    glow = glow.filter(ImageFilter.GaussianBlur(24))
    paint(img, (120, 190, 245), glow)
    # faint arcs on the right as decoration
    arcs = Image.new("L", (w, h), 0)
    d = ImageDraw.Draw(arcs)
    for i, rad in enumerate((90, 130, 170)):
        d.ellipse([430 - rad, 26 - rad, 430 + rad, 26 + rad], outline=26 - i * 6, width=2)
    paint(img, WHITE, arcs.filter(ImageFilter.GaussianBlur(0.8)))
    hline(img, 0, 0, w, (96, 170, 236))
    return img


def main_background():
    img = Image.new("RGB", (MAIN_W, MAIN_H), PALE)
    body = vgradient(MAIN_W, MAIN_H - TITLE_ZONE, [(0, (226, 239, 251)), (1, (205, 226, 246))])
    img.paste(body, (0, TITLE_ZONE))
    img.paste(title_zone(MAIN_W, TITLE_ZONE), (0, 0))
    hline(img, TITLE_ZONE - 1, 0, MAIN_W, DEEP)
    d = ImageDraw.Draw(img)
    # frames around the list and the about text
    for x, y, w, h in (LIST_FRAME, ABOUT_BOX):
        d.rectangle([x - 1, y - 1, x + w, y + h], outline=LINE)
        d.rectangle([x, y, x + w - 1, y + h - 1], fill=WHITE)
    # the list and the tool bars cover the rest; the bars also get a slot drawn here
    for x, y, w, h in (TOPBAR, TOOLBAR):
        d.rectangle([x, y, x + w - 1, y + h - 1], fill=TOOL)
    bx, by, bw, bh = BOTTOM
    img.paste(bottom_bar(), (bx, by))
    # window border (the client area is 593 wide)
    d.rectangle([0, 0, MAIN_CLIENT_W - 1, MAIN_H - 1], outline=DEEP)
    d.rectangle([MAIN_CLIENT_W, 0, MAIN_W - 1, MAIN_H - 1], fill=DEEP)
    return img


def title_picture(bg):
    img = crop(bg, TITLE)
    shield(img, 12, 6, 30, 34)
    heavy_text(img, "Orvane", 25, WHITE, (51, 1), 3, shadow=(1, 1, (10, 50, 110)))
    draw_text(img, "系统修复工具  ·  一键修复", font(11), (206, 228, 250), (53, 30))
    return img


def close_picture(bg, rect, size_cross=3.6):
    img = crop(bg, rect)
    w, h = img.size
    cross(img, w / 2 - 0.5, h / 2 - 0.5, size_cross, 1.7, WHITE)
    return img


def settings_picture(bg):
    img = crop(bg, SETTINGS_BTN)
    w, h = img.size
    gear(img, w / 2 - 0.5, h / 2 - 0.5, 6.2, WHITE, img.getpixel((w // 2, h // 2)))
    return img


def minimise_picture(bg):
    img = crop(bg, (520, 6, 23, 17))
    d = ImageDraw.Draw(img)
    d.rectangle([7, 10, 15, 11], fill=WHITE)
    return img


def top_bar():
    x, y, w, h = TOPBAR
    img = vgradient(w, h, [(0, (252, 254, 255)), (0.5, (236, 245, 253)), (1, (208, 228, 247))])
    d = ImageDraw.Draw(img)
    d.rectangle([0, 0, w - 1, h - 1], outline=LINE)
    hline(img, 1, 1, w - 2, WHITE)
    # two headings: the repair list and the about text
    split = ABOUT_BOX[0] - x - 2
    d.line([(split, 4), (split, h - 5)], fill=LINE)
    d.line([(split + 1, 4), (split + 1, h - 5)], fill=WHITE)
    paint(img, BLUE, soft_mask(img.size, lambda dd, s: dd.rounded_rectangle(
        [9 * s, 8 * s, 19 * s - 1, 18 * s - 1], 2 * s, fill=255)))
    paint(img, WHITE, soft_mask(img.size, lambda dd, s: dd.line(
        [(11.5 * s, 13 * s), (13.5 * s, 15.5 * s), (17 * s, 10.5 * s)], fill=255, width=int(1.6 * s))))
    draw_text(img, "请勾选需要修复的项目", font(12), NAVY, (25, 5))
    draw_text(img, "关于 Orvane", font(12), NAVY, (split + 12, 5))
    return img


def tool_bar():
    x, y, w, h = TOOLBAR
    img = Image.new("RGB", (w, h), TOOL)
    d = ImageDraw.Draw(img)
    d.rectangle([0, 0, w - 1, h - 1], outline=LINE)
    hline(img, 1, 1, w - 2, WHITE)
    hline(img, h - 2, 1, w - 2, (221, 235, 246))
    return img


def bottom_bar():
    x, y, w, h = BOTTOM
    img = vgradient(w, h, [(0, (40, 114, 198)), (0.45, (28, 94, 180)), (1, DEEP)])
    hline(img, 0, 0, w, (104, 172, 236))
    # a pale capsule behind the blue link text
    lx, ly, lw, lh = LINK
    cap = (lx - 2 - x, ly - 3 - y, lx + lw + 3 - x, ly + lh + 2 - y)
    fill = vgradient(w, h, [(0, (246, 251, 255)), (1, (212, 231, 249))])
    paint(img, fill, rounded(img.size, cap, 9))
    paint(img, (112, 170, 228), rounded(img.size, cap, 9, width=1))
    d = ImageDraw.Draw(img)
    d.line([(0, 0), (0, h - 1)], fill=DEEP)
    d.line([(MAIN_CLIENT_W - 1, 0), (MAIN_CLIENT_W - 1, h - 1)], fill=DEEP)
    d.rectangle([MAIN_CLIENT_W, 0, w - 1, h - 1], fill=DEEP)
    return img


def button(bg, label, top, bottom, border, text_colour, fnt, glow=None):
    img = bg.copy()
    w, h = img.size
    if glow:
        paint(img, glow, rounded(img.size, (0, 0, w, h), 5))
        inset = 1
    else:
        inset = 0
    face = vgradient(w, h, [(0, top[0]), (0.48, top[1]), (0.52, bottom[0]), (1, bottom[1])])
    paint(img, face, rounded(img.size, (inset, inset, w - inset, h - inset), 4))
    paint(img, border, rounded(img.size, (inset, inset, w - inset, h - inset), 4, width=1))
    # inner highlight along the top
    hl = rounded(img.size, (inset + 1, inset + 1, w - inset - 1, h - inset - 1), 3, width=1)
    cut = Image.new("L", img.size, 0)
    ImageDraw.Draw(cut).rectangle([0, 0, w, h // 2], fill=110)
    paint(img, WHITE, Image.composite(hl, Image.new("L", img.size, 0), cut))
    draw_text(img, label, fnt, text_colour, shadow=(0, 1, lerp(bottom[1], (0, 0, 0), 0.3))
              if text_colour == WHITE else None)
    return img


def repair_button(hot):
    bg = Image.new("RGB", REPAIR_BTN[2:], TOOL)
    if hot:
        return button(bg, "立即修复", ((255, 226, 164), (255, 196, 96)), ((255, 166, 52), (250, 144, 30)),
                      (214, 110, 16), WHITE, font(13), glow=(255, 200, 120))
    return button(bg, "立即修复", ((255, 184, 96), (250, 150, 40)), ((236, 124, 12), (220, 104, 4)),
                  (184, 86, 8), WHITE, font(13))


def check_box(checked):
    img = Image.new("RGB", (13, 13), WHITE)
    face = vgradient(11, 11, [(0, (236, 244, 252)), (1, WHITE)])
    img.paste(face, (1, 1))
    d = ImageDraw.Draw(img)
    d.rectangle([0, 0, 12, 12], outline=(52, 112, 184))
    if checked:
        m = soft_mask((13, 13), lambda dd, s: dd.line(
            [(2.8 * s, 6.6 * s), (5.2 * s, 9.0 * s), (10.2 * s, 3.6 * s)], fill=255, width=int(1.9 * s)))
        paint(img, (24, 96, 190), m)
    return img


# ---------------------------------------------------------------- dialogs

def dialog_face():
    img = Image.new("RGB", (DLG_W, DLG_H), (36, 104, 186))
    cw, ch = DLG_CLIENT
    body = vgradient(DLG_W, DLG_H - DLG_STRIP, [(0, (40, 112, 194)), (1, (30, 94, 174))])
    img.paste(body, (0, DLG_STRIP))
    strip = vgradient(DLG_W, DLG_STRIP, [(0, (112, 178, 238)), (1, (78, 152, 226))])
    img.paste(strip, (0, 0))
    hline(img, 0, 0, DLG_W, (150, 200, 245))
    hline(img, DLG_STRIP - 1, 0, DLG_W, (60, 130, 208))
    hline(img, DLG_STRIP, 0, DLG_W, (24, 84, 160))
    d = ImageDraw.Draw(img)
    d.rectangle([0, 0, cw - 1, ch - 1], outline=DEEP)
    d.rectangle([cw, 0, DLG_W - 1, DLG_H - 1], fill=DEEP)
    d.rectangle([0, ch, DLG_W - 1, DLG_H - 1], fill=DEEP)
    return img


def dialog_button(face, rect, label):
    return button(crop(face, rect), label, ((255, 255, 255), (236, 245, 253)), ((218, 235, 250), (196, 222, 246)),
                  (16, 66, 136), NAVY, font(12))


# ---------------------------------------------------------------- files

def to_8bit(img, exact=()):
    """Palettised copy; the colours in exact keep their values."""
    img = img.convert("RGB")
    q = img.quantize(colors=256 - len(exact), method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    pal = q.getpalette()[: (256 - len(exact)) * 3]
    pal += [0] * ((256 - len(exact)) * 3 - len(pal))
    for c in exact:
        pal += list(c)
    q.putpalette(pal)
    src, dst = img.load(), q.load()
    for i, c in enumerate(exact):
        idx = 256 - len(exact) + i
        for y in range(img.height):
            for x in range(img.width):
                if src[x, y] == c:
                    dst[x, y] = idx
    return q


def save_bmp(img, path, depth):
    if depth == 8:
        img = img if img.mode == "P" else to_8bit(img)
    else:
        img = img.convert("RGB")
    img.save(path, "BMP")


def write_icon(path):
    n = 32
    big = Image.new("RGBA", (n * SS, n * SS), (0, 0, 0, 0))
    rgb = Image.new("RGB", (n * SS, n * SS), (0, 0, 0))
    shield(rgb, 1.5 * SS, 0.5 * SS, 29 * SS, 31 * SS, rim=WHITE, body_top=(92, 170, 240), body_bottom=NAVY)
    mask = Image.new("L", rgb.size, 0)
    ImageDraw.Draw(mask).polygon(shield_points(1.5 * SS, 0.5 * SS, 29 * SS, 31 * SS), fill=255)
    big.paste(rgb, (0, 0), mask)
    small = big.resize((n, n), Image.LANCZOS)
    # the 256-colour format has a one-bit mask: edges are blended onto a neutral blue-grey
    alpha = small.getchannel("A")
    base = Image.new("RGB", (n, n), (96, 120, 150))
    base.paste(small.convert("RGB"), (0, 0), alpha)
    q = to_8bit(base)
    pal = q.getpalette()[:768]
    pal += [0] * (768 - len(pal))
    px = q.load()
    a = alpha.load()
    xor_rows, and_rows = [], []
    for y in range(n - 1, -1, -1):  # bottom-up
        xor_rows.append(bytes(px[x, y] if a[x, y] >= 96 else 0 for x in range(n)))
        bits = 0
        for x in range(n):
            bits = (bits << 1) | (1 if a[x, y] < 96 else 0)
        and_rows.append(struct.pack(">I", bits))
    header = struct.pack("<IiiHHIIiiII", 40, n, n * 2, 1, 8, 0, n * n + n * 4, 0, 0, 256, 0)
    palette = b"".join(bytes((pal[i * 3 + 2], pal[i * 3 + 1], pal[i * 3], 0)) for i in range(256))
    body = header + palette + b"".join(xor_rows) + b"".join(and_rows)
    icondir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", n, n, 0, 0, 1, 8, len(body), 6 + 16)
    with open(path, "wb") as f:
        f.write(icondir + entry + body)


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    out = os.path.join(root, "src", "resources", "skin")
    os.makedirs(out, exist_ok=True)

    bg = main_background()
    face = dialog_face()
    pictures = {
        101: (repair_button(False), 8),
        102: (repair_button(True), 8),
        103: (minimise_picture(bg), 8),
        104: (close_picture(bg, CLOSE_BTN), 24),
        105: (to_8bit(bottom_bar(), exact=[DEEP]), 8),
        106: (bg, 24),
        107: (tool_bar(), 24),
        108: (check_box(True), 8),
        109: (title_picture(bg), 24),
        110: (check_box(False), 8),
        111: (top_bar(), 24),
        201: (face, 24),
        202: (close_picture(face, DLG_CLOSE, 4.0), 24),
        203: (dialog_button(face, DLG_OK, "确定"), 24),
        204: (dialog_button(face, DLG_CLEAN, "立即清理"), 24),
        205: (settings_picture(bg), 24),
    }
    for pid, (img, depth) in sorted(pictures.items()):
        if depth == 8 and img.mode != "P":
            img = to_8bit(img, exact=[TOOL, WHITE])
        save_bmp(img, os.path.join(out, f"{pid}.bmp"), depth)
    write_icon(os.path.join(root, "src", "resources", "orvane.ico"))


if __name__ == "__main__":
    main()
