#!/usr/bin/env python3
"""Writes the SVG drawings of the Vorn-Kettle[Ge] pedal artwork.

Usage: draw_artwork.py OUTDIR

One SVG per picture or per frame; make-artwork.sh renders them with
rsvg-convert and stacks the frames into the editor's filmstrips. Everything
here is plain text output, so the same script always writes the same files.

Light falls from the top left on every part, so all highlights sit on the
upper-left side and all shadows fall to the lower right. Rotating parts (the
knob) draw their lit body once and turn only the pointer and the knurling.
"""

import math
import os
import sys

# Editor geometry: where the controls land on the 213 x 333 background.
BG_W, BG_H = 213, 333
VISIBLE_H = 326
LED_POS = (91, 15)  # 18 x 18
CAB_POS = (80, 61)  # 40 x 40
FOOT_POS = (80, 172)  # 40 x 40
KNOB_POS = [(18, 86), (115, 86)]  # 65 x 65 each
KNOB_SIZE = 65
KNOB_FRAMES = 65
BADGE = (10, 35, 80, 55)  # the about panel opens from here
ABOUT_W, ABOUT_H = 181, 150

SANS = "DejaVu Sans"
SANS_CONDENSED = "DejaVu Sans Condensed"
SERIF = "DejaVu Serif"

# Palette.
INK = "#1d130c"  # screen-printed legend ink
CREAM = "#f3e6c8"
COPPER_LIGHT = "#e08a52"
COPPER_MID = "#b9602c"
COPPER_DARK = "#7a3514"

KNOB_MIN_DEG = -135.0
KNOB_MAX_DEG = 135.0


def fmt(v):
    """Short, stable number formatting for SVG attributes."""
    s = "%.3f" % v
    s = s.rstrip("0").rstrip(".")
    return "0" if s in ("-0", "") else s


def svg_doc(w, h, body, defs=""):
    return (
        '<?xml version="1.0" encoding="UTF-8"?>\n'
        '<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">\n'
        "<defs>\n%s</defs>\n%s</svg>\n" % (w, h, w, h, defs, body)
    )


def polar(cx, cy, r, deg):
    """Point at radius r, angle deg clockwise from twelve o'clock."""
    a = math.radians(deg)
    return cx + r * math.sin(a), cy - r * math.cos(a)


def text(x, y, s, size, family=SANS, weight="bold", fill=INK, anchor="middle", spacing=0.0,
         style="normal", emboss=True, opacity=1.0):
    """A legend: ink with a faint light edge below it, as paint on a raised face looks."""
    esc = s.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")
    attrs = (
        'font-family="%s" font-size="%s" font-weight="%s" font-style="%s" text-anchor="%s" '
        'letter-spacing="%s"' % (family, fmt(size), weight, style, anchor, fmt(spacing))
    )
    out = ""
    if emboss:
        out += '<text x="%s" y="%s" %s fill="#ffe6cc" fill-opacity="0.28">%s</text>\n' % (
            fmt(x), fmt(y + 0.8), attrs, esc)
    out += '<text x="%s" y="%s" %s fill="%s" fill-opacity="%s">%s</text>\n' % (
        fmt(x), fmt(y), attrs, fill, fmt(opacity), esc)
    return out


def hexagon(cx, cy, r, rot=0.0):
    pts = []
    for i in range(6):
        a = math.radians(rot + 60 * i)
        pts.append("%s,%s" % (fmt(cx + r * math.cos(a)), fmt(cy + r * math.sin(a))))
    return " ".join(pts)


CHROME_STOPS = (
    '<stop offset="0" stop-color="#fbfbfb"/>'
    '<stop offset="0.35" stop-color="#c9ccd0"/>'
    '<stop offset="0.55" stop-color="#7d8288"/>'
    '<stop offset="0.8" stop-color="#b5b9be"/>'
    '<stop offset="1" stop-color="#5d6166"/>'
)


# --------------------------------------------------------------------------
# Background: the enclosure
# --------------------------------------------------------------------------

def knob_scale(cx, cy):
    """Tick marks around a knob, from the minimum to the maximum position."""
    out = ""
    for i in range(11):
        deg = KNOB_MIN_DEG + (KNOB_MAX_DEG - KNOB_MIN_DEG) * i / 10.0
        major = i in (0, 5, 10)
        r0, r1 = (27.5, 32.0) if major else (28.5, 31.0)
        x0, y0 = polar(cx, cy, r0, deg)
        x1, y1 = polar(cx, cy, r1, deg)
        out += ('<line x1="%s" y1="%s" x2="%s" y2="%s" stroke="%s" stroke-width="%s" '
                'stroke-linecap="round"/>\n' % (fmt(x0), fmt(y0), fmt(x1), fmt(y1), INK,
                                                "1.6" if major else "1.1"))
    return out


