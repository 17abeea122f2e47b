#!/usr/bin/python3
"""Draws every picture of the GUI program and writes them into app/res/.

Run with Debian's /usr/bin/python3 (it sees python3-pil). The outputs are committed, so a
build never needs an image library. The splash picture is packed by the project's own
Paint Shop Pro writer (PspWriter.cpp), compiled here with the host compiler.

    /usr/bin/python3 tools/artwork/make_artwork.py [--check]

--check draws everything into a temporary folder and reports files that differ from the
committed ones (the drawing is deterministic).
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))

ACCENT = (0x00, 0x99, 0xFF)
ACCENT_DARK = (0x00, 0x6F, 0xC0)
ACCENT_LIGHT = (0xD9, 0xEF, 0xFF)
INK = (0x33, 0x3B, 0x45)
INK_SOFT = (0x60, 0x60, 0x60)
FACE = (0xF0, 0xF0, 0xF0)          # dialog background of current Windows versions
MAGENTA = (0xFF, 0x00, 0xFF)        # transparent colour of the page icon
SS = 4                               # supersampling factor for smooth edges

FONT_DIR = "/usr/share/fonts/truetype/dejavu"


def font(size, bold=False):
    name = "DejaVuSans-Bold.ttf" if bold else "DejaVuSans.ttf"
    return ImageFont.truetype(os.path.join(FONT_DIR, name), size)


def canvas(w, h, colour=(0, 0, 0, 0)):
    """A supersampled RGBA drawing surface."""
    img = Image.new("RGBA", (w * SS, h * SS), colour)
    return img, ImageDraw.Draw(img)


def shrink(img, w, h):
    return img.resize((w, h), Image.LANCZOS)


def s(v):
    return int(round(v * SS))


def box(x0, y0, x1, y1):
    return [s(x0), s(y0), s(x1) - 1, s(y1) - 1]


def text_centre(draw, cx, cy, text, fnt, fill):
    l, t, r, b = draw.textbbox((0, 0), text, font=fnt)
    draw.text((cx - (r - l) / 2 - l, cy - (b - t) / 2 - t), text, font=fnt, fill=fill)


def on_colour(rgba, colour):
    """Flattens a picture onto a plain colour (for 24-bit bitmaps)."""
    base = Image.new("RGBA", rgba.size, colour + (255,))
    return Image.alpha_composite(base, rgba).convert("RGB")


def vertical_gradient(w, h, top, bottom):
    img = Image.new("RGB", (w, h))
    px = img.load()
    for y in range(h):
        f = y / max(1, h - 1)
        c = tuple(int(round(top[i] + (bottom[i] - top[i]) * f)) for i in range(3))
        for x in range(w):
            px[x, y] = c
    return img


# --- glyphs shared by several pictures -------------------------------------------------

def draw_disk(draw, x, y, size, body, accent):
    """A drive seen slightly from the front: a rounded slab with a status light."""
    w, h = size, size * 0.62
    draw.rounded_rectangle(box(x, y + size * 0.2, x + w, y + size * 0.2 + h),
                           radius=s(size * 0.12), fill=body)
    draw.rounded_rectangle(box(x + w * 0.08, y + size * 0.2 + h * 0.58, x + w * 0.92,
                               y + size * 0.2 + h * 0.62 + 1), radius=s(1),
                           fill=(255, 255, 255, 90))
    r = size * 0.07
    cx, cy = x + w * 0.8, y + size * 0.2 + h * 0.8
    draw.ellipse(box(cx - r, cy - r, cx + r, cy + r), fill=accent)


def draw_gauge(draw, cx, cy, r, colour, needle=(255, 255, 255, 255), width=0.16):
    """The product mark: a speed gauge arc with its needle."""
    draw.arc(box(cx - r, cy - r, cx + r, cy + r), start=150, end=390, fill=colour,
             width=s(r * width * 1.0))
    import math
    a = math.radians(-40)
    x1, y1 = cx + math.cos(a) * r * 0.78, cy + math.sin(a) * r * 0.78
    draw.line([s(cx), s(cy), s(x1), s(y1)], fill=needle, width=s(r * 0.14))
    hr = r * 0.16
    draw.ellipse(box(cx - hr, cy - hr, cx + hr, cy + hr), fill=needle)


# --- page bar ---------------------------------------------------------------------------

TABS = [("QuickAccess", 0, 144), ("FileAccess", 144, 279), ("BlockAccess", 279, 449),
        ("CheckAccess", 449, 594), ("About", 722, 816)]


def page_bar(selected):
    w, h = 816, 36
    bar = vertical_gradient(w, h, (0xFF, 0xFF, 0xFF), (0xEA, 0xEF, 0xF5)).convert("RGBA")
    img, d = canvas(w, h)
    # Hairlines between tabs (drawn on the boundaries, so clicks and looks agree).
    for x in (144, 279, 449, 594, 722):
        d.rectangle(box(x, 7, x + 1, h - 7), fill=(0xC8, 0xD0, 0xDA, 255))
    for name, x0, x1 in TABS:
        active = name == selected
        if active:
            d.rounded_rectangle(box(x0 + 3, 4, x1 - 3, h + 8), radius=s(6), fill=ACCENT + (255,))
        fnt = font(s(13), bold=active)
        text_centre(d, s((x0 + x1) / 2), s(h / 2 + 1), name, fnt,
                    (255, 255, 255, 255) if active else INK + (255,))
    # The gap carries the product mark; it is no click area.
    draw_gauge(d, 618, 18, 9, ACCENT + (255,), needle=ACCENT_DARK + (255,))
    d.text((s(634), s(9)), "Quellmor", font=font(s(14), bold=True), fill=ACCENT_DARK + (255,))
    # Accent rule along the bottom ties the selected tab to the page below.
    d.rectangle(box(0, h - 3, w, h), fill=ACCENT + (255,))
    bar = Image.alpha_composite(bar, shrink(img, w, h))
    return bar.convert("RGB")


# --- buttons ----------------------------------------------------------------------------

def glyph_play(d, cx, cy, r, fill):
    d.polygon([(s(cx - r * 0.6), s(cy - r)), (s(cx - r * 0.6), s(cy + r)), (s(cx + r), s(cy))],
              fill=fill)


def glyph_stop(d, cx, cy, r, fill):
    d.rounded_rectangle(box(cx - r * 0.8, cy - r * 0.8, cx + r * 0.8, cy + r * 0.8),
                        radius=s(2), fill=fill)


def glyph_read(d, cx, cy, r, fill):      # arrow out of a drive
    d.rectangle(box(cx - r * 0.22, cy - r, cx + r * 0.22, cy + r * 0.2), fill=fill)
    d.polygon([(s(cx - r * 0.7), s(cy + 0.1 * r)), (s(cx + r * 0.7), s(cy + 0.1 * r)),
               (s(cx), s(cy + r))], fill=fill)


def glyph_write(d, cx, cy, r, fill):     # pen stroke
    d.polygon([(s(cx - r), s(cy + r)), (s(cx - r * 0.8), s(cy + r * 0.35)),
               (s(cx + r * 0.55), s(cy - r)), (s(cx + r), s(cy - r * 0.55)),
               (s(cx - r * 0.35), s(cy + r * 0.8))], fill=fill)


def button(label, glyph, colour):
    w, h = 88, 28
    img, d = canvas(w, h, FACE + (255,))
    d.rounded_rectangle(box(0.5, 1, w - 0.5, h), radius=s(5), fill=(0, 0, 0, 40))
    d.rounded_rectangle(box(0.5, 0.5, w - 0.5, h - 1), radius=s(5), fill=colour + (255,))
    glyph(d, 17, h / 2 - 0.5, 6, (255, 255, 255, 255))
    text_centre(d, s(52), s(h / 2 - 0.5), label, font(s(13), bold=True), (255, 255, 255, 255))
    return shrink(img, w, h).convert("RGB")


# --- page icon --------------------------------------------------------------------------

def page_icon():
    size = 48
    img, d = canvas(size, size)
    d.ellipse(box(2, 2, 46, 46), fill=ACCENT + (255,))
    draw_gauge(d, 24, 26, 14, (255, 255, 255, 255), width=0.2)
    icon = shrink(img, size, size)
    # Hard-edged against magenta, because the control keys that colour out.
    out = Image.new("RGB", (size, size), MAGENTA)
    mask = icon.split()[3].point(lambda a: 255 if a >= 128 else 0)
    out.paste(on_colour(icon, (0xFF, 0xFF, 0xFF)), (0, 0), mask)
    return out


# --- icons and cursor files -------------------------------------------------------------

def dib_entry(img):
    """One 32-bit image of an .ico/.cur file: header, colour rows and AND mask, bottom up."""
    w, h = img.size
    px = img.load()
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            r, g, b, a = px[x, y]
            colour += bytes((b, g, r, a))
    stride = ((w + 31) // 32) * 4
    mask = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            if px[x, y][3] < 128:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    return header + bytes(colour) + bytes(mask)


def icon_file(images, kind=1, hotspot=(0, 0)):
    entries, blobs = bytearray(), bytearray()
    offset = 6 + 16 * len(images)
    for img in images:
        blob = dib_entry(img)
        w, h = img.size
        a, b = (1, 32) if kind == 1 else hotspot
        entries += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, a, b, len(blob), offset)
        blobs += blob
        offset += len(blob)
    return struct.pack("<HHH", 0, kind, len(images)) + bytes(entries) + bytes(blobs)


def program_icon(size):
    img, d = canvas(size, size)
    d.rounded_rectangle(box(size * 0.04, size * 0.04, size * 0.96, size * 0.96),
                        radius=s(size * 0.2), fill=ACCENT + (255,))
    draw_gauge(d, size / 2, size * 0.55, size * 0.32, (255, 255, 255, 255),
               width=0.22 if size > 16 else 0.3)
    return shrink(img, size, size)


def device_icon(kind, size):
    img, d = canvas(size, size)
    k = size / 32.0
    white = (255, 255, 255, 255)
    if kind == "optical":
        d.ellipse(box(2 * k, 2 * k, 30 * k, 30 * k), fill=(0xB8, 0xC4, 0xD0, 255))
        d.ellipse(box(5 * k, 5 * k, 27 * k, 27 * k), fill=(0xDD, 0xE6, 0xEF, 255))
        d.pieslice(box(5 * k, 5 * k, 27 * k, 27 * k), 200, 250, fill=(255, 255, 255, 255))
        d.ellipse(box(12 * k, 12 * k, 20 * k, 20 * k), fill=ACCENT + (255,))
        d.ellipse(box(14.5 * k, 14.5 * k, 17.5 * k, 17.5 * k), fill=(0, 0, 0, 0))
    elif kind == "removable":
        d.rounded_rectangle(box(9 * k, 2 * k, 23 * k, 12 * k), radius=s(k), fill=(0xA0, 0xAA, 0xB4, 255))
        d.rectangle(box(12 * k, 5 * k, 14 * k, 8 * k), fill=white)
        d.rectangle(box(18 * k, 5 * k, 20 * k, 8 * k), fill=white)
        d.rounded_rectangle(box(6 * k, 11 * k, 26 * k, 30 * k), radius=s(4 * k), fill=ACCENT + (255,))
        d.ellipse(box(14 * k, 22 * k, 18 * k, 26 * k), fill=white)
    elif kind == "fixed":
        draw_disk(d, 1 * k, 3 * k, 30 * k, (0x4A, 0x55, 0x62, 255), ACCENT + (255,))
    elif kind == "network":
        draw_disk(d, 1 * k, -3 * k, 30 * k, (0x4A, 0x55, 0x62, 255), (0x3C, 0xD0, 0x70, 255))
        d.rectangle(box(15 * k, 20 * k, 17 * k, 27 * k), fill=ACCENT + (255,))
        d.rectangle(box(4 * k, 26 * k, 28 * k, 29 * k), fill=ACCENT + (255,))
    elif kind == "ram":
        d.rounded_rectangle(box(1 * k, 8 * k, 31 * k, 24 * k), radius=s(2 * k), fill=(0x2E, 0x9E, 0x5B, 255))
        for i in range(4):
            x = 4 * k + i * 6.5 * k
            d.rectangle(box(x, 11 * k, x + 5 * k, 19 * k), fill=(0x22, 0x26, 0x2C, 255))
        for i in range(12):
            x = 3 * k + i * 2.2 * k
            d.rectangle(box(x, 24 * k, x + 1.2 * k, 27 * k), fill=(0xE0, 0xB0, 0x30, 255))
    elif kind == "tape":
        d.rounded_rectangle(box(1 * k, 6 * k, 31 * k, 27 * k), radius=s(3 * k), fill=(0x4A, 0x55, 0x62, 255))
        d.rectangle(box(6 * k, 10 * k, 26 * k, 19 * k), fill=(0xDD, 0xE6, 0xEF, 255))
        for cx in (11, 21):
            d.ellipse(box((cx - 3) * k, 11.5 * k, (cx + 3) * k, 17.5 * k), fill=ACCENT + (255,))
        d.rectangle(box(10 * k, 21 * k, 22 * k, 27 * k), fill=(0x36, 0x3F, 0x49, 255))
    elif kind == "iscsi":
        draw_disk(d, 1 * k, -3 * k, 30 * k, (0x4A, 0x55, 0x62, 255), ACCENT + (255,))
        d.ellipse(box(17 * k, 17 * k, 31 * k, 31 * k), fill=ACCENT + (255,))
        d.arc(box(20 * k, 20 * k, 28 * k, 28 * k), 200, 340, fill=white, width=s(1.6 * k))
        d.arc(box(21 * k, 21 * k, 27 * k, 27 * k), 20, 160, fill=white, width=s(1.6 * k))
    return shrink(img, size, size)


# Resource id and picture of each device icon; the list-view image order is
# 117, 114, 115, 116, 113, 154, 162.
DEVICE_ICONS = [(117, "optical"), (114, "removable"), (115, "fixed"), (116, "network"),
                (113, "ram"), (154, "tape"), (162, "iscsi")]


def hand_cursor():
    size = 32
    img, d = canvas(size, size)
    black, white = (0, 0, 0, 255), (255, 255, 255, 255)
    # Pointing hand: finger up from a rounded palm, outlined for any background.
    finger = box(9, 1, 14, 17)
    palm = box(6, 12, 24, 30)
    for grow, colour in ((1.2, black), (0, white)):
        d.rounded_rectangle([finger[0] - s(grow), finger[1] - s(grow), finger[2] + s(grow),
                             finger[3] + s(grow)], radius=s(2.5 + grow), fill=colour)
        d.rounded_rectangle([palm[0] - s(grow), palm[1] - s(grow), palm[2] + s(grow),
                             palm[3] + s(grow)], radius=s(5 + grow), fill=colour)
    d.rounded_rectangle(finger, radius=s(2.5), fill=white)
    for x in (14, 18.5):
        d.line([s(x), s(13), s(x), s(19)], fill=black, width=s(1))
    return shrink(img, size, size), (11, 1)


# --- splash -----------------------------------------------------------------------------

SPLASH_CANVAS = (512, 384)
SPLASH_LAYER = (494, 375)
SPLASH_ORIGIN = (9, 4)


def splash():
    w, h = SPLASH_LAYER
    margin = 10
    # Soft shadow: a blurred dark card, so the edges carry partial alpha all round. It is
    # kept tight and its faint fringe cut off: where the window system cannot blend (no
    # compositor), every non-zero alpha pixel shows, and a wide fringe becomes a dark frame.
    shadow = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    sd = ImageDraw.Draw(shadow)
    sd.rounded_rectangle([margin, margin + 2, w - margin, h - margin + 2], radius=22,
                         fill=(0, 20, 40, 90))
    shadow = shadow.filter(ImageFilter.GaussianBlur(3.5))
    alpha = shadow.split()[3].point(lambda a: 0 if a < 12 else a)
    shadow.putalpha(alpha)

    img, d = canvas(w, h)
    card = box(margin, margin, w - margin, h - margin)
    d.rounded_rectangle(card, radius=s(20), fill=(255, 255, 255, 255))
    # Accent header band, clipped to the card's rounded top.
    band = Image.new("RGBA", img.size, (0, 0, 0, 0))
    bd = ImageDraw.Draw(band)
    bd.rounded_rectangle(card, radius=s(20), fill=ACCENT + (255,))
    cut = Image.new("L", img.size, 0)
    ImageDraw.Draw(cut).rectangle(box(0, 0, w, 200), fill=255)
    band.putalpha(ImageChops.multiply(band.split()[3], cut))
    img = Image.alpha_composite(img, band)
    d = ImageDraw.Draw(img)
    draw_gauge(d, w / 2, 104, 46, (255, 255, 255, 255), width=0.17)
    text_centre(d, s(w / 2), s(174), "Quellmor", font(s(40), bold=True), (255, 255, 255, 255))
    text_centre(d, s(w / 2), s(238), "Storage speed benchmark", font(s(17)), INK + (255,))
    # Speed bars: the product's subject, drawn as a rising row of blocks.
    for i in range(12):
        bh = 8 + i * 3.2
        x = w / 2 - 12 * 9 + i * 18
        d.rounded_rectangle(box(x, 312 - bh, x + 12, 312), radius=s(2),
                            fill=(ACCENT if i < 9 else ACCENT_LIGHT) + (255,))
    text_centre(d, s(w / 2), s(334), "Velantix", font(s(12)), (0x8A, 0x96, 0xA3, 255))
    return Image.alpha_composite(shadow, shrink(img, w, h))


# --- pictures of the HTML pages ---------------------------------------------------------

def info_title_gif():
    w, h = 320, 96
    img, d = canvas(w, h, (255, 255, 255, 255))
    d.rounded_rectangle(box(8, 12, 80, 84), radius=s(16), fill=ACCENT + (255,))
    draw_gauge(d, 44, 52, 24, (255, 255, 255, 255), width=0.2)
    d.text((s(96), s(20)), "Quellmor", font=font(s(36), bold=True), fill=ACCENT + (255,))
    d.text((s(98), s(64)), "storage speed benchmark", font=font(s(13)), fill=INK_SOFT + (255,))
    return shrink(img, w, h).convert("RGB")


def block_access_gif():
    """The linear access: 4 blocks read, 1 skipped, speed computed every 2nd access."""
    w, h = 455, 196
    img, d = canvas(w, h, (255, 255, 255, 255))
    small, label = font(s(11)), font(s(12), bold=True)
    red = (0xE0, 0x40, 0x30, 255)
    cell, gap, x0, y0 = 16, 2, 14, 58
    step = cell + gap
    for i in range(24):
        accessed = i % 5 < 4
        x = x0 + i * step
        fill = (ACCENT if (i // 5) % 2 == 0 else ACCENT_DARK) if accessed else (0xE4, 0xE8, 0xEC)
        d.rounded_rectangle(box(x, y0, x + cell, y0 + 26), radius=s(3), fill=fill + (255,))
        if not accessed:
            d.line([s(x + 3), s(y0 + 23), s(x + cell - 3), s(y0 + 3)],
                   fill=(0xA0, 0xA8, 0xB0, 255), width=s(1.5))
        text_centre(d, s(x + cell / 2), s(y0 + 36), str(i), font(s(9)), INK_SOFT + (255,))
    # What one access covers, and the block left out after it.
    xb = x0 + 4 * step - gap
    d.line([s(x0), s(y0 - 4), s(x0), s(y0 - 10), s(xb), s(y0 - 10), s(xb), s(y0 - 4)],
           fill=INK + (255,), width=s(1.2))
    d.line([s((x0 + xb) / 2), s(y0 - 10), s((x0 + xb) / 2), s(y0 - 30)], fill=INK + (255,),
           width=s(1.2))
    d.text((s(x0), s(y0 - 46)), "blocks per access = 4", font=small, fill=INK + (255,))
    sx = x0 + 4 * step + cell / 2
    d.line([s(sx), s(y0 - 3), s(sx), s(y0 - 16), s(sx + 24), s(y0 - 16)], fill=INK + (255,),
           width=s(1.2))
    d.text((s(sx + 28), s(y0 - 23)), "skipped blocks = 1", font=small, fill=INK + (255,))
    # Accesses numbered below, with the speed calculation after every second one.
    ya = y0 + 48
    for a in range(5):
        xa = x0 + a * 5 * step
        xe = xa + 4 * step - gap
        d.line([s(xa), s(ya), s(xa), s(ya + 6), s(xe), s(ya + 6), s(xe), s(ya)],
               fill=INK_SOFT + (255,), width=s(1))
        text_centre(d, s((xa + xe) / 2), s(ya + 16), "access %d" % (a + 1), font(s(9)),
                    INK_SOFT + (255,))
        if a % 2 == 1:
            cx = xe + step / 2
            d.line([s(cx), s(y0 - 2), s(cx), s(ya + 34)], fill=red, width=s(1.5))
            text_centre(d, s(cx), s(ya + 44), "CalcSpeed()", small, red)
    d.text((s(14), s(h - 24)), "calc speed every 2nd access", font=label, fill=ACCENT_DARK + (255,))
    return shrink(img, w, h).convert("RGB")


# --- driver -----------------------------------------------------------------------------

def build_psp_pack(workdir):
    exe = os.path.join(workdir, "psp_pack")
    subprocess.check_call(["g++", "-O2", "-std=c++17", "-I", ROOT,
                           os.path.join(HERE, "psp_pack.cpp"), os.path.join(HERE, "PspWriter.cpp"),
                           "-o", exe])
    return exe


def pack_psp(pack, rgba_img, out, origin, canvas_size, raw=False):
    raw_path = out + ".rgba"
    with open(raw_path, "wb") as f:
        f.write(rgba_img.tobytes())
    w, h = rgba_img.size
    cmd = [pack, str(w), str(h), str(canvas_size[0]), str(canvas_size[1]), str(origin[0]),
           str(origin[1]), raw_path, out] + (["raw"] if raw else [])
    subprocess.check_call(cmd)
    os.remove(raw_path)


def write_all(res, corpus, work):
    os.makedirs(res, exist_ok=True)
    os.makedirs(corpus, exist_ok=True)
    for name, page in (("pagebar_quick.bmp", "QuickAccess"), ("pagebar_file.bmp", "FileAccess"),
                       ("pagebar_block.bmp", "BlockAccess"), ("pagebar_check.bmp", "CheckAccess"),
                       ("pagebar_about.bmp", "About")):
        page_bar(page).save(os.path.join(res, name))
    button("Read", glyph_read, ACCENT).save(os.path.join(res, "button_read.bmp"))
    button("Write", glyph_write, ACCENT_DARK).save(os.path.join(res, "button_write.bmp"))
    button("Stop", glyph_stop, (0xD8, 0x3B, 0x2E)).save(os.path.join(res, "button_stop.bmp"))
    button("Start", glyph_play, (0x1E, 0x9E, 0x4A)).save(os.path.join(res, "button_start.bmp"))
    page_icon().save(os.path.join(res, "page_icon.bmp"))
    with open(os.path.join(res, "quellmor.ico"), "wb") as f:
        f.write(icon_file([program_icon(n) for n in (16, 32, 48)]))
    for rid, kind in DEVICE_ICONS:
        with open(os.path.join(res, "device_%s.ico" % kind), "wb") as f:
            f.write(icon_file([device_icon(kind, 16), device_icon(kind, 32)]))
    cursor, hotspot = hand_cursor()
    with open(os.path.join(res, "hand.cur"), "wb") as f:
        f.write(icon_file([cursor], kind=2, hotspot=hotspot))
    info_title_gif().save(os.path.join(res, "info_title.gif"))
    block_access_gif().save(os.path.join(res, "block_access.gif"))

    pack = build_psp_pack(work)
    pack_psp(pack, splash(), os.path.join(res, "splash.psp"), SPLASH_ORIGIN, SPLASH_CANVAS)
    # Small seeds for the decoder's fuzz target: one raw, one run-length.
    seed = program_icon(16)
    pack_psp(pack, seed, os.path.join(corpus, "icon16_rle.psp"), (2, 3), (20, 20))
    pack_psp(pack, seed, os.path.join(corpus, "icon16_raw.psp"), (0, 0), (16, 16), raw=True)


def main():
    check = "--check" in sys.argv[1:]
    res = os.path.join(ROOT, "app", "res")
    corpus = os.path.join(ROOT, "tests", "corpus", "psp_decoder_fuzzer")
    with tempfile.TemporaryDirectory() as work:
        if not check:
            write_all(res, corpus, work)
            return 0
        write_all(os.path.join(work, "res"), os.path.join(work, "corpus"), work)
        differ = []
        for folder, committed in (("res", res), ("corpus", corpus)):
            for name in sorted(os.listdir(os.path.join(work, folder))):
                fresh = os.path.join(work, folder, name)
                old = os.path.join(committed, name)
                if not os.path.exists(old) or open(old, "rb").read() != open(fresh, "rb").read():
                    differ.append(os.path.join(committed, name))
        for name in differ:
            print("differs:", os.path.relpath(name, ROOT))
        return 1 if differ else 0


if __name__ == "__main__":
    sys.exit(main())
