#!/usr/bin/env python3
"""Draws the program's own look into assets/: two skins, one icon set and
two smiley sets.

  Skin/Default/Default.Skin.xml  screens up to 200 pixels wide (176x220)
  Skin/QVGA/QVGA.Skin.xml        wider screens (240x320)
  Icons/Default/Default.Icons.xml  the eight presence icons, 16x16
  Smilies/Default/Default.Smilies.xml  picture smilies, 16x16
  Smilies/Text/Text.Smilies.xml  the same codes without pictures

Every picture is described by simple shapes (discs, rings, rounded boxes,
polygons, strokes) on a 16-unit grid and drawn at the size a skin needs.
Edges that meet the transparent key colour (magenta, also the top-left pixel
of every picture) are hard, so no pink fringe shows on any background;
edges inside a picture are smoothed. Pictures are 24-bit bottom-up BMP
files. The output is the same on every run, so the committed files can be
checked against this script.

Usage: tools/make-look.py [ASSETS_FOLDER]   (default: assets)
"""
import math
import os
import struct
import sys

KEY = (255, 0, 255)
SAMPLES = 4  # sub-samples per pixel side


def hex_colour(text):
    return tuple(int(text[i:i + 2], 16) for i in (1, 3, 5))


# --- shapes: each is a test "is the point (x, y) inside", in grid units ----

def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, outer, inner):
    return lambda x, y: inner * inner <= (x - cx) ** 2 + (y - cy) ** 2 <= outer * outer


def box(x0, y0, x1, y1, r=0.0):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        dx = max(x0 + r - x, 0, x - (x1 - r))
        dy = max(y0 + r - y, 0, y - (y1 - r))
        return dx * dx + dy * dy <= r * r
    return inside


def polygon(points):
    def inside(x, y):
        hit = False
        j = len(points) - 1
        for i, (xi, yi) in enumerate(points):
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                hit = not hit
            j = i
        return hit
    return inside


def stroke(points, width):
    """A polyline of the given width with round ends and joints."""
    half = width / 2.0

    def near(x, y, a, b):
        (ax, ay), (bx, by) = a, b
        dx, dy = bx - ax, by - ay
        length = dx * dx + dy * dy
        t = 0.0 if length == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length))
        px, py = ax + t * dx - x, ay + t * dy - y
        return px * px + py * py <= half * half

    return lambda x, y: any(near(x, y, points[i], points[i + 1]) for i in range(len(points) - 1))


def arc(cx, cy, r, width, start, end):
    """Part of a ring, angles in degrees, 0 = right, counter-clockwise (y up)."""
    half = width / 2.0

    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        if abs(d - r) > half:
            return False
        a = math.degrees(math.atan2(cy - y, x - cx)) % 360
        s, e = start % 360, end % 360
        return s <= a <= e if s <= e else a >= s or a <= e
    return inside


def minus(shape, hole):
    return lambda x, y: shape(x, y) and not hole(x, y)


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


# --- canvas -----------------------------------------------------------------