def background():
    defs = """
<linearGradient id="rim" x1="0" y1="0" x2="1" y2="1">
  <stop offset="0" stop-color="#f2a36e"/>
  <stop offset="0.45" stop-color="#b35a27"/>
  <stop offset="1" stop-color="#4d1f09"/>
</linearGradient>
<linearGradient id="face" x1="0" y1="0" x2="0.55" y2="1">
  <stop offset="0" stop-color="%(light)s"/>
  <stop offset="0.5" stop-color="%(mid)s"/>
  <stop offset="1" stop-color="%(dark)s"/>
</linearGradient>
<radialGradient id="sheen" cx="0.3" cy="0.18" r="0.75">
  <stop offset="0" stop-color="#fff2e0" stop-opacity="0.32"/>
  <stop offset="0.6" stop-color="#fff2e0" stop-opacity="0"/>
</radialGradient>
<filter id="paint" x="0" y="0" width="1" height="1" color-interpolation-filters="sRGB">
  <feTurbulence type="fractalNoise" baseFrequency="0.06" numOctaves="2" seed="7" result="noise"/>
  <feColorMatrix in="noise" type="luminanceToAlpha" result="height"/>
  <feDiffuseLighting in="height" surfaceScale="3" diffuseConstant="1" lighting-color="#ffffff" result="lit">
    <feDistantLight azimuth="225" elevation="50"/>
  </feDiffuseLighting>
  <feComponentTransfer in="lit" result="bump">
    <feFuncR type="linear" slope="0.7" intercept="-0.036"/>
    <feFuncG type="linear" slope="0.7" intercept="-0.036"/>
    <feFuncB type="linear" slope="0.7" intercept="-0.036"/>
  </feComponentTransfer>
  <feBlend in="bump" in2="SourceGraphic" mode="overlay" result="hammered"/>
  <feTurbulence type="fractalNoise" baseFrequency="1.1" numOctaves="1" seed="3" result="fine"/>
  <feColorMatrix in="fine" type="matrix" values="0 0 0 0 1  0 0 0 0 0.93  0 0 0 0 0.82  6 0 0 0 -3.95" result="flake"/>
  <feComposite in="flake" in2="hammered" operator="over" result="all"/>
  <feComposite in="all" in2="SourceAlpha" operator="in"/>
</filter>
<filter id="soft" x="-0.3" y="-0.3" width="1.6" height="1.6">
  <feGaussianBlur stdDeviation="1.6"/>
</filter>
<filter id="soft2" x="-0.3" y="-0.3" width="1.6" height="1.6">
  <feGaussianBlur stdDeviation="2.4"/>
</filter>
<linearGradient id="chrome" x1="0" y1="0" x2="1" y2="1">%(chrome)s</linearGradient>
<linearGradient id="chromeRev" x1="1" y1="1" x2="0" y2="0">%(chrome)s</linearGradient>
<linearGradient id="badge" x1="0" y1="0" x2="0" y2="1">
  <stop offset="0" stop-color="#3a3430"/>
  <stop offset="1" stop-color="#120f0d"/>
</linearGradient>
<linearGradient id="plate" x1="0" y1="0" x2="0" y2="1">
  <stop offset="0" stop-color="#2a2522"/>
  <stop offset="1" stop-color="#0e0c0b"/>
</linearGradient>
<radialGradient id="well" cx="0.5" cy="0.5" r="0.5">
  <stop offset="0.6" stop-color="#000" stop-opacity="0.4"/>
  <stop offset="1" stop-color="#000" stop-opacity="0"/>
</radialGradient>
""" % {"light": COPPER_LIGHT, "mid": COPPER_MID, "dark": COPPER_DARK, "chrome": CHROME_STOPS}

    b = ""
    # Workbench behind the pedal and the enclosure's own shadow.
    b += '<rect width="%d" height="%d" fill="#17151a"/>\n' % (BG_W, BG_H)
    b += '<rect x="3" y="4" width="209" height="322" rx="13" fill="#000" opacity="0.7" filter="url(#soft)"/>\n'
    # Die-cast body: rounded edge lit from the top left, then the flat face.
    b += '<rect x="1" y="1" width="210" height="322" rx="13" fill="url(#rim)"/>\n'
    b += '<rect x="1.5" y="1.5" width="209" height="321" rx="12.5" fill="none" stroke="#ffd2b0" stroke-opacity="0.35"/>\n'
    face = 'x="6" y="6" width="200" height="312" rx="9"'
    # Hammered copper paint with a little metal flake in it.
    b += '<rect %s fill="url(#face)" filter="url(#paint)"/>\n' % face
    b += '<rect %s fill="url(#sheen)"/>\n' % face
    # Crisp step between the edge and the face.
    b += '<rect x="6" y="6" width="200" height="312" rx="9" fill="none" stroke="#3d1706" stroke-opacity="0.55" stroke-width="1"/>\n'
    b += '<rect x="6.8" y="6.8" width="198.4" height="310.4" rx="8.3" fill="none" stroke="#ffd9bd" stroke-opacity="0.25" stroke-width="0.8"/>\n'

    # Jack markings on the top edge: input on the right, output on the left.
    b += text(14, 16, "\u25c2 OUT", 6.5, family=SANS_CONDENSED, anchor="start", spacing=0.6)
    b += text(199, 16, "\u25c2 IN", 6.5, family=SANS_CONDENSED, anchor="end", spacing=0.6)

    # LED: a dark well the bezel sits in.
    lx, ly = LED_POS[0] + 9, LED_POS[1] + 9
    b += '<circle cx="%s" cy="%s" r="8" fill="url(#well)"/>\n' % (fmt(lx + 0.5), fmt(ly + 0.8))

    # Badge at the top left: the maker's enamel plate.
    x0, y0, x1, y1 = BADGE
    bw, bh = x1 - x0, y1 - y0
    b += '<rect x="%s" y="%s" width="%d" height="%d" rx="4" fill="#000" opacity="0.55" filter="url(#soft)"/>\n' % (
        fmt(x0 + 1), fmt(y0 + 1.5), bw, bh)
    b += '<rect x="%d" y="%d" width="%d" height="%d" rx="4" fill="url(#chrome)"/>\n' % (x0, y0, bw, bh)
    b += '<rect x="%s" y="%s" width="%s" height="%s" rx="3" fill="url(#badge)"/>\n' % (
        fmt(x0 + 1.5), fmt(y0 + 1.5), fmt(bw - 3), fmt(bh - 3))
    b += '<rect x="%s" y="%s" width="%s" height="%s" rx="2.5" fill="none" stroke="%s" stroke-width="0.7"/>\n' % (
        fmt(x0 + 3), fmt(y0 + 3), fmt(bw - 6), fmt(bh - 6), COPPER_MID)
    b += text(x0 + bw / 2.0, y0 + 14, "Quillmark", 10.5, family=SERIF, weight="bold", style="italic",
              fill=CREAM, emboss=False)

    # Element tile at the top right, answering the badge.
    tx, ty, ts = 181, 34, 22
    b += '<rect x="%s" y="%s" width="%d" height="%d" rx="2" fill="#000" opacity="0.45" filter="url(#soft)"/>\n' % (
        fmt(tx + 1), fmt(ty + 1.5), ts, ts)
    b += '<rect x="%d" y="%d" width="%d" height="%d" rx="2" fill="url(#plate)" stroke="%s" stroke-width="1"/>\n' % (
        tx, ty, ts, ts, "#f0c9a0")
    b += text(tx + 3, ty + 7, "32", 5.5, family=SANS_CONDENSED, anchor="start", fill=CREAM, emboss=False)
    b += text(tx + ts / 2.0 + 0.5, ty + 17.5, "Ge", 10, fill=CREAM, emboss=False)
    b += text(tx - 5, ty + 13.5, "GERMANIUM", 6.5, family=SANS_CONDENSED, anchor="end", spacing=0.4)

    # Cabinet switch legend.
    cx = CAB_POS[0] + 20
    b += text(cx, 47, "CABINET", 6.8, family=SANS_CONDENSED, spacing=0.6)
    b += text(cx, 58.5, "ON", 6.5, family=SANS_CONDENSED, spacing=0.5)
    b += text(cx, 109, "OFF", 6.5, family=SANS_CONDENSED, spacing=0.5)
    # Mounting washer of the toggle.
    b += '<circle cx="%s" cy="%s" r="10" fill="#000" opacity="0.35" filter="url(#soft)"/>\n' % (
        fmt(cx + 0.8), fmt(CAB_POS[1] + 21.8))

    # Knob scales and legends.
    for (kx, ky), name in zip(KNOB_POS, ("LEVEL", "ATTACK")):
        cx, cy = kx + KNOB_SIZE / 2.0, ky + KNOB_SIZE / 2.0
        b += knob_scale(cx, cy)
        b += text(cx, cy + 35.5, name, 8, spacing=1.2)

    # Footswitch surround: a recess, a chrome hex nut and its washer.
    fx, fy = FOOT_POS[0] + 20, FOOT_POS[1] + 20
    b += '<circle cx="%s" cy="%s" r="23" fill="#000" opacity="0.6" filter="url(#soft2)"/>\n' % (
        fmt(fx + 1.2), fmt(fy + 2))
    b += '<circle cx="%s" cy="%s" r="21.5" fill="url(#chrome)"/>\n' % (fmt(fx), fmt(fy))
    b += '<circle cx="%s" cy="%s" r="20.2" fill="url(#chromeRev)"/>\n' % (fmt(fx), fmt(fy))
    b += '<polygon points="%s" fill="#000" opacity="0.5" filter="url(#soft)"/>\n' % hexagon(fx + 0.8, fy + 1.3, 18.5, 0)
    b += '<polygon points="%s" fill="url(#chrome)" stroke="#3e4247" stroke-width="0.6"/>\n' % hexagon(fx, fy, 18.5, 0)
    # Facets of the nut: each flat shaded by how it faces the light.
    for i in range(6):
        a0 = math.radians(60 * i)
        a1 = math.radians(60 * (i + 1))
        mid = math.radians(60 * i + 30)
        light = -math.cos(mid - math.radians(225))  # 1 when facing the top left
        shade = "#ffffff" if light > 0 else "#000000"
        op = 0.28 * abs(light)
        p = [(fx + 18.5 * math.cos(a0), fy + 18.5 * math.sin(a0)),
             (fx + 18.5 * math.cos(a1), fy + 18.5 * math.sin(a1)),
             (fx + 15.5 * math.cos(a1), fy + 15.5 * math.sin(a1)),
             (fx + 15.5 * math.cos(a0), fy + 15.5 * math.sin(a0))]
        b += '<polygon points="%s" fill="%s" opacity="%s"/>\n' % (
            " ".join("%s,%s" % (fmt(px), fmt(py)) for px, py in p), shade, fmt(op))
    b += '<circle cx="%s" cy="%s" r="15.5" fill="url(#chromeRev)"/>\n' % (fmt(fx), fmt(fy))
    b += '<circle cx="%s" cy="%s" r="14.6" fill="#1a1b1d"/>\n' % (fmt(fx), fmt(fy))

    # Name plate: black screen print with cream lettering.
    px0, py0, px1, py1 = 16, 226, 197, 300
    b += '<rect x="%d" y="%d" width="%d" height="%d" rx="5" fill="#ffe6cc" opacity="0.25" transform="translate(0 0.8)"/>\n' % (
        px0, py0, px1 - px0, py1 - py0)
    b += '<rect x="%d" y="%d" width="%d" height="%d" rx="5" fill="url(#plate)"/>\n' % (
        px0, py0, px1 - px0, py1 - py0)
    b += '<rect x="%s" y="%s" width="%s" height="%s" rx="3.5" fill="none" stroke="%s" stroke-width="0.8"/>\n' % (
        fmt(px0 + 11), fmt(py0 + 4), fmt(px1 - px0 - 22), fmt(py1 - py0 - 8), COPPER_LIGHT)
    # Rivets holding the plate.
    for rx, ry in ((px0 + 5.5, py0 + 5.5), (px1 - 5.5, py0 + 5.5), (px0 + 5.5, py1 - 5.5), (px1 - 5.5, py1 - 5.5)):
        b += '<circle cx="%s" cy="%s" r="2.2" fill="#000" opacity="0.6" transform="translate(0.5 0.7)"/>\n' % (
            fmt(rx), fmt(ry))
        b += '<circle cx="%s" cy="%s" r="2" fill="url(#chrome)"/>\n' % (fmt(rx), fmt(ry))
    mx = (px0 + px1) / 2.0
    b += text(mx, 259, "Vorn-Kettle[Ge]", 18, family=SANS_CONDENSED, fill=CREAM, emboss=False, spacing=0.3)
    b += '<line x1="%s" y1="268" x2="%s" y2="268" stroke="%s" stroke-width="0.8"/>\n' % (
        fmt(px0 + 22), fmt(px1 - 22), COPPER_LIGHT)
    b += text(mx, 282, "GERMANIUM FUZZ \u00b7 CABINET", 7, family=SANS_CONDENSED, fill=COPPER_LIGHT,
              emboss=False, spacing=1.0)
    b += text(mx, 313, "QUILLMARK", 7, spacing=3.0)
    return svg_doc(BG_W, BG_H, b, defs)


# --------------------------------------------------------------------------
# Status LED
# --------------------------------------------------------------------------

def led(lit):
    c = 9.0
    defs = """
<linearGradient id="bezel" x1="0" y1="0" x2="1" y2="1">%s</linearGradient>
<radialGradient id="lensOff" cx="0.4" cy="0.35" r="0.7">
  <stop offset="0" stop-color="#6a1410"/>
  <stop offset="0.7" stop-color="#2a0605"/>
  <stop offset="1" stop-color="#140202"/>
</radialGradient>
<radialGradient id="lensOn" cx="0.45" cy="0.42" r="0.62">
  <stop offset="0" stop-color="#fff6e6"/>
  <stop offset="0.3" stop-color="#ff7a4a"/>
  <stop offset="0.75" stop-color="#f0200e"/>
  <stop offset="1" stop-color="#a00804"/>
</radialGradient>
<radialGradient id="glow" cx="0.5" cy="0.5" r="0.5">
  <stop offset="0.45" stop-color="#ff6a30" stop-opacity="1"/>
  <stop offset="0.7" stop-color="#ff4a20" stop-opacity="0.55"/>
  <stop offset="0.88" stop-color="#ff3a18" stop-opacity="0.14"/>
  <stop offset="1" stop-color="#ff3a18" stop-opacity="0"/>
</radialGradient>
""" % CHROME_STOPS
    b = ""
    if lit:
        b += '<circle cx="9" cy="9" r="8.7" fill="url(#glow)"/>\n'
    else:
        b += '<circle cx="9.5" cy="9.9" r="7" fill="#000" opacity="0.35"/>\n'
    b += '<circle cx="%s" cy="%s" r="5.9" fill="url(#bezel)"/>\n' % (fmt(c), fmt(c))
    b += '<circle cx="%s" cy="%s" r="4.8" fill="#222"/>\n' % (fmt(c), fmt(c))
    if lit:
        # Light spilling over the chrome bezel.
        b += '<circle cx="9" cy="9" r="5.9" fill="#ff5a30" opacity="0.3"/>\n'
    b += '<circle cx="%s" cy="%s" r="4.3" fill="url(#%s)"/>\n' % (fmt(c), fmt(c), "lensOn" if lit else "lensOff")
    b += '<ellipse cx="7.6" cy="7.4" rx="1.6" ry="1.1" fill="#fff" opacity="%s" transform="rotate(-35 7.6 7.4)"/>\n' % (
        "0.85" if lit else "0.55")
    return svg_doc(18, 18, b, defs)