class Canvas:
    def __init__(self, width, height, grid=16.0, fill=KEY):
        self.width, self.height = width, height
        self.sx, self.sy = width / grid, height / grid
        self.pixels = [[fill] * width for _ in range(height)]

    def paint(self, shape, colour):
        colour = hex_colour(colour) if isinstance(colour, str) else colour
        n = SAMPLES
        for py in range(self.height):
            for px in range(self.width):
                hits = 0
                for j in range(n):
                    for i in range(n):
                        if shape((px + (i + 0.5) / n) / self.sx, (py + (j + 0.5) / n) / self.sy):
                            hits += 1
                if hits == 0:
                    continue
                cover = hits / (n * n)
                under = self.pixels[py][px]
                if under == KEY:
                    # Hard edge against transparency: no fringe.
                    if cover >= 0.5:
                        self.pixels[py][px] = colour
                else:
                    self.pixels[py][px] = tuple(round(u + (c - u) * cover) for u, c in zip(under, colour))

    def dot(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = hex_colour(colour) if isinstance(colour, str) else colour

    def vertical_gradient(self, top, bottom):
        top, bottom = hex_colour(top), hex_colour(bottom)
        for y in range(self.height):
            t = y / max(1, self.height - 1)
            c = tuple(round(a + (b - a) * t) for a, b in zip(top, bottom))
            self.pixels[y] = [c] * self.width

    def save_bmp(self, path):
        stride = (self.width * 3 + 3) & ~3
        rows = []
        for y in range(self.height - 1, -1, -1):
            row = b"".join(struct.pack("BBB", b, g, r) for (r, g, b) in self.pixels[y])
            rows.append(row + b"\0" * (stride - len(row)))
        data = b"".join(rows)
        header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 54)
        info = struct.pack("<IiiHHIIiiII", 40, self.width, self.height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
        with open(path, "wb") as out:
            out.write(header + info + data)


# --- palette ----------------------------------------------------------------

INK = "#24344F"       # outlines and dark symbols
WHITE = "#FFFFFF"
BLUE = "#2F6BC4"
BLUE_LIGHT = "#DCE9FA"
RED = "#D2362B"


def status_disc(c, fill, rim):
    c.paint(disc(8, 8, 7.4), rim)
    c.paint(disc(8, 8, 6.2), fill)


def clock_hands(c, colour):
    c.paint(stroke([(8, 3.8), (8, 8), (11.2, 8)], 1.5), colour)


# --- presence icons (16x16) ---------------------------------------------------

def icon_online(c):
    status_disc(c, "#3DBE4A", "#1E7A2A")
    c.paint(disc(6.2, 5.8, 1.8), "#A8E8AE")


def icon_free4chat(c):
    c.paint(union(box(0.6, 1.2, 15.4, 11.6, 3.4), polygon([(3.5, 10), (8, 10), (2.8, 15.2)])), "#1E7A2A")
    c.paint(union(box(1.8, 2.4, 14.2, 10.4, 2.4), polygon([(4.6, 9.5), (7, 9.5), (4.4, 12.6)])), "#3DBE4A")
    for x in (4.8, 8, 11.2):
        c.paint(disc(x, 6.4, 1.3), WHITE)


def icon_away(c):
    status_disc(c, "#F2C230", "#A8780C")
    clock_hands(c, INK)


def icon_na(c):
    c.paint(minus(disc(7.6, 8, 7.2), disc(11.2, 5.6, 6.0)), "#4A4FA8")
    c.paint(minus(disc(7.6, 8, 6.0), disc(11.2, 5.6, 7.0)), "#8E93E0")


def icon_occupied(c):
    status_disc(c, "#F08A24", "#A4520A")
    c.paint(polygon([(5, 3.8), (11, 3.8), (8, 8)]), WHITE)
    c.paint(polygon([(8, 8), (11, 12.2), (5, 12.2)]), WHITE)


def icon_dnd(c):
    status_disc(c, "#E0392E", "#8E1A14")
    c.paint(box(3.6, 6.6, 12.4, 9.4, 0.6), WHITE)


def icon_invisible(c):
    c.paint(ring(8, 8, 7.4, 5.0), "#6F7F99")
    c.paint(ring(8, 8, 6.2, 5.0), "#C9D3E3")
    c.paint(disc(8, 8, 1.6), "#6F7F99")


def icon_offline(c):
    status_disc(c, "#B4BBC6", "#6E7684")
    c.paint(stroke([(5.4, 5.4), (10.6, 10.6)], 1.7), WHITE)
    c.paint(stroke([(10.6, 5.4), (5.4, 10.6)], 1.7), WHITE)


PRESENCE = [
    ("online", icon_online), ("free4chat", icon_free4chat), ("away", icon_away), ("na", icon_na),
    ("occupied", icon_occupied), ("dnd", icon_dnd), ("invisible", icon_invisible), ("offline", icon_offline),
]


# --- tool bar images (square, drawn at the skin's image size) ---------------

def speaker(c):
    c.paint(polygon([(1.5, 6), (4.5, 6), (8.5, 2.2), (8.5, 13.8), (4.5, 10), (1.5, 10)]), INK)


def cross_out(c):
    c.paint(stroke([(2.5, 13.5), (13.5, 2.5)], 3.2), WHITE)
    c.paint(stroke([(2.5, 13.5), (13.5, 2.5)], 1.8), RED)


def tb_quit(c):
    c.paint(arc(8, 8.6, 5.6, 2.0, 120, 420), RED)
    c.paint(stroke([(8, 1.6), (8, 8)], 2.0), RED)


def two_people(c, second):
    c.paint(disc(5.4, 5.2, 3.0), "#3DBE4A")
    c.paint(box(1.0, 9.0, 9.8, 14.6, 3.0), "#3DBE4A")
    second(c)


def tb_showoffline(c):
    def grey(c2):
        c2.paint(disc(11.2, 5.2, 3.0), "#9AA3B2")
        c2.paint(box(7.2, 9.0, 15.4, 14.6, 3.0), "#9AA3B2")
    two_people(c, grey)


def tb_hideoffline(c):
    def dashed(c2):
        c2.paint(ring(11.2, 5.2, 3.0, 1.9), "#9AA3B2")
        c2.paint(minus(box(7.2, 9.0, 15.4, 14.6, 3.0), box(8.3, 10.1, 14.3, 14.6, 2.0)), "#9AA3B2")
    two_people(c, dashed)
    c.paint(stroke([(8.2, 14.8), (15.2, 1.6)], 1.8), RED)


def tb_soundon(c):
    speaker(c)
    c.paint(arc(8.4, 8, 3.6, 1.4, -50, 50), BLUE)
    c.paint(arc(8.4, 8, 6.4, 1.4, -55, 55), BLUE)


def tb_soundoff(c):
    speaker(c)
    cross_out(c)


def phone(c):
    c.paint(box(4.6, 1.0, 11.4, 15.0, 1.6), INK)
    c.paint(box(5.8, 2.6, 10.2, 10.6), "#9CC3F0")
    c.paint(disc(8, 12.8, 0.9), WHITE)


def tb_vibroon(c):
    phone(c)
    for side in (-1, 1):
        x = 8 + side * 5.6
        c.paint(stroke([(x, 4.2), (x + side * 1.2, 6.2), (x, 8.2), (x + side * 1.2, 10.2), (x, 12.2)], 1.1), BLUE)


def tb_vibrooff(c):
    phone(c)
    cross_out(c)


def list_lines(c):
    for y in (3.2, 8, 12.8):
        c.paint(box(1.0, y - 1.2, 3.4, y + 1.2, 0.6), "#3DBE4A")
        c.paint(box(5.0, y - 0.9, 9.0, y + 0.9, 0.5), INK)


def tb_scrollingon(c):
    list_lines(c)
    c.paint(arc(11.2, 8, 3.4, 1.6, -90, 90), BLUE)
    c.paint(polygon([(8.2, 9.2), (11.6, 12.0), (8.2, 14.6)]), BLUE)


def tb_scrollingoff(c):
    list_lines(c)
    c.paint(stroke([(12.4, 2.2), (12.4, 10.6)], 1.6), "#7D889A")
    c.paint(polygon([(9.6, 10.0), (15.2, 10.0), (12.4, 13.4)]), "#7D889A")
    c.paint(box(9.6, 13.8, 15.2, 15.2), "#7D889A")


def bubble(c, fill, rim):
    c.paint(union(box(0.8, 1.6, 15.2, 11.6, 3.2), polygon([(3.6, 10.5), (7.6, 10.5), (2.8, 15.4)])), rim)
    c.paint(union(box(2.0, 2.8, 14.0, 10.4, 2.2), polygon([(4.6, 9.8), (6.6, 9.8), (4.1, 12.6)])), fill)


def tb_chat(c):
    bubble(c, WHITE, BLUE)
    for y in (5.2, 8.0):
        c.paint(box(4.2, y - 0.7, 11.8 if y < 6 else 9.6, y + 0.7, 0.4), BLUE)


def tb_info(c):
    c.paint(disc(8, 8, 7.4), BLUE)
    c.paint(disc(8, 4.4, 1.5), WHITE)
    c.paint(box(6.8, 6.8, 9.2, 12.6, 0.4), WHITE)


def tb_find(c):
    c.paint(stroke([(10.0, 10.0), (14.4, 14.4)], 3.0), INK)
    c.paint(disc(6.6, 6.6, 5.6), INK)
    c.paint(disc(6.6, 6.6, 4.0), "#CFE3FB")
    c.paint(disc(5.2, 5.0, 1.3), WHITE)


def tb_account(c):
    c.paint(disc(8, 5.0, 3.6), BLUE)
    c.paint(box(2.2, 9.4, 13.8, 15.4, 4.2), BLUE)


def tb_settings(c):
    teeth = []
    for k in range(16):
        angle = math.radians(k * 22.5 + 11.25)
        r = 7.5 if k % 2 == 0 else 5.4
        for offset in (-0.22, 0.22):
            teeth.append((8 + r * math.cos(angle + offset), 8 - r * math.sin(angle + offset)))
    c.paint(polygon(teeth), "#5C6B84")
    c.paint(disc(8, 8, 2.2), WHITE)


ACTIONS = [
    ("quit", tb_quit), ("showoffline", tb_showoffline), ("hideoffline", tb_hideoffline),
    ("soundon", tb_soundon), ("soundoff", tb_soundoff), ("vibroon", tb_vibroon), ("vibrooff", tb_vibrooff),
    ("scrollingon", tb_scrollingon), ("scrollingoff", tb_scrollingoff), ("chat", tb_chat), ("info", tb_info),
    ("find", tb_find), ("account", tb_account), ("settings", tb_settings),
]

# Digits 3 pixels wide and 5 high, one string per row.
DIGITS = {
    "0": ["###", "#.#", "#.#", "#.#", "###"], "1": [".#.", "##.", ".#.", ".#.", "###"],
    "2": ["###", "..#", "###", "#..", "###"], "3": ["###", "..#", ".##", "..#", "###"],
    "4": ["#.#", "#.#", "###", "..#", "..#"], "5": ["###", "#..", "###", "..#", "###"],
    "6": ["###", "#..", "###", "#.#", "###"], "7": ["###", "..#", ".#.", ".#.", ".#."],
    "8": ["###", "#.#", "###", "#.#", "###"], "9": ["###", "#.#", "###", "..#", "###"],
}


def key_digit(size, digit, scale):
    """The key number of a button, drawn over its action image: a small
    digit on a white plate in the bottom-right corner."""
    c = Canvas(size, size)
    w, h = 3 * scale + 2, 5 * scale + 2
    x0, y0 = size - w, size - h
    for y in range(h):
        for x in range(w):
            c.dot(x0 + x, y0 + y, WHITE)
    for row, bits in enumerate(DIGITS[digit]):
        for col, bit in enumerate(bits):
            if bit == "#":
                for dy in range(scale):
                    for dx in range(scale):
                        c.dot(x0 + 1 + col * scale + dx, y0 + 1 + row * scale + dy, INK)
    return c


# --- row markers --------------------------------------------------------------

def mk_chat(c):
    bubble(c, WHITE, BLUE)


def mk_message(c):
    c.paint(box(0.6, 2.6, 15.4, 13.4, 1.2), "#B8860B")
    c.paint(box(1.8, 3.8, 14.2, 12.2, 0.4), "#FFE9A8")
    c.paint(stroke([(2.2, 4.4), (8, 9.0), (13.8, 4.4)], 1.4), "#B8860B")


def mk_typing(c):
    bubble(c, "#FFF6D8", "#A07A10")
    for x in (5.0, 8.0, 11.0):
        c.paint(disc(x, 6.6, 1.2), "#A07A10")


def mk_auth(c):
    c.paint(ring(5.4, 8, 4.4, 2.0), "#B8860B")
    c.paint(box(9.0, 7.0, 15.4, 9.0), "#B8860B")
    c.paint(box(12.0, 8.0, 13.6, 12.0), "#B8860B")
    c.paint(box(14.0, 8.0, 15.4, 11.0), "#B8860B")


# File names differ from the tool bar images ("chat" is both).
MARKERS = [("mark-chat", mk_chat), ("mark-msg", mk_message), ("mark-typing", mk_typing), ("mark-auth", mk_auth)]


# --- sets ------------------------------------------------------------------------

def draw(path, size, painter):
    c = Canvas(size, size)
    painter(c)
    c.save_bmp(path)


def write_text(path, text):
    with open(path, "w", encoding="utf-8", newline="\n") as out:
        out.write(text)


def make_icons(root):
    folder = os.path.join(root, "Icons", "Default")
    os.makedirs(folder, exist_ok=True)
    lines = ["<?xml version=\"1.0\" encoding=\"utf-8\"?>", "<icons>", "  <desc>Corvane Icons</desc>"]
    for name, painter in PRESENCE:
        draw(os.path.join(folder, name + ".bmp"), 16, painter)
        lines.append("  <%s>%s.bmp</%s>" % (name, name, name))
    lines.append("</icons>")
    write_text(os.path.join(folder, "Default.Icons.xml"), "\n".join(lines) + "\n")


SKINS = {
    # name: screen, image size, button width, values
    "Default": dict(
        screen=(176, 220), image=16, button=17, marker=13, digit=1,
        desc="Corvane for 176x220", contact_height=18, list_font=13, status_height=15, status_font=11,
        status_offset=1, toolbar_height=19, chat_font=13, info_font=11),
    "QVGA": dict(
        screen=(240, 320), image=22, button=23, marker=16, digit=1,
        desc="Corvane for 240x320", contact_height=22, list_font=16, status_height=19, status_font=13,
        status_offset=1, toolbar_height=25, chat_font=16, info_font=13),
}


def make_skin(root, name, v):
    folder = os.path.join(root, "Skin", name)
    os.makedirs(folder, exist_ok=True)
    background = Canvas(*v["screen"])
    background.vertical_gradient("#F7FAFF", "#DDE8F7")
    background.save_bmp(os.path.join(folder, "background.bmp"))
    for action, painter in ACTIONS:
        draw(os.path.join(folder, action + ".bmp"), v["image"], painter)
    for digit in "0123456789":
        key_digit(v["image"], digit, v["digit"]).save_bmp(os.path.join(folder, "b%s.bmp" % digit))
    for marker, painter in MARKERS:
        draw(os.path.join(folder, marker + ".bmp"), v["marker"], painter)

    images = "\n".join("    <b%s>b%s.bmp</b%s>" % (d, d, d) for d in "0123456789")
    images += "\n" + "\n".join("    <%s>%s.bmp</%s>" % (a, a, a) for a, _ in ACTIONS)
    text = """<?xml version="1.0" encoding="utf-8"?>
<skin>
  <desc>{desc}</desc>
  <bgcolor>#EEF4FC</bgcolor>
  <bgimage>background.bmp</bgimage>
  <status>
    <fgcolor>#1F3358</fgcolor>
    <height>{status_height}</height>
    <textoffset>{status_offset}</textoffset>
    <fontname>Nina</fontname>
    <fontsize>{status_font}</fontsize>
    <fontbold>1</fontbold>
  </status>
  <contactlist>
    <bgcolor>TRANSPARENT</bgcolor>
    <onlinecolor>#12305E</onlinecolor>
    <offlinecolor>#75819A</offlinecolor>
    <selbgcolor>#C9DCF6</selbgcolor>
    <selbordercolor>#3F6FB8</selbordercolor>
    <contactheight>{contact_height}</contactheight>
    <fontname>Nina</fontname>
    <fontsize>{list_font}</fontsize>
    <fontbold>0</fontbold>
    <chatimage>mark-chat.bmp</chatimage>
    <msgimage>mark-msg.bmp</msgimage>
    <typingimage>mark-typing.bmp</typingimage>
    <authimage>mark-auth.bmp</authimage>
  </contactlist>
  <toolbar>
    <bgcolor>#D5E2F3</bgcolor>
    <selbgcolor>#B7CDEC</selbgcolor>
    <height>{toolbar_height}</height>
  </toolbar>
  <toolbarimages>
    <size>{button}</size>
{images}
  </toolbarimages>
  <chat>
    <bgcolor>#FFFFFF</bgcolor>
    <selfcolor>#1D4C9C</selfcolor>
    <buddycolor>#A8322A</buddycolor>
    <fontname>Nina</fontname>
    <fontsize>{chat_font}</fontsize>
    <fontbold>0</fontbold>
    <msgareaheight>3</msgareaheight>
    <smileiconspacing>2</smileiconspacing>
  </chat>
  <userinfo>
    <fontname>Nina</fontname>
    <fontsize>{info_font}</fontsize>
  </userinfo>
</skin>
""".format(images=images, **v)
    write_text(os.path.join(folder, name + ".Skin.xml"), text)


# --- smilies (16x16) ----------------------------------------------------------

FACE = "#FFD13F"
FACE_RIM = "#B87B06"
FACE_INK = "#5A3A0A"
CHEEK = "#F59A7A"
TEAR = "#4AA3F0"


def face(c, fill=FACE, rim=FACE_RIM):
    c.paint(disc(8, 8, 7.5), rim)
    c.paint(disc(8, 8, 6.4), fill)
    c.paint(disc(5.6, 5.2, 1.6), "#FFE58F" if fill == FACE else fill)


def eyes(c, y=6.2, r=1.05, colour=FACE_INK):
    c.paint(disc(5.6, y, r), colour)
    c.paint(disc(10.4, y, r), colour)


def smile_mouth(c, r=3.6, cy=8.4, width=1.3):
    c.paint(arc(8, cy, r, width, 205, 335), FACE_INK)


def frown_mouth(c, cy=13.8):
    c.paint(arc(8, cy, 3.0, 1.2, 50, 130), FACE_INK)


def sm_smile(c):
    face(c)
    eyes(c)
    smile_mouth(c)


def sm_wink(c):
    face(c)
    c.paint(disc(5.6, 6.2, 1.05), FACE_INK)
    c.paint(stroke([(9.2, 6.4), (11.6, 6.0)], 1.1), FACE_INK)
    smile_mouth(c)


def sm_sad(c):
    face(c)
    eyes(c, y=6.6)
    frown_mouth(c)


def sm_grin(c):
    face(c)
    eyes(c, y=5.8)
    c.paint(polygon([(3.8, 8.8), (12.2, 8.8), (11.0, 11.6), (8, 12.8), (5.0, 11.6)]), FACE_INK)
    c.paint(polygon([(4.9, 9.4), (11.1, 9.4), (10.5, 10.4), (5.5, 10.4)]), WHITE)


def sm_tongue(c):
    face(c)
    eyes(c)
    c.paint(stroke([(4.8, 10.0), (11.2, 10.0)], 1.3), FACE_INK)
    c.paint(box(6.6, 10.2, 9.8, 13.6, 1.6), "#E2455A")
    c.paint(stroke([(8.2, 10.8), (8.2, 12.4)], 0.6), "#A8283A")


def sm_kiss(c):
    face(c)
    eyes(c)
    c.paint(ring(8.4, 10.8, 1.6, 0.7), "#D0304A")
    c.paint(polygon([(11.6, 9.6), (13.0, 8.4), (14.4, 9.6), (13.0, 11.4)]), "#E2455A")


def sm_cool(c):
    face(c)
    c.paint(box(3.0, 4.6, 7.4, 7.6, 1.2), "#1F2A3A")
    c.paint(box(8.6, 4.6, 13.0, 7.6, 1.2), "#1F2A3A")
    c.paint(stroke([(2.0, 5.4), (14.0, 5.4)], 0.9), "#1F2A3A")
    c.paint(disc(4.6, 5.4, 0.6), "#7C93B8")
    smile_mouth(c, r=3.2, cy=8.8)


def sm_cry(c):
    face(c)
    eyes(c, y=6.6)
    frown_mouth(c)
    c.paint(union(disc(4.6, 10.4, 1.3), polygon([(3.5, 10.0), (5.7, 10.0), (4.6, 7.8)])), TEAR)


def sm_surprised(c):
    face(c)
    eyes(c, y=5.8, r=1.2)
    c.paint(ring(8, 10.8, 2.2, 1.1), FACE_INK)


def sm_angry(c):
    face(c, fill="#F4803A", rim="#A23A0C")
    c.paint(stroke([(3.8, 4.4), (6.8, 5.8)], 1.1), FACE_INK)
    c.paint(stroke([(12.2, 4.4), (9.2, 5.8)], 1.1), FACE_INK)
    eyes(c, y=7.0, r=0.95)
    frown_mouth(c, cy=14.6)


def sm_confused(c):
    face(c)
    eyes(c)
    c.paint(stroke([(4.6, 11.2), (6.2, 10.0), (8.0, 11.2), (9.8, 10.0), (11.4, 11.2)], 1.1), FACE_INK)


def sm_straight(c):
    face(c)
    eyes(c)
    c.paint(stroke([(5.0, 10.6), (11.0, 10.6)], 1.3), FACE_INK)


def sm_laugh(c):
    face(c)
    c.paint(stroke([(4.2, 5.0), (6.6, 6.2), (4.2, 7.4)], 1.0), FACE_INK)
    c.paint(stroke([(11.8, 5.0), (9.4, 6.2), (11.8, 7.4)], 1.0), FACE_INK)
    c.paint(polygon([(3.8, 8.8), (12.2, 8.8), (11.0, 11.8), (8, 13.2), (5.0, 11.8)]), FACE_INK)
    c.paint(box(6.2, 11.4, 9.8, 12.8, 0.7), "#E2455A")


def sm_blush(c):
    face(c)
    eyes(c)
    c.paint(disc(4.2, 9.0, 1.4), CHEEK)
    c.paint(disc(11.8, 9.0, 1.4), CHEEK)
    smile_mouth(c, r=2.6, cy=9.0, width=1.1)


def sm_angel(c):
    c.paint(minus(box(3.2, 0.4, 12.8, 3.4, 1.5), box(4.6, 1.4, 11.4, 2.4, 0.5)), "#E0A812")
    c.paint(disc(8, 9.2, 6.6), FACE_RIM)
    c.paint(disc(8, 9.2, 5.6), FACE)
    eyes(c, y=7.8, r=0.9)
    smile_mouth(c, r=2.8, cy=9.8, width=1.1)


def sm_devil(c):
    c.paint(polygon([(2.0, 0.6), (5.6, 3.4), (3.0, 5.2)]), "#B0201A")
    c.paint(polygon([(14.0, 0.6), (10.4, 3.4), (13.0, 5.2)]), "#B0201A")
    c.paint(disc(8, 9, 6.8), "#8E1A14")
    c.paint(disc(8, 9, 5.8), "#E0392E")
    c.paint(stroke([(4.6, 6.4), (7.0, 7.6)], 1.0), FACE_INK)
    c.paint(stroke([(11.4, 6.4), (9.0, 7.6)], 1.0), FACE_INK)
    c.paint(arc(8, 9.2, 3.2, 1.2, 200, 340), FACE_INK)


def sm_sleepy(c):
    face(c)
    c.paint(arc(5.6, 5.2, 1.6, 0.9, 200, 340), FACE_INK)
    c.paint(arc(10.4, 5.2, 1.6, 0.9, 200, 340), FACE_INK)
    c.paint(ring(8, 10.8, 1.3, 0.5), FACE_INK)
    c.paint(stroke([(11.2, 1.2), (13.6, 1.2), (11.2, 3.6), (13.6, 3.6)], 0.8), BLUE)


def sm_unwell(c):
    face(c, fill="#B6D96A", rim="#5E8A1E")
    eyes(c, y=6.4, r=0.95)
    c.paint(stroke([(4.6, 10.8), (6.2, 10.0), (8.0, 10.8), (9.8, 10.0), (11.4, 10.8)], 1.1), "#3C5A10")


def heart_shape(dx=0.0, scale=1.0):
    def point(x, y):
        return 8 + (x - 8) * scale + dx, 8 + (y - 8) * scale
    return union(disc(*point(5.2, 5.8), 3.4 * scale), disc(*point(10.8, 5.8), 3.4 * scale),
                 polygon([point(1.9, 6.8), point(14.1, 6.8), point(8, 14.4)]))


def sm_heart(c):
    c.paint(heart_shape(), "#A8182C")
    c.paint(heart_shape(scale=0.8), "#E2455A")
    c.paint(disc(5.0, 5.0, 1.2), "#F7A0AE")


def sm_broken_heart(c):
    crack = polygon([(7.4, 0), (9.4, 0), (7.6, 5.0), (9.6, 8.6), (7.8, 16), (6.6, 16), (8.2, 8.6), (6.2, 5.0)])
    c.paint(minus(heart_shape(), crack), "#A8182C")
    c.paint(minus(heart_shape(scale=0.8), crack), "#E2455A")


def sm_star(c):
    points = []
    for k in range(10):
        angle = math.radians(90 + k * 36)
        r = 7.4 if k % 2 == 0 else 3.1
        points.append((8 + r * math.cos(angle), 8.6 - r * math.sin(angle)))
    c.paint(polygon(points), "#C98A06")
    inner = [(8 + (x - 8) * 0.72, 8.6 + (y - 8.6) * 0.72) for x, y in points]
    c.paint(polygon(inner), "#FFD13F")


def thumb(c, flip):
    def f(points):
        return [(x, 16 - y) if flip else (x, y) for x, y in points]
    c.paint(polygon(f([(2.0, 7.4), (5.0, 7.4), (5.0, 14.6), (2.0, 14.6)])), "#2F6BC4")
    c.paint(polygon(f([(5.6, 7.6), (8.4, 1.4), (10.0, 2.2), (9.4, 6.2), (13.8, 6.4), (14.2, 8.2),
                       (13.4, 14.4), (5.6, 14.4)])), "#B87B06")
    c.paint(polygon(f([(6.6, 8.0), (8.8, 2.8), (8.4, 7.2), (13.0, 7.4), (12.4, 13.4), (6.6, 13.4)])), FACE)


def sm_yes(c):
    thumb(c, False)


def sm_no(c):
    thumb(c, True)


def sm_rose(c):
    c.paint(stroke([(8, 8.4), (8.6, 15.4)], 1.3), "#2E8A3A")
    c.paint(polygon([(8.4, 12.0), (12.4, 9.8), (11.0, 12.6)]), "#3DBE4A")
    c.paint(disc(8, 5.6, 4.6), "#A8182C")
    c.paint(disc(8, 5.6, 3.6), "#D8304A")
    c.paint(arc(8, 5.6, 2.0, 0.9, 40, 300), "#A8182C")


def sm_coffee(c):
    c.paint(ring(12.0, 9.6, 2.6, 1.4), "#6B4A2A")
    c.paint(box(2.6, 6.0, 12.0, 14.6, 2.0), "#6B4A2A")
    c.paint(box(3.6, 7.0, 11.0, 13.6, 1.4), WHITE)
    c.paint(box(3.6, 7.0, 11.0, 8.6), "#7A4A1E")
    c.paint(stroke([(5.6, 1.2), (6.4, 2.6), (5.6, 4.0)], 0.8), "#9AA3B2")
    c.paint(stroke([(8.4, 1.2), (9.2, 2.6), (8.4, 4.0)], 0.8), "#9AA3B2")


def sm_unsure(c):
    face(c)
    eyes(c)
    c.paint(stroke([(5.0, 11.4), (11.0, 9.6)], 1.3), FACE_INK)


# (file name, description, codes): the first code is what the pickers insert.
SMILIES = [
    ("smile", "Smile", [":)", ":-)", "=)"], sm_smile),
    ("wink", "Wink", [";)", ";-)"], sm_wink),
    ("sad", "Sad", [":(", ":-("], sm_sad),
    ("grin", "Big grin", [":D", ":-D", "=D"], sm_grin),
    ("tongue", "Tongue out", [":P", ":-P", ":p", ":-p"], sm_tongue),
    ("kiss", "Kiss", [":-*", ":*"], sm_kiss),
    ("cool", "Cool", ["8)", "8-)", "B-)"], sm_cool),
    ("cry", "Crying", [":'(", ":'-("], sm_cry),
    ("surprised", "Surprised", [":O", ":-O", ":o", ":-o"], sm_surprised),
    ("angry", "Angry", [">:(", ">:-("], sm_angry),
    ("confused", "Confused", [":S", ":-S", ":s", ":-s"], sm_confused),
    ("straight", "Straight face", [":|", ":-|"], sm_straight),
    ("laugh", "Laughing", [":))", "XD"], sm_laugh),
    ("blush", "Blushing", [":$", ":-$"], sm_blush),
    ("angel", "Angel", ["O:)", "O:-)"], sm_angel),
    ("devil", "Devil", ["]:)", "]:->"], sm_devil),
    ("sleepy", "Sleepy", ["|-)", "I-)"], sm_sleepy),
    ("unwell", "Unwell", [":-&", ":&"], sm_unwell),
    ("unsure", "Unsure", [":-/", ":-\\"], sm_unsure),
    ("heart", "Heart", ["<3"], sm_heart),
    ("brokenheart", "Broken heart", ["</3"], sm_broken_heart),
    ("star", "Star", ["(*)"], sm_star),
    ("yes", "Yes", ["(y)", "(Y)"], sm_yes),
    ("no", "No", ["(n)", "(N)"], sm_no),
    ("rose", "Rose", ["@}->--", "(F)"], sm_rose),
    ("coffee", "Coffee", ["(c)", "(C)"], sm_coffee),
]


def xml_escape(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;").replace("\"", "&quot;")


def smiley_file(description, with_pictures):
    lines = ["<?xml version=\"1.0\" encoding=\"utf-8\"?>", "<smilies>", "  <desc>%s</desc>" % description]
    for name, desc, codes, _ in SMILIES:
        picture = " file=\"%s.bmp\"" % name if with_pictures else ""
        texts = "".join("<text>%s</text>" % xml_escape(code) for code in codes)
        lines.append("  <smile%s desc=\"%s\">%s</smile>" % (picture, xml_escape(desc), texts))
    lines.append("</smilies>")
    return "\n".join(lines) + "\n"


def make_smilies(root):
    folder = os.path.join(root, "Smilies", "Default")
    os.makedirs(folder, exist_ok=True)
    for name, _, _, painter in SMILIES:
        draw(os.path.join(folder, name + ".bmp"), 16, painter)
    write_text(os.path.join(folder, "Default.Smilies.xml"), smiley_file("Corvane Smilies", True))
    folder = os.path.join(root, "Smilies", "Text")
    os.makedirs(folder, exist_ok=True)
    write_text(os.path.join(folder, "Text.Smilies.xml"), smiley_file("Corvane Text Smilies", False))


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "assets")
    make_icons(root)
    for name, values in SKINS.items():
        make_skin(root, name, values)
    make_smilies(root)


if __name__ == "__main__":
    main()