# --------------------------------------------------------------------------
# Cabinet toggle switch (40 x 40 per frame)
# --------------------------------------------------------------------------

def toggle(on):
    c = 20.0
    defs = """
<linearGradient id="chrome" x1="0" y1="0" x2="1" y2="1">%(c)s</linearGradient>
<linearGradient id="chromeRev" x1="1" y1="1" x2="0" y2="0">%(c)s</linearGradient>
<linearGradient id="lever" x1="0" y1="0" x2="1" y2="0">
  <stop offset="0" stop-color="#6e7378"/>
  <stop offset="0.3" stop-color="#ffffff"/>
  <stop offset="0.6" stop-color="#b9bdc2"/>
  <stop offset="1" stop-color="#555a5f"/>
</linearGradient>
<radialGradient id="ball" cx="0.35" cy="0.32" r="0.7">
  <stop offset="0" stop-color="#ffffff"/>
  <stop offset="0.45" stop-color="#c3c7cc"/>
  <stop offset="1" stop-color="#4d5156"/>
</radialGradient>
<filter id="soft" x="-0.5" y="-0.5" width="2" height="2"><feGaussianBlur stdDeviation="1.1"/></filter>
""" % {"c": CHROME_STOPS}
    b = ""
    # Nut and bushing.
    b += '<circle cx="%s" cy="%s" r="9.8" fill="url(#chrome)"/>\n' % (fmt(c), fmt(c + 1))
    b += '<circle cx="%s" cy="%s" r="9" fill="url(#chromeRev)"/>\n' % (fmt(c), fmt(c + 1))
    b += '<polygon points="%s" fill="url(#chrome)" stroke="#4a4e53" stroke-width="0.5"/>\n' % hexagon(c, c + 1, 8, 30)
    b += '<circle cx="%s" cy="%s" r="5.6" fill="url(#chromeRev)" stroke="#3c4045" stroke-width="0.5"/>\n' % (
        fmt(c), fmt(c + 1))
    b += '<circle cx="%s" cy="%s" r="3.6" fill="#17181a"/>\n' % (fmt(c), fmt(c + 1))
    # Lever: a tapered bat from the bushing to a ball tip, towards ON (up) or OFF (down).
    tip_y = 6.0 if on else 33.0
    base_y = c + 1
    sy = 1 if on else -1
    # Shadow falls down and to the right.
    shadow_dx, shadow_dy = (3.0, 3.0) if on else (1.6, 1.2)
    b += ('<path d="M %s %s L %s %s L %s %s L %s %s Z" fill="#000" opacity="0.45" filter="url(#soft)"/>\n'
          % (fmt(c - 2 + shadow_dx), fmt(base_y + shadow_dy), fmt(c - 1.4 + shadow_dx), fmt(tip_y + shadow_dy),
             fmt(c + 1.4 + shadow_dx), fmt(tip_y + shadow_dy), fmt(c + 2 + shadow_dx), fmt(base_y + shadow_dy)))
    b += '<circle cx="%s" cy="%s" r="3.4" fill="#000" opacity="0.45" filter="url(#soft)"/>\n' % (
        fmt(c + shadow_dx), fmt(tip_y + shadow_dy))
    b += ('<path d="M %s %s L %s %s L %s %s L %s %s Z" fill="url(#lever)" stroke="#3f4348" stroke-width="0.4"/>\n'
          % (fmt(c - 2.4), fmt(base_y), fmt(c - 1.5), fmt(tip_y + sy * 2), fmt(c + 1.5), fmt(tip_y + sy * 2),
             fmt(c + 2.4), fmt(base_y)))
    b += '<circle cx="%s" cy="%s" r="3.3" fill="url(#ball)" stroke="#3f4348" stroke-width="0.4"/>\n' % (
        fmt(c), fmt(tip_y))
    return svg_doc(40, 40, b, defs)


# --------------------------------------------------------------------------
# Footswitch (40 x 40 per frame)
# --------------------------------------------------------------------------

def footswitch(pressed):
    c = 20.0
    defs = """
<linearGradient id="side" x1="0" y1="0" x2="1" y2="0">
  <stop offset="0" stop-color="#9aa0a6"/>
  <stop offset="0.25" stop-color="#f4f6f8"/>
  <stop offset="0.55" stop-color="#80868c"/>
  <stop offset="1" stop-color="#3d4146"/>
</linearGradient>
<radialGradient id="cap" cx="0.36" cy="0.32" r="0.78">
  <stop offset="0" stop-color="#ffffff"/>
  <stop offset="0.28" stop-color="#dfe2e6"/>
  <stop offset="0.62" stop-color="#8d9298"/>
  <stop offset="0.85" stop-color="#b7bbc0"/>
  <stop offset="1" stop-color="#61666b"/>
</radialGradient>
<radialGradient id="capDown" cx="0.38" cy="0.36" r="0.78">
  <stop offset="0" stop-color="#e4e7ea"/>
  <stop offset="0.3" stop-color="#bfc3c8"/>
  <stop offset="0.65" stop-color="#767b81"/>
  <stop offset="0.88" stop-color="#9ea3a8"/>
  <stop offset="1" stop-color="#52565b"/>
</radialGradient>
<linearGradient id="ring" x1="0" y1="0" x2="1" y2="1">
  <stop offset="0" stop-color="#ffffff" stop-opacity="0.9"/>
  <stop offset="0.5" stop-color="#ffffff" stop-opacity="0"/>
  <stop offset="1" stop-color="#000000" stop-opacity="0.5"/>
</linearGradient>
<filter id="soft" x="-0.5" y="-0.5" width="2" height="2"><feGaussianBlur stdDeviation="1.4"/></filter>
"""
    b = ""
    r = 13.8 if not pressed else 13.5
    lift = 4.0 if not pressed else 1.0  # height of the plunger above the nut
    top_y = c - lift + 1.5
    # Shadow on the nut, longer while the plunger stands up.
    b += '<circle cx="%s" cy="%s" r="%s" fill="#000" opacity="%s" filter="url(#soft)"/>\n' % (
        fmt(c + (2.2 if not pressed else 0.8)), fmt(c + (3.0 if not pressed else 1.4)), fmt(r + 0.6),
        "0.6" if not pressed else "0.45")
    # Cylinder wall from the nut up to the cap.
    b += ('<path d="M %s %s L %s %s A %s %s 0 0 0 %s %s L %s %s A %s %s 0 0 1 %s %s Z" fill="url(#side)"/>\n'
          % (fmt(c - r), fmt(top_y), fmt(c - r), fmt(top_y + lift), fmt(r), fmt(r), fmt(c + r), fmt(top_y + lift),
             fmt(c + r), fmt(top_y), fmt(r), fmt(r), fmt(c - r), fmt(top_y)))
    # Knurled wall lines.
    for i in range(1, 12):
        x = c - r + 2 * r * i / 12.0
        dx = x - c
        h = math.sqrt(max(r * r - dx * dx, 0))
        b += '<line x1="%s" y1="%s" x2="%s" y2="%s" stroke="#2b2e32" stroke-opacity="0.35" stroke-width="0.5"/>\n' % (
            fmt(x), fmt(top_y + h * 0.02), fmt(x), fmt(top_y + lift + h * 0.02))
    # Cap face.
    b += '<circle cx="%s" cy="%s" r="%s" fill="url(#%s)" stroke="#3a3e43" stroke-width="0.6"/>\n' % (
        fmt(c), fmt(top_y), fmt(r), "capDown" if pressed else "cap")
    b += '<circle cx="%s" cy="%s" r="%s" fill="none" stroke="url(#ring)" stroke-width="1"/>\n' % (
        fmt(c), fmt(top_y), fmt(r - 1.2))
    # Dimple in the middle of the plunger.
    b += '<circle cx="%s" cy="%s" r="4.2" fill="none" stroke="#55595e" stroke-opacity="0.7" stroke-width="0.8"/>\n' % (
        fmt(c), fmt(top_y))
    b += '<circle cx="%s" cy="%s" r="3.6" fill="none" stroke="#ffffff" stroke-opacity="0.6" stroke-width="0.6" transform="translate(0.4 0.5)"/>\n' % (
        fmt(c), fmt(top_y))
    if pressed:
        b += '<circle cx="%s" cy="%s" r="%s" fill="#000" opacity="0.12"/>\n' % (fmt(c), fmt(top_y), fmt(r))
    return svg_doc(40, 40, b, defs)


# --------------------------------------------------------------------------
# Knob (65 x 65 per frame)
# --------------------------------------------------------------------------

KNOB_DEFS = """
<radialGradient id="skirt" cx="0.38" cy="0.3" r="0.8">
  <stop offset="0" stop-color="#4a4746"/>
  <stop offset="0.55" stop-color="#1d1b1b"/>
  <stop offset="1" stop-color="#0b0a0a"/>
</radialGradient>
<linearGradient id="skirtEdge" x1="0" y1="0" x2="1" y2="1">
  <stop offset="0" stop-color="#8a8684"/>
  <stop offset="0.5" stop-color="#2a2828"/>
  <stop offset="1" stop-color="#000000"/>
</linearGradient>
<linearGradient id="capWall" x1="0" y1="0" x2="1" y2="1">
  <stop offset="0" stop-color="#6b6866"/>
  <stop offset="1" stop-color="#0a0909"/>
</linearGradient>
<radialGradient id="cap" cx="0.4" cy="0.35" r="0.75">
  <stop offset="0" stop-color="#f4f1ec"/>
  <stop offset="0.45" stop-color="#c9c5bf"/>
  <stop offset="1" stop-color="#8a8680"/>
</radialGradient>
<linearGradient id="capSheen" x1="0" y1="0" x2="1" y2="1">
  <stop offset="0" stop-color="#ffffff" stop-opacity="0.55"/>
  <stop offset="0.45" stop-color="#ffffff" stop-opacity="0"/>
  <stop offset="0.55" stop-color="#000000" stop-opacity="0"/>
  <stop offset="1" stop-color="#000000" stop-opacity="0.35"/>
</linearGradient>
<filter id="shadow" x="-0.3" y="-0.3" width="1.6" height="1.6"><feGaussianBlur stdDeviation="1.6"/></filter>
"""


def knob(frame):
    c = KNOB_SIZE / 2.0
    deg = KNOB_MIN_DEG + (KNOB_MAX_DEG - KNOB_MIN_DEG) * frame / (KNOB_FRAMES - 1.0)
    r_skirt, r_cap = 24.0, 16.5
    rot = 'transform="rotate(%s %s %s)"' % (fmt(deg), fmt(c), fmt(c))
    b = ""
    # Static: shadow, skirt body and its rim light.
    b += '<circle cx="%s" cy="%s" r="%s" fill="#000" opacity="0.6" filter="url(#shadow)"/>\n' % (
        fmt(c + 1.4), fmt(c + 2.2), fmt(r_skirt))
    b += '<circle cx="%s" cy="%s" r="%s" fill="url(#skirt)"/>\n' % (fmt(c), fmt(c), fmt(r_skirt))
    # Turning: knurl grooves on the skirt.
    g = ""
    for i in range(40):
        a = 360.0 * i / 40
        x0, y0 = polar(c, c, r_cap + 2.5, a)
        x1, y1 = polar(c, c, r_skirt - 0.6, a)
        g += '<line x1="%s" y1="%s" x2="%s" y2="%s"/>' % (fmt(x0), fmt(y0), fmt(x1), fmt(y1))
    b += '<g %s stroke="#000" stroke-opacity="0.55" stroke-width="0.8">%s</g>\n' % (rot, g)
    b += '<circle cx="%s" cy="%s" r="%s" fill="none" stroke="url(#skirtEdge)" stroke-width="1"/>\n' % (
        fmt(c), fmt(c), fmt(r_skirt - 0.5))
    # Turning: the white index line on the skirt.
    b += ('<g %s><line x1="%s" y1="%s" x2="%s" y2="%s" stroke="#000" stroke-width="3.6" stroke-linecap="round" stroke-opacity="0.6"/>'
          '<line x1="%s" y1="%s" x2="%s" y2="%s" stroke="#fbf6ea" stroke-width="2.2" stroke-linecap="round"/></g>\n'
          % (rot, fmt(c), fmt(c - r_cap - 1.5), fmt(c), fmt(c - r_skirt + 1.6),
             fmt(c), fmt(c - r_cap - 1.5), fmt(c), fmt(c - r_skirt + 1.6)))
    # Static: the aluminium cap, raised on a short wall, lit from the top left.
    b += '<circle cx="%s" cy="%s" r="%s" fill="#000" opacity="0.55" filter="url(#shadow)"/>\n' % (
        fmt(c + 0.8), fmt(c + 1.2), fmt(r_cap))
    b += '<circle cx="%s" cy="%s" r="%s" fill="url(#capWall)"/>\n' % (fmt(c), fmt(c), fmt(r_cap + 0.8))
    b += '<circle cx="%s" cy="%s" r="%s" fill="url(#cap)"/>\n' % (fmt(c), fmt(c), fmt(r_cap))
    # Concentric machining rings on the cap face.
    for rr in (4.0, 7.0, 10.0, 13.0):
        b += '<circle cx="%s" cy="%s" r="%s" fill="none" stroke="#000" stroke-opacity="0.07" stroke-width="0.6"/>\n' % (
            fmt(c), fmt(c), fmt(rr))
    b += '<circle cx="%s" cy="%s" r="%s" fill="none" stroke="url(#capSheen)" stroke-width="1.2"/>\n' % (
        fmt(c), fmt(c), fmt(r_cap - 0.6))
    # Turning: the engraved pointer on the cap.
    b += ('<g %s><line x1="%s" y1="%s" x2="%s" y2="%s" stroke="#ffffff" stroke-opacity="0.6" stroke-width="2.6" stroke-linecap="round" transform="translate(0.5 0.6)"/>'
          '<line x1="%s" y1="%s" x2="%s" y2="%s" stroke="#141210" stroke-width="2.4" stroke-linecap="round"/></g>\n'
          % (rot, fmt(c), fmt(c - 4.5), fmt(c), fmt(c - r_cap + 2.2),
             fmt(c), fmt(c - 4.5), fmt(c), fmt(c - r_cap + 2.2)))
    return svg_doc(KNOB_SIZE, KNOB_SIZE, b, KNOB_DEFS)


# --------------------------------------------------------------------------
# About panel (181 x 150, opaque)
# --------------------------------------------------------------------------

def transistor(x, y):
    """A TO-5 germanium can with its three legs, about 30 x 44 pixels."""
    b = ""
    b += '<g transform="translate(%s %s)">\n' % (fmt(x), fmt(y))
    for lx, bend in ((9, -3), (15, 0), (21, 3)):
        b += '<path d="M %s 26 L %s 36 L %s 44" fill="none" stroke="#c9b48a" stroke-width="1.2"/>\n' % (
            fmt(lx), fmt(lx), fmt(lx + bend))
    b += '<ellipse cx="15" cy="24" rx="14" ry="4.2" fill="#4d5156"/>\n'
    b += '<rect x="3" y="6" width="24" height="18" fill="url(#can)"/>\n'
    b += '<ellipse cx="15" cy="24" rx="12" ry="3.6" fill="url(#can)"/>\n'
    b += '<ellipse cx="15" cy="6" rx="12" ry="3.6" fill="url(#canTop)" stroke="#6f747a" stroke-width="0.5"/>\n'
    b += '<rect x="26" y="19" width="3" height="3" fill="#a9adb2" transform="rotate(20 27 20)"/>\n'
    b += '<text x="15" y="18" font-family="%s" font-size="5.5" font-weight="bold" text-anchor="middle" fill="#2b2e32">Ge</text>\n' % SANS
    b += "</g>\n"
    return b


def about():
    w, h = ABOUT_W, ABOUT_H
    defs = """
<linearGradient id="paper" x1="0" y1="0" x2="0.4" y2="1">
  <stop offset="0" stop-color="#2b2622"/>
  <stop offset="1" stop-color="#141110"/>
</linearGradient>
<linearGradient id="frame" x1="0" y1="0" x2="1" y2="1">
  <stop offset="0" stop-color="#f2a36e"/>
  <stop offset="0.5" stop-color="#b35a27"/>
  <stop offset="1" stop-color="#5a250b"/>
</linearGradient>
<linearGradient id="can" x1="0" y1="0" x2="1" y2="0">
  <stop offset="0" stop-color="#6f747a"/>
  <stop offset="0.3" stop-color="#f5f6f7"/>
  <stop offset="0.6" stop-color="#9ca1a6"/>
  <stop offset="1" stop-color="#4a4e53"/>
</linearGradient>
<radialGradient id="canTop" cx="0.35" cy="0.3" r="0.8">
  <stop offset="0" stop-color="#ffffff"/>
  <stop offset="1" stop-color="#8d9298"/>
</radialGradient>
"""
    b = ""
    b += '<rect width="%d" height="%d" fill="url(#frame)"/>\n' % (w, h)
    b += '<rect x="3" y="3" width="%d" height="%d" fill="url(#paper)"/>\n' % (w - 6, h - 6)
    b += '<rect x="6.5" y="6.5" width="%d" height="%d" fill="none" stroke="%s" stroke-width="0.8"/>\n' % (
        w - 13, h - 13, COPPER_MID)
    mx = w / 2.0
    b += text(mx, 30, "Vorn-Kettle[Ge]", 17, family=SANS_CONDENSED, fill=CREAM, emboss=False, spacing=0.3)
    b += text(mx, 44, "by Quillmark", 9.5, family=SERIF, weight="normal", style="italic", fill=COPPER_LIGHT,
              emboss=False)
    b += '<line x1="22" y1="52" x2="%d" y2="52" stroke="%s" stroke-width="0.7"/>\n' % (w - 22, COPPER_MID)
    b += transistor(18, 59)
    lines = ["Germanium fuzz", "with a speaker-", "cabinet stage"]
    for i, s in enumerate(lines):
        b += text(60, 70 + 11 * i, s, 8.5, family=SANS, weight="normal", fill=CREAM, anchor="start", emboss=False)
    b += text(mx, 115, "version 2.1.0", 8.5, family=SANS_CONDENSED, weight="bold", fill=COPPER_LIGHT,
              emboss=False, spacing=0.8)
    b += text(mx, 126, "VST 2.4 effect \u00b7 64 and 32 bit", 6.8, family=SANS_CONDENSED, weight="normal",
              fill="#a8987f", emboss=False)
    b += text(mx, 140, "click to close", 7, family=SANS, weight="normal", style="oblique", fill="#8c7d68",
              emboss=False, spacing=0.4)
    return svg_doc(w, h, b, defs)


def main():
    if len(sys.argv) != 2:
        sys.stderr.write("usage: draw_artwork.py OUTDIR\n")
        return 2
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    files = {
        "background.svg": background(),
        "led_0.svg": led(False),
        "led_1.svg": led(True),
        "cab_0.svg": toggle(False),
        "cab_1.svg": toggle(True),
        "foot_0.svg": footswitch(False),
        "foot_1.svg": footswitch(True),
        "about.svg": about(),
    }
    for i in range(KNOB_FRAMES):
        files["knob_%02d.svg" % i] = knob(i)
    for name, data in sorted(files.items()):
        with open(os.path.join(out, name), "w", encoding="utf-8", newline="\n") as f:
            f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
